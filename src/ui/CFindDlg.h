// CFindDlg: the small modal dialog that asks for the name pattern to find in the result.
#pragma once

#include "toolkit/Dialog.h"

#include <string>

class CFindDlg : public toolkit::Dialog {
public:
    explicit CFindDlg(HWND parent);

    // The pattern shown when the dialog opens and confirmed when it closes with OK.
    std::string text;

protected:
    // Puts the focus in the field with its whole text selected and the caret in view.
    bool onInitDialog() override;
    void exchange(toolkit::DataExchange& dx) override;
};

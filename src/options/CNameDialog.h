// CNameDialog: the small modal dialog that asks for one name of a list ("Add" or "Edit").
#pragma once

#include "toolkit/Dialog.h"

#include <string>

class CNameDialog : public toolkit::Dialog {
public:
    explicit CNameDialog(HWND parent = nullptr);

    std::string caption = "Add"; // the window title
    std::string text;            // the name, exchanged with the edit field

protected:
    bool onInitDialog() override;
    void exchange(toolkit::DataExchange& dx) override;
};

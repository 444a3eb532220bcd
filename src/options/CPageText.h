// CPageText: the "Text" page of the option sheet (the text a file must contain, and its case).
#pragma once

#include "toolkit/TabbedSheet.h"

#include <string>

class CPageText : public toolkit::PropertyPage {
public:
    CPageText();

    // Page values (see SearchOptions for their meaning).
    std::string containingText;
    int matchCase = 0;
    // How much the sheet grew at its last resize: left, top, right, bottom.
    RECT sizeDelta{0, 0, 0, 0};

protected:
    bool onInitDialog() override;
    void exchange(toolkit::DataExchange& dx) override;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// CPageMain: the "Main" page of the option sheet (name pattern, entry type, scope, subfolders).
#pragma once

#include "toolkit/TabbedSheet.h"

#include <string>

class CPageMain : public toolkit::PropertyPage {
public:
    CPageMain();

    // Page values (see SearchOptions for their meaning).
    int includeSubfolders = 0;
    std::string namePattern;
    int fileType = -1;
    int scope = -1;
    // How much the sheet grew at its last resize: left, top, right, bottom.
    RECT sizeDelta{0, 0, 0, 0};

    // Empties the name field and the page's name value.
    void clearNameField();

protected:
    bool onInitDialog() override;
    void exchange(toolkit::DataExchange& dx) override;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

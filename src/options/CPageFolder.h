// CPageFolder: the "Folders" page of the option sheet, with the folder list and its mode.
#pragma once

#include "options/NameListBox.h"
#include "options/NameLists.h"
#include "toolkit/TabbedSheet.h"

#include <string>
#include <vector>

class CPageFolder : public toolkit::PropertyPage {
public:
    CPageFolder();

    // Page values: the FilterMode (-1 when no radio is on) and the folder list.
    int foldersMode = -1;
    std::vector<std::string> folderNames;
    RECT sizeDelta{0, 0, 0, 0};

    NameList folderList() { return NameList{kFolderList, hwnd(), folderNames}; }

protected:
    bool onInitDialog() override;
    void exchange(toolkit::DataExchange& dx) override;
    bool onCommand(UINT id) override;
    bool onControlCommand(UINT id, UINT code, HWND control) override;

private:
    // The list and its five buttons are usable exactly when "Search in all subfolders" is off.
    void applyEnabling();

    CNameListBox folderBox;
};

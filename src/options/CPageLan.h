// CPageLan: the "Network" page of the option sheet, with the domain and server lists and the
// radio groups that say how each list is used.
#pragma once

#include "options/NameListBox.h"
#include "options/NameLists.h"
#include "toolkit/TabbedSheet.h"

#include <string>
#include <vector>

class CPageLan : public toolkit::PropertyPage {
public:
    CPageLan();

    // Page values: the two FilterModes (-1 when no radio of a group is on) and the two lists.
    int domainsMode = -1;
    int serversMode = -1;
    std::vector<std::string> domainNames;
    std::vector<std::string> serverNames;
    RECT sizeDelta{0, 0, 0, 0};

    NameList domainList() { return NameList{kDomainList, hwnd(), domainNames}; }
    NameList serverList() { return NameList{kServerList, hwnd(), serverNames}; }

protected:
    bool onInitDialog() override;
    void exchange(toolkit::DataExchange& dx) override;
    bool onCommand(UINT id) override;
    bool onControlCommand(UINT id, UINT code, HWND control) override;

private:
    // Each list and its five buttons are usable exactly when its group's first radio is off.
    void applyEnabling();

    CNameListBox domainBox;
    CNameListBox serverBox;
};

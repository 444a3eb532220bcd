// The Network page: exchange, the enabling of each list with its buttons, the list commands.
#include "options/CPageLan.h"

#include "resources/resource.h"

CPageLan::CPageLan() : toolkit::PropertyPage(IDD_PAGE_LAN) {}

bool CPageLan::onInitDialog() {
    domainBox.subclassDlgItem(hwnd(), IDC_LAN_DOMAIN_LIST);
    serverBox.subclassDlgItem(hwnd(), IDC_LAN_SERVER_LIST);
    return toolkit::PropertyPage::onInitDialog();
}

void CPageLan::exchange(toolkit::DataExchange& dx) {
    dx.radio(IDC_LAN_DOMAIN_ALL, domainsMode);
    dx.radio(IDC_LAN_SERVER_ALL, serversMode);
    if (dx.failed()) return;
    exchangeListBox(dx.toValues(), GetDlgItem(hwnd(), IDC_LAN_DOMAIN_LIST), domainNames);
    exchangeListBox(dx.toValues(), GetDlgItem(hwnd(), IDC_LAN_SERVER_LIST), serverNames);
    if (!dx.toValues()) applyEnabling();
}

void CPageLan::applyEnabling() {
    enableNameList(domainList(), IsDlgButtonChecked(hwnd(), IDC_LAN_DOMAIN_ALL) != BST_CHECKED);
    enableNameList(serverList(), IsDlgButtonChecked(hwnd(), IDC_LAN_SERVER_ALL) != BST_CHECKED);
}

bool CPageLan::onCommand(UINT id) {
    switch (id) {
    case IDC_LAN_DOMAIN_ALL:
    case IDC_LAN_DOMAIN_EXCEPT:
    case IDC_LAN_DOMAIN_ONLY:
    case IDC_LAN_SERVER_ALL:
    case IDC_LAN_SERVER_EXCEPT:
    case IDC_LAN_SERVER_ONLY: applyEnabling(); return true;
    default:
        return handleNameListCommand(domainList(), id, BN_CLICKED) ||
               handleNameListCommand(serverList(), id, BN_CLICKED);
    }
}

bool CPageLan::onControlCommand(UINT id, UINT code, HWND) {
    return handleNameListCommand(domainList(), id, code) ||
           handleNameListCommand(serverList(), id, code);
}

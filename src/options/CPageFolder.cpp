// The Folders page: exchange, the enabling of the list with its buttons, the list commands.
#include "options/CPageFolder.h"

#include "resources/resource.h"

CPageFolder::CPageFolder() : toolkit::PropertyPage(IDD_PAGE_FOLDER) {}

bool CPageFolder::onInitDialog() {
    folderBox.subclassDlgItem(hwnd(), IDC_FOLDER_LIST);
    return toolkit::PropertyPage::onInitDialog();
}

void CPageFolder::exchange(toolkit::DataExchange& dx) {
    dx.radio(IDC_FOLDER_ALL, foldersMode);
    if (dx.failed()) return;
    exchangeListBox(dx.toValues(), GetDlgItem(hwnd(), IDC_FOLDER_LIST), folderNames);
    if (!dx.toValues()) applyEnabling();
}

void CPageFolder::applyEnabling() {
    enableNameList(folderList(), IsDlgButtonChecked(hwnd(), IDC_FOLDER_ALL) != BST_CHECKED);
}

bool CPageFolder::onCommand(UINT id) {
    switch (id) {
    case IDC_FOLDER_ALL:
    case IDC_FOLDER_EXCEPT:
    case IDC_FOLDER_ONLY: applyEnabling(); return true;
    default: return handleNameListCommand(folderList(), id, BN_CLICKED);
    }
}

bool CPageFolder::onControlCommand(UINT id, UINT code, HWND) {
    return handleNameListCommand(folderList(), id, code);
}

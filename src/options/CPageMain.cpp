// The Main page: its drop-down lists, its exchange and the name field that follows resizing.
#include "options/CPageMain.h"

#include "options/PageLayout.h"
#include "resources/resource.h"

CPageMain::CPageMain() : toolkit::PropertyPage(IDD_PAGE_MAIN) {}

bool CPageMain::onInitDialog() {
    fillDropDown(hwnd(), IDC_MAIN_TYPE, {"All files and folders", "Files only", "Folders only"});
    fillDropDown(hwnd(), IDC_MAIN_SCOPE, {"Lan", "Last search result"});
    toolkit::PropertyPage::onInitDialog();
    SetFocus(GetDlgItem(hwnd(), IDC_MAIN_NAME));
    return false; // the focus is set
}

void CPageMain::exchange(toolkit::DataExchange& dx) {
    dx.check(IDC_MAIN_SUBFOLDERS, includeSubfolders);
    dx.text(IDC_MAIN_NAME, namePattern);
    dx.listIndex(IDC_MAIN_TYPE, fileType);
    dx.listIndex(IDC_MAIN_SCOPE, scope);
}

void CPageMain::clearNameField() {
    // The value too: when another page refuses to be left, this page is not shown again before
    // the next search reads it, and the search must not use the old name.
    namePattern.clear();
    if (hwnd()) SetDlgItemTextA(hwnd(), IDC_MAIN_NAME, "");
}

LRESULT CPageMain::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = toolkit::PropertyPage::handleMessage(message, wParam, lParam);
    // The name field follows the sheet's width and height.
    if (message == WM_SIZE) growControl(hwnd(), IDC_MAIN_NAME, sizeDelta);
    return result;
}

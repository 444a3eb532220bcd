// The Text page: its exchange and the text field that follows resizing, as the Main page's
// name field does.
#include "options/CPageText.h"

#include "options/PageLayout.h"
#include "resources/resource.h"

CPageText::CPageText() : toolkit::PropertyPage(IDD_PAGE_TEXT) {}

bool CPageText::onInitDialog() {
    toolkit::PropertyPage::onInitDialog();
    SetFocus(GetDlgItem(hwnd(), IDC_TEXT_CONTAINING));
    return false; // the focus is set
}

void CPageText::exchange(toolkit::DataExchange& dx) {
    dx.text(IDC_TEXT_CONTAINING, containingText);
    dx.check(IDC_TEXT_MATCH_CASE, matchCase);
}

LRESULT CPageText::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = toolkit::PropertyPage::handleMessage(message, wParam, lParam);
    if (message == WM_SIZE) growControl(hwnd(), IDC_TEXT_CONTAINING, sizeDelta);
    return result;
}

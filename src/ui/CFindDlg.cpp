// The Find dialog (template 153): one field, exchanged with the pattern.
#include "ui/CFindDlg.h"

#include "resources/resource.h"

CFindDlg::CFindDlg(HWND parent) : toolkit::Dialog(IDD_FIND_DIALOG, parent) {}

bool CFindDlg::onInitDialog() {
    toolkit::Dialog::onInitDialog();
    HWND field = item(IDC_FIND_TEXT);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, EM_SCROLLCARET, 0, 0);
    return false; // the focus is set
}

void CFindDlg::exchange(toolkit::DataExchange& dx) {
    dx.text(IDC_FIND_TEXT, text);
}

// The name dialog: title, the edit field with the focus, and its one exchanged value.
#include "options/CNameDialog.h"

#include "resources/resource.h"

CNameDialog::CNameDialog(HWND parent) : toolkit::Dialog(IDD_NAME_DIALOG, parent) {}

bool CNameDialog::onInitDialog() {
    SetWindowTextA(hwnd(), caption.c_str());
    toolkit::Dialog::onInitDialog();
    HWND field = item(IDC_NAME_TEXT);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
    return false; // the focus is set
}

void CNameDialog::exchange(toolkit::DataExchange& dx) {
    dx.text(IDC_NAME_TEXT, text);
}

// The About box.
#include "about/AboutBox.h"

#include "resources/resource.h"
#include "toolkit/Application.h"

CAboutDlg::CAboutDlg(HWND parent) : Dialog(IDD_ABOUT, parent) {}

CAboutDlg::~CAboutDlg() {
    // The labels let go of their controls before the name's font goes.
    releaseWindow();
    if (nameFont) DeleteObject(nameFont);
}

bool CAboutDlg::onInitDialog() {
    // The program's icon, when the program carries one.
    if (HICON icon = LoadIconA(toolkit::instance(), MAKEINTRESOURCEA(IDI_ABOUT_PROGRAM_ICON)))
        SendDlgItemMessageA(handle, IDC_ABOUT_ICON, STM_SETICON, WPARAM(icon), 0);

    // The name in bold type of the dialog's font.
    HWND name = item(IDC_ABOUT_NAME);
    LOGFONTA description{};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(handle, WM_GETFONT, 0, 0));
    if (dialogFont && GetObjectA(dialogFont, sizeof(description), &description)) {
        description.lfWeight = FW_BOLD;
        nameFont = CreateFontIndirectA(&description);
        if (nameFont) SendMessageA(name, WM_SETFONT, WPARAM(nameFont), FALSE);
    }
    SetDlgItemTextA(handle, IDC_ABOUT_VERSION, toolkit::loadString(IDS_ABOUT_VERSION).c_str());

    // The web label shows its address; the mail label shows the bare mail address and the
    // label itself makes the "mailto:" target from it.
    std::string webAddress = toolkit::loadString(IDS_ABOUT_WEB_ADDRESS);
    SetDlgItemTextA(handle, IDC_ABOUT_WEB, webAddress.c_str());
    web.setTarget(webAddress);
    web.attachToDialogItem(handle, IDC_ABOUT_WEB);
    SetDlgItemTextA(handle, IDC_ABOUT_MAIL, toolkit::loadString(IDS_ABOUT_MAIL_ADDRESS).c_str());
    mail.attachToDialogItem(handle, IDC_ABOUT_MAIL);
    return Dialog::onInitDialog();
}

void showAboutBox(HWND owner) {
    CAboutDlg about(owner);
    about.runModal();
}

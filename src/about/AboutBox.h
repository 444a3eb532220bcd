// The About box: the program's name, icon and version, and two links (web page and mail).
#pragma once

#include "about/CLinkLabel.h"
#include "toolkit/Dialog.h"

#include <windows.h>

// The About dialog (template 160). Its addresses come from the string table.
class CAboutDlg : public toolkit::Dialog {
public:
    explicit CAboutDlg(HWND parent);
    ~CAboutDlg() override;

    CLinkLabel& webLink() { return web; }
    CLinkLabel& mailLink() { return mail; }

protected:
    bool onInitDialog() override;

private:
    CLinkLabel web;
    CLinkLabel mail;
    HFONT nameFont = nullptr;
};

// Shows the About box modally over owner (command 32784).
void showAboutBox(HWND owner);

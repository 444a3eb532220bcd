// The link label in a real dialog (targets, sizes, hover by moving the pointer, the failure box
// of a click) and the About box with its two links.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "about/AboutBox.h"
#include "about/CLinkLabel.h"
#include "resources/resource.h"
#include "support/DialogDriver.h"
#include "support/DialogTemplateBuilder.h"
#include "support/ResultTestHost.h"
#include "support/WindowShot.h"
#include "toolkit/Dialog.h"
#include "toolkit/MessageBoxes.h"

namespace {

enum : int { kMail = 101, kCentred = 102, kRight = 103, kBroken = 104 };

// A text of the running program's version resource ("ProductVersion", say): what Windows shows in
// the file's properties.
std::string versionResourceText(const char* name) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return "";
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data())) return "";
    char* text = nullptr;
    UINT length = 0;
    std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) ||
        !text)
        return "";
    return std::string(text, strnlen(text, length));
}

RECT rectInParent(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Whether the control, drawn as it paints itself (on white), shows the colour anywhere. It is
// drawn into memory, so windows of other tests on the same screen cannot hide it.
bool showsColour(HWND control, COLORREF colour) {
    RECT r{};
    GetClientRect(control, &r);
    HDC memory = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    FillRect(memory, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageA(control, WM_PRINTCLIENT, WPARAM(memory), PRF_CLIENT);
    GdiFlush();
    bool found = false;
    auto* pixels = static_cast<const DWORD*>(bits);
    DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; i < r.right * r.bottom && !found; ++i)
        found = (pixels[i] & 0xFFFFFF) == wanted;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return found;
}

// Moves the pointer to a screen point and lets the windows see the move.
void movePointer(int x, int y) {
    SetCursorPos(x, y);
    for (int i = 0; i < 10; ++i, Sleep(10))
        pumpMessages();
}

POINT centreOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

} // namespace

TEST(LinkLabel, TakesItsTargetFitsItsTextAndFollowsThePointer) {
    DialogTemplateBuilder tmpl(WS_POPUP | WS_VISIBLE | WS_CAPTION, 20, 20, 220, 120, "Links");
    tmpl.add("STATIC", "support@corvask.example.org", kMail, SS_LEFT, 10, 10, 180, 20)
        .add("STATIC", "HTTP://Corvask.Example.org/", kCentred, SS_CENTER, 10, 36, 200, 10)
        .add("STATIC", "Right", kRight, SS_RIGHT | SS_CENTERIMAGE, 10, 52, 150, 24)
        .add("STATIC", "", kBroken, SS_LEFT, 10, 84, 150, 10);
    toolkit::Dialog dialog(tmpl.get());
    ASSERT_TRUE(dialog.createModeless());
    // Above the windows of tests running beside this one, so the pointer finds the labels.
    SetWindowPos(dialog.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CLinkLabel mail, centred, right, broken;
    RECT before[3] = {rectInParent(dialog.item(kMail)), rectInParent(dialog.item(kCentred)),
                      rectInParent(dialog.item(kRight))};
    broken.setTarget("corvask-nowhere:page");
    ASSERT_TRUE(mail.attachToDialogItem(dialog.hwnd(), kMail));
    ASSERT_TRUE(centred.attachToDialogItem(dialog.hwnd(), kCentred));
    ASSERT_TRUE(right.attachToDialogItem(dialog.hwnd(), kRight));
    ASSERT_TRUE(broken.attachToDialogItem(dialog.hwnd(), kBroken));
    pumpMessages();

    // Targets: a plain mail address becomes a mail link, an http text of any case stays, an
    // empty text shows the target. The tool tip shows the target.
    EXPECT_EQ("mailto:support@corvask.example.org", mail.target());
    EXPECT_EQ("HTTP://Corvask.Example.org/", centred.target());
    char text[64] = "";
    GetWindowTextA(broken.hwnd(), text, sizeof text);
    EXPECT_STREQ("corvask-nowhere:page", text);
    TOOLINFOA tool{sizeof(tool), 0, mail.hwnd(), 1};
    tool.lpszText = text;
    SendMessageA(mail.toolTip(), TTM_GETTEXTA, sizeof text, LPARAM(&tool));
    EXPECT_STREQ("mailto:support@corvask.example.org", text);
    EXPECT_NE(nullptr, mail.linkCursor());

    // Sizes follow the text: the left one keeps its top left corner, the centred one its
    // horizontal centre, the right one its right edge and (centre image) its vertical centre.
    RECT after[3] = {rectInParent(mail.hwnd()), rectInParent(centred.hwnd()),
                     rectInParent(right.hwnd())};
    EXPECT_EQ(before[0].left, after[0].left);
    EXPECT_EQ(before[0].top, after[0].top);
    EXPECT_LT(after[0].right, before[0].right);
    EXPECT_LT(after[0].bottom, before[0].bottom);
    EXPECT_NEAR(before[1].left + before[1].right, after[1].left + after[1].right, 1);
    EXPECT_EQ(before[2].right, after[2].right);
    EXPECT_NEAR(before[2].top + before[2].bottom, after[2].top + after[2].bottom, 1);

    // The pointer over the label: hover colour, mouse captured; away: link colour, released.
    EXPECT_TRUE(showsColour(mail.hwnd(), CLinkLabel::kLinkColour));
    POINT on = centreOf(mail.hwnd());
    movePointer(on.x, on.y);
    EXPECT_TRUE(mail.isOver());
    EXPECT_EQ(mail.hwnd(), GetCapture());
    EXPECT_TRUE(showsColour(mail.hwnd(), GetSysColor(COLOR_HIGHLIGHT)));
    // Off the label but still on the dialog: the pointer's moves reach this process only while
    // it is over one of its windows.
    RECT dialogRect{};
    GetWindowRect(dialog.hwnd(), &dialogRect);
    movePointer(dialogRect.right - 4, on.y);
    EXPECT_FALSE(mail.isOver());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_TRUE(showsColour(mail.hwnd(), CLinkLabel::kLinkColour));
    EXPECT_FALSE(showsColour(mail.hwnd(), GetSysColor(COLOR_HIGHLIGHT)));
    mail.setVisited(true);
    EXPECT_TRUE(showsColour(mail.hwnd(), CLinkLabel::kVisitedColour));

    // A click on a target nothing can open, with no ".htm" association to fall back on (the
    // classes root is an empty key for this process meanwhile): the box, and not visited.
    std::vector<MessageBoxRequest> boxes;
    setMessageBoxResponder([&boxes](const MessageBoxRequest& r) {
        boxes.push_back(r);
        return IDOK;
    });
    HKEY empty = nullptr;
    RegCreateKeyA(HKEY_CURRENT_USER, "Software\\CorvaskTestEmptyClasses", &empty);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, empty);
    on = centreOf(broken.hwnd());
    movePointer(on.x, on.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    for (int i = 0; i < 20 && boxes.empty(); ++i, Sleep(10))
        pumpMessages();
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(empty);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\CorvaskTestEmptyClasses");
    setMessageBoxResponder(nullptr);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Unable to open hyperlink:\n\nThere is no application associated\nwith the given "
              "filename extension.",
              boxes[0].text);
    EXPECT_EQ("Corvask", boxes[0].caption);
    EXPECT_EQ(UINT(MB_ICONEXCLAMATION | MB_OK), boxes[0].type);
    EXPECT_FALSE(broken.visited());
    movePointer(dialogRect.right - 4, on.y);
}

TEST(AboutBox, ShowsTheProgramAndItsTwoLinks) {
    std::string name, version, web, webText, mail;
    whenDialogAppears("About Corvask", [&](HWND box) {
        char text[128] = "";
        GetDlgItemTextA(box, IDC_ABOUT_NAME, text, sizeof text);
        name = text;
        GetDlgItemTextA(box, IDC_ABOUT_VERSION, text, sizeof text);
        version = text;
        GetDlgItemTextA(box, IDC_ABOUT_WEB, text, sizeof text);
        webText = text;
        if (auto* link = dynamic_cast<CLinkLabel*>(
                toolkit::Window::fromHandle(GetDlgItem(box, IDC_ABOUT_WEB))))
            web = link->target();
        if (auto* link = dynamic_cast<CLinkLabel*>(
                toolkit::Window::fromHandle(GetDlgItem(box, IDC_ABOUT_MAIL))))
            mail = link->target();
        if (!screenshotFolder().empty()) saveWindowShot(box, screenshotFolder() + "\\about.bmp");
        pressButton(box, IDOK);
    });
    showAboutBox(nullptr);
    EXPECT_TRUE(dialogWasAnswered());
    EXPECT_EQ("Corvask", name);
    // The one version number reaches both the About box and the file's properties.
    const std::string productVersion = versionResourceText("ProductVersion");
    EXPECT_FALSE(productVersion.empty());
    // Both say which of the two builds this is.
    const std::string bits = sizeof(void*) == 8 ? "(64-bit)" : "(32-bit)";
    EXPECT_EQ("Version " + productVersion + " " + bits, version);
    EXPECT_NE(std::string::npos, versionResourceText("FileDescription").find(bits.substr(1, 6)));
    EXPECT_EQ(productVersion, versionResourceText("FileVersion"));
    EXPECT_EQ("Corvask.exe", versionResourceText("OriginalFilename"));
    EXPECT_EQ("https://corvask.example.org/", web);
    EXPECT_EQ(web, webText);
    EXPECT_EQ("mailto:support@corvask.example.org", mail);
}

// The link label: colours, hover, hand cursor, tool tip, resizing and following the link.
#include "about/CLinkLabel.h"

#include "toolkit/MessageBoxes.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

constexpr UINT kToolId = 1;

// The label's one tool-tip tool, covering the control as it is now.
TOOLINFOA toolCovering(HWND control) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = control;
    tool.uId = kToolId;
    GetClientRect(control, &tool.rect);
    return tool;
}
// The hand cursor inside the help viewer program.
constexpr WORD kHelpViewerHandCursor = 106;

std::string lowerCase(std::string text) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string windowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(size_t(length) + 1, '\0');
    int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(size_t(std::max(copied, 0)));
    return text;
}

// The default value of a key under the classes root; false when it cannot be read in full.
bool readClassValue(const std::string& key, std::string& value) {
    char buffer[MAX_PATH] = {};
    LONG size = sizeof(buffer);
    if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), buffer, &size) != ERROR_SUCCESS)
        return false;
    buffer[MAX_PATH - 1] = '\0';
    value = buffer;
    return true;
}

// Opens target with the program that opens ".htm" files: its command line up to the "%1"
// placeholder, then the target. Returns the launch's code, or shellCode when the association
// cannot be read.
int openWithBrowser(const std::string& target, int shellCode) {
    std::string fileClass, command;
    if (!readClassValue(".htm", fileClass)) return shellCode;
    if (!readClassValue(fileClass + "\\shell\\open\\command", command)) return shellCode;
    size_t placeholder = command.find("\"%1\"");
    if (placeholder == std::string::npos) placeholder = command.find("%1");
    if (placeholder != std::string::npos) command.erase(placeholder);
    command += " " + target;
    return int(WinExec(command.c_str(), SW_SHOW));
}

} // namespace

std::string hyperlinkErrorText(int code) {
    switch (code) {
    case 0: return "The operating system is out\nof memory or resources.";
    case SE_ERR_FNF: return "The specified file was not found.";
    case SE_ERR_PNF: return "The specified path was not found.";
    case SE_ERR_ACCESSDENIED: return "The operating system denied\naccess to the specified file.";
    case SE_ERR_OOM: return "There was not enough memory to complete the operation.";
    case ERROR_BAD_FORMAT:
        return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case SE_ERR_SHARE: return "A sharing violation occurred. ";
    case SE_ERR_ASSOCINCOMPLETE: return "The filename association is\nincomplete or invalid.";
    case SE_ERR_DDETIMEOUT:
        return "The DDE transaction could not\nbe completed because the request timed out.";
    case SE_ERR_DDEFAIL: return "The DDE transaction failed.";
    case SE_ERR_DDEBUSY:
        return "The DDE transaction could not\nbe completed because other DDE transactions\n"
               "were being processed.";
    case SE_ERR_NOASSOC:
        return "There is no application associated\nwith the given filename extension.";
    case SE_ERR_DLLNOTFOUND: return "The specified dynamic-link library was not found.";
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "Unknown Error (%d) occurred.", code);
        return text;
    }
    }
}

CLinkLabel::CLinkLabel() : hover(GetSysColor(COLOR_HIGHLIGHT)) {}

CLinkLabel::~CLinkLabel() {
    releaseResources();
}

void CLinkLabel::releaseResources() {
    if (tip && IsWindow(tip)) DestroyWindow(tip);
    tip = nullptr;
    // The control may outlive us: it gets its own font back before ours goes.
    followsFontChanges = false;
    if (handle && IsWindow(handle) && font)
        SendMessageA(handle, WM_SETFONT, WPARAM(originalFont), FALSE);
    releaseWindow();
    if (font) DeleteObject(font);
    font = nullptr;
    if (ownsCursor && cursor) DestroyCursor(cursor);
    cursor = nullptr;
    ownsCursor = false;
}

bool CLinkLabel::attachToDialogItem(HWND dialog, int id) {
    if (!subclassDlgItem(dialog, id)) return false;
    onAttach();
    return true;
}

void CLinkLabel::onAttach() {
    SetWindowLongPtrA(handle, GWL_STYLE, GetWindowLongPtrA(handle, GWL_STYLE) | SS_NOTIFY);

    std::string text = windowText(handle);
    if (address.empty()) {
        address = text;
        std::string lower = lowerCase(text);
        if (lower.find("http") == std::string::npos && lower.find("mailto") == std::string::npos)
            address = "mailto:" + text;
    }
    if (text.empty()) SetWindowTextA(handle, address.c_str());

    originalFont = reinterpret_cast<HFONT>(SendMessageA(handle, WM_GETFONT, 0, 0));
    applyFont();
    resize();
    if (!cursor) loadDefaultCursor();

    tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle,
                          nullptr, GetModuleHandleA(nullptr), nullptr);
    if (tip) {
        TOOLINFOA tool = toolCovering(handle);
        tool.lpszText = const_cast<char*>(address.c_str());
        SendMessageA(tip, TTM_ADDTOOLA, 0, LPARAM(&tool));
    }
}

void CLinkLabel::setColours(COLORREF linkText, COLORREF visitedColour, COLORREF hoverText) {
    link = linkText;
    visitedText = visitedColour;
    hover = hoverText == kSystemHighlight ? GetSysColor(COLOR_HIGHLIGHT) : hoverText;
    repaint();
}

COLORREF CLinkLabel::currentColour() const {
    if (over) return hover;
    return isVisited ? visitedText : link;
}

void CLinkLabel::setVisited(bool on) {
    isVisited = on;
    repaint();
}

void CLinkLabel::setLinkCursor(HCURSOR newCursor) {
    if (ownsCursor && cursor) DestroyCursor(cursor);
    cursor = newCursor;
    ownsCursor = false;
    if (!cursor) loadDefaultCursor();
}

void CLinkLabel::setUnderline(bool on) {
    isUnderlined = on;
    if (!handle) return;
    applyFont();
    repaint();
}

void CLinkLabel::setAdjustToFit(bool on) {
    fitsText = on;
    resize();
}

void CLinkLabel::setTarget(const std::string& newAddress) {
    address = newAddress;
    if (!handle) return;
    resize();
    if (tip) {
        TOOLINFOA tool = toolCovering(handle);
        tool.lpszText = const_cast<char*>(address.c_str());
        SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, LPARAM(&tool));
    }
}

void CLinkLabel::applyFont() {
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(handle, WM_GETFONT, 0, 0));
    if (!current) current = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    LOGFONTA description{};
    if (!GetObjectA(current, sizeof(description), &description)) return;
    description.lfUnderline = isUnderlined ? TRUE : FALSE;
    HFONT made = CreateFontIndirectA(&description);
    if (!made) return;
    // Ours before it is set, so the control's WM_SETFONT knows it (see handleMessage).
    HFONT previous = font;
    font = made;
    SendMessageA(handle, WM_SETFONT, WPARAM(made), FALSE);
    if (previous) DeleteObject(previous);
}

void CLinkLabel::resize() {
    if (!handle || !fitsText) return;
    HWND parent = GetParent(handle);
    RECT r{};
    GetWindowRect(handle, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);

    std::string text = windowText(handle);
    SIZE extent{};
    HDC dc = GetDC(handle);
    HGDIOBJ previous =
        SelectObject(dc, font ? HGDIOBJ(font) : HGDIOBJ(SendMessageA(handle, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(handle, dc);

    LONG style = LONG(GetWindowLongPtrA(handle, GWL_STYLE));
    if (style & SS_CENTERIMAGE) {
        int shrink = ((r.bottom - r.top) - extent.cy) / 2;
        r.top += shrink;
        r.bottom -= shrink;
    } else {
        r.bottom = r.top + extent.cy;
    }
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: {
        int shrink = ((r.right - r.left) - extent.cx) / 2;
        r.left += shrink;
        r.right -= shrink;
        break;
    }
    case SS_RIGHT: r.left = r.right - extent.cx; break;
    default: r.right = r.left + extent.cx; break;
    }
    SetWindowPos(handle, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (tip) {
        TOOLINFOA tool = toolCovering(handle);
        SendMessageA(tip, TTM_NEWTOOLRECTA, 0, LPARAM(&tool));
    }
}

void CLinkLabel::loadDefaultCursor() {
    char folder[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::string viewer = std::string(folder, length) + "\\winhlp32.exe";
        if (HMODULE module = LoadLibraryExA(viewer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
            HCURSOR found = LoadCursorA(module, MAKEINTRESOURCEA(kHelpViewerHandCursor));
            if (found) {
                cursor = CopyCursor(found);
                ownsCursor = cursor != nullptr;
            }
            FreeLibrary(module);
        }
    }
    // Without the help viewer's cursor the system's hand serves (shared: never destroyed).
    if (!cursor) cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)); // IDC_HAND
}

void CLinkLabel::repaint() {
    if (!handle) return;
    // The text is drawn on a transparent background, so the parent's background under the
    // control is painted afresh first: text drawn over the old text would smear its edges.
    HWND parent = GetParent(handle);
    RECT area{};
    GetWindowRect(handle, &area);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(parent, &area, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CLinkLabel::onMouseMove(POINT at) {
    if (!over) {
        over = true;
        repaint();
        SetCapture(handle);
        return;
    }
    RECT client{};
    GetClientRect(handle, &client);
    if (!PtInRect(&client, at)) {
        over = false;
        ReleaseCapture();
        repaint();
    }
}

void CLinkLabel::relayToToolTip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tip) return;
    MSG msg{handle, message, wParam, lParam, DWORD(GetMessageTime()), {}};
    DWORD position = GetMessagePos();
    msg.pt = POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    SendMessageA(tip, TTM_RELAYEVENT, 0, LPARAM(&msg));
}

LRESULT CLinkLabel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
        relayToToolTip(message, wParam, lParam);
    switch (message) {
    case WM_MOUSEMOVE: onMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_SETCURSOR:
        if (!cursor) break;
        SetCursor(cursor);
        return TRUE;
    case WM_SETFONT:
        // A font from outside (the dialog's own, made again for a screen of another DPI): it
        // becomes the one given back at the end, and the label underlines it and fits its text
        // and hover area to it.
        if (followsFontChanges && reinterpret_cast<HFONT>(wParam) != font) {
            LRESULT result = defaultHandling(message, wParam, lParam);
            originalFont = reinterpret_cast<HFONT>(wParam);
            applyFont();
            resize();
            if (LOWORD(lParam)) repaint();
            return result;
        }
        break;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a message box, a menu): the pointer is no longer ours.
        if (over && reinterpret_cast<HWND>(lParam) != handle) {
            over = false;
            repaint();
        }
        break;
    default: break;
    }
    return defaultHandling(message, wParam, lParam);
}

bool CLinkLabel::onReflectedCommand(UINT code, LRESULT& result) {
    if (code != STN_CLICKED) return false;
    follow();
    result = 0;
    return true;
}

bool CLinkLabel::onReflectedColour(HDC dc, LRESULT& result) {
    SetTextColor(dc, currentColour());
    SetBkMode(dc, TRANSPARENT);
    result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    return true;
}

bool CLinkLabel::follow() {
    int code = int(reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOW)));
    if (code <= 32) code = openWithBrowser(address, code);
    if (code > 32) {
        setVisited(true);
        return true;
    }
    MessageBeep(MB_ICONEXCLAMATION);
    showMessageBox(handle ? GetParent(handle) : nullptr,
                   "Unable to open hyperlink:\n\n" + hyperlinkErrorText(code), kAppTitle,
                   MB_ICONEXCLAMATION | MB_OK);
    return false;
}

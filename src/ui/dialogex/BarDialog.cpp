// BarDialog: bars, prompts, tool tips and idle-time command enabling for a dialog.
#include "ui/dialogex/BarDialog.h"

#include "toolkit/Application.h"
#include "toolkit/Dpi.h"
#include "toolkit/FrameworkMessages.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace dialogex {

namespace {
// Menu select flags that mark an item without a prompt: separator, popup, menu (bar) break.
constexpr UINT kNoPromptFlags = 0x0870;
constexpr UINT kFirstSystemCommand = 0xF000;
constexpr UINT kEndSystemCommands = 0xF1F0;
constexpr UINT kSystemPromptBase = 0xEF00;
} // namespace

BarDialog::BarDialog(UINT templateId, HWND parent) : Dialog(templateId, parent) {}

BarDialog::BarDialog(const DLGTEMPLATE* memoryTemplate, HWND parent)
    : Dialog(memoryTemplate, parent) {}

BarDialog::~BarDialog() {
    // The dialog goes before its bars, so no message of its end reaches the bars' objects.
    releaseWindow();
}

std::string BarDialog::promptString(UINT id) {
    return toolkit::loadString(id, 256);
}

bool BarDialog::createBars(bool toolTips, bool statusBar, const UINT* paneIds, int paneCount,
                           bool showMessagesValue, UINT toolBarId) {
    windowDpi = toolkit::dpiOf(handle);
    if (toolTips) {
        enableDialogToolTips();
        toolTipsEnabled = true;
    }
    showMessages = showMessagesValue;
    if (statusBar) {
        if (!statusBarWindow.create(handle, kStatusBarId)) return false;
        if (!statusBarWindow.setIndicators(paneIds, paneCount)) return false;
        showPrompt(kIdlePromptId);
        if (statusBarWindow.paneCount() > 0)
            statusBarWindow.setPaneStyle(0, statusBarWindow.paneStyle(0) | kPaneStretch);
        statusBarPresent = true;
    }
    if (toolBarId != 0) {
        if (!toolBarWindow.create(handle, toolTipsEnabled, kToolBarId)) return false;
        if (!toolBarWindow.loadToolBar(toolBarId & 0xFFFF, windowDpi)) return false;
        toolBarWindow.setBarStyle(toolBarWindow.barStyle() | kBarToolTips | kBarFlyBy |
                                  kBarBorderBottom);
        toolBarPresent = true;
    }
    if (!statusBar && toolBarId == 0) return true;

    RECT all{};
    GetClientRect(handle, &all);
    RECT free = repositionBars(handle, true);
    moveControls(free.left - all.left, free.top - all.top);
    repositionBars(handle, false);
    return true;
}

void BarDialog::moveControls(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        UINT id = UINT(GetDlgCtrlID(child));
        if (id >= kFirstBarId && id <= kLastBarId) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, handle, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

void BarDialog::changeBarsDpi(UINT newDpi) {
    windowDpi = newDpi;
    if (!toolBarPresent) return;
    RECT before = repositionBars(handle, true);
    toolBarWindow.setDpi(newDpi);
    RECT after = repositionBars(handle, true);
    moveControls(0, after.top - before.top);
}

void BarDialog::takeRect(const RECT& suggested) {
    SetWindowPos(handle, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(handle, nullptr, TRUE);
}

void BarDialog::onDpiChanged(UINT newDpi, const RECT& suggested) {
    changeBarsDpi(newDpi);
    takeRect(suggested);
}

RECT BarDialog::usableRect() const {
    // A line of one pixel at 96 DPI between each bar and the controls.
    const int gap = toolkit::scaled(1, windowDpi);
    RECT r{};
    GetClientRect(handle, &r);
    auto clientRectOf = [this](HWND window) {
        RECT w{};
        GetWindowRect(window, &w);
        MapWindowPoints(nullptr, handle, reinterpret_cast<POINT*>(&w), 2);
        return w;
    };
    if (statusBarPresent && statusBarWindow.hwnd())
        r.bottom = std::max(r.top, clientRectOf(statusBarWindow.hwnd()).top - gap);
    if (toolBarPresent && toolBarWindow.hwnd())
        r.top = std::min(r.bottom, clientRectOf(toolBarWindow.hwnd()).bottom + gap);
    return r;
}

void BarDialog::setStatusText(const std::string& text) {
    if (showMessages && statusBarWindow.hwnd()) statusBarWindow.setPaneText(0, text);
}

UINT BarDialog::showPrompt(UINT id) {
    if (id == 0) {
        setStatusText("");
    } else if (id == kIdlePromptId) {
        setStatusText(promptString(kIdlePromptId));
    } else {
        std::string text = promptString(id);
        if (!text.empty()) {
            // The prompt ends at the first newline found at position 1 or later; without one
            // there is no prompt.
            size_t newline = text.size() > 1 ? text.find('\n', 1) : std::string::npos;
            setStatusText(newline == std::string::npos ? std::string() : text.substr(0, newline));
        }
    }
    UINT previous = shownMessageId;
    shownMessageId = id;
    pendingMessageId = id;
    return previous;
}

INT_PTR BarDialog::runModal() {
    modeless = false;
    return Dialog::runModal();
}

void BarDialog::onOK() {
    if (!modeless) {
        Dialog::onOK();
        return;
    }
    if (exchangeData(true)) destroy();
}

void BarDialog::onCancel() {
    if (!modeless) {
        Dialog::onCancel();
        return;
    }
    destroy();
}

void BarDialog::sendIdleUpdates() {
    if (statusBarWindow.hwnd())
        SendMessageA(statusBarWindow.hwnd(), toolkit::WM_IDLEUPDATECMDUI, FALSE, 0);
    if (toolBarWindow.hwnd())
        SendMessageA(toolBarWindow.hwnd(), toolkit::WM_IDLEUPDATECMDUI, TRUE, 0);
}

bool BarDialog::onKickIdle(LONG count) {
    sendIdleUpdates();
    return count < 3;
}

void BarDialog::onSize() {
    if (statusBarPresent || toolBarPresent) repositionBars(handle, false);
}

void BarDialog::onMenuSelect(UINT itemId, UINT flags) {
    if (flags == 0xFFFF) {
        // The menu closed.
        pendingMessageId = kIdlePromptId;
        showPrompt(kIdlePromptId);
        return;
    }
    if (itemId == 0 || (flags & kNoPromptFlags)) {
        pendingMessageId = 0;
        return;
    }
    if (itemId >= kFirstSystemCommand && itemId < kEndSystemCommands)
        itemId = kSystemPromptBase + ((itemId - kFirstSystemCommand) >> 4);
    pendingMessageId = itemId;
}

void BarDialog::onEnterIdle(UINT reason) {
    if (toolkit::mainWindow() != handle) sendIdleUpdates();
    if (reason == MSGF_MENU && pendingMessageId != shownMessageId) showPrompt(pendingMessageId);
}

void BarDialog::onInitMenuPopup(HMENU menu, bool systemMenu) {
    if (systemMenu || !menu) return;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        UINT id = GetMenuItemID(menu, i);
        std::optional<bool> enabled;
        if (id == 0) continue; // separator
        if (id == static_cast<UINT>(-1)) {
            // A nested popup takes the state of its first command, if it begins with one.
            HMENU nested = GetSubMenu(menu, i);
            UINT first = nested ? GetMenuItemID(nested, 0) : 0;
            if (first == 0 || first == static_cast<UINT>(-1)) continue;
            enabled = commandEnabled(first, false);
        } else {
            enabled = commandEnabled(id, id < kFirstSystemCommand);
        }
        if (enabled)
            EnableMenuItem(menu, static_cast<UINT>(i),
                           MF_BYPOSITION | (*enabled ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    }
}

bool BarDialog::onToolTipText(NMHDR& header, LRESULT& result) {
    bool wide = header.code == TTN_NEEDTEXTW;
    UINT flags = wide ? reinterpret_cast<NMTTDISPINFOW&>(header).uFlags
                      : reinterpret_cast<NMTTDISPINFOA&>(header).uFlags;
    UINT id = static_cast<UINT>(header.idFrom);
    if (flags & TTF_IDISHWND) id = GetDlgCtrlID(reinterpret_cast<HWND>(header.idFrom)) & 0xFFFF;

    std::string tip;
    if (id != 0 && id != kNoTipId) {
        std::string text = promptString(id);
        size_t newline = text.find('\n');
        std::string prompt = text.substr(0, newline);
        if (newline != std::string::npos) {
            size_t end = text.find('\n', newline + 1);
            tip = text.substr(newline + 1,
                              end == std::string::npos ? std::string::npos : end - newline - 1);
        }
        if (!prompt.empty()) {
            setStatusText(prompt);
            tipMessageShown = true;
        }
    }
    // The request's own buffer holds 79 characters and the terminator.
    if (tip.size() > kTipBufferLength - 1) tip.resize(kTipBufferLength - 1);
    if (wide) {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        int n = MultiByteToWideChar(CP_ACP, 0, tip.c_str(), static_cast<int>(tip.size()),
                                    info.szText, kTipBufferLength - 1);
        info.szText[std::max(0, n)] = L'\0';
        info.lpszText = info.szText;
        info.hinst = nullptr;
    } else {
        auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
        std::memcpy(info.szText, tip.c_str(), tip.size() + 1);
        info.lpszText = info.szText;
        info.hinst = nullptr;
    }
    result = 0;
    SetWindowPos(header.hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
    return true;
}

void BarDialog::enableDialogToolTips() {
    if (toolTipWindow) return;
    toolTipWindow = CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle, nullptr, toolkit::instance(), nullptr);
    addToolTipsForNewControls();
}

void BarDialog::addToolTipsForNewControls() {
    if (!toolTipWindow) return;
    // Every control of the dialog is a tool named by its window; its text is asked for when shown.
    for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = handle;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        if (SendMessageA(toolTipWindow, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)))
            continue; // known already
        tool.lpszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(toolTipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

bool BarDialog::preTranslateMessage(MSG& msg) {
    if (toolTipWindow && msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST &&
        (msg.hwnd == handle || IsChild(handle, msg.hwnd))) {
        // The tool tip learns where the mouse is over which control of the dialog.
        MSG relay = msg;
        HWND control = msg.hwnd;
        while (control && GetParent(control) != handle)
            control = GetParent(control);
        if (control) relay.hwnd = control;
        SendMessageA(toolTipWindow, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
    return false;
}

LRESULT BarDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: onSize(); break;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case toolkit::WM_SETMESSAGESTRING: return showPrompt(static_cast<UINT>(wParam));
    case toolkit::WM_POPMESSAGESTRING:
        if (suppressPoppedPrompts) return 0;
        return SendMessageA(handle, toolkit::WM_SETMESSAGESTRING, wParam, lParam);
    case WM_MENUSELECT: {
        LRESULT result = Dialog::handleMessage(message, wParam, lParam);
        onMenuSelect(LOWORD(wParam), HIWORD(wParam));
        return result;
    }
    case WM_ENTERIDLE: {
        LRESULT result = Dialog::handleMessage(message, wParam, lParam);
        onEnterIdle(static_cast<UINT>(wParam));
        return result;
    }
    case WM_INITMENUPOPUP: {
        LRESULT result = Dialog::handleMessage(message, wParam, lParam);
        onInitMenuPopup(reinterpret_cast<HMENU>(wParam), HIWORD(lParam) != 0);
        return result;
    }
    case WM_MOUSEMOVE:
        if (tipMessageShown) {
            showPrompt(kIdlePromptId);
            tipMessageShown = false;
        }
        break;
    case WM_NOTIFY: {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if ((header.code == TTN_NEEDTEXTA || header.code == TTN_NEEDTEXTW) &&
            onToolTipText(header, result)) {
            SetWindowLongPtrA(handle, DWLP_MSGRESULT, result);
            return result;
        }
        break;
    }
    case WM_DESTROY:
        if (toolTipWindow) DestroyWindow(toolTipWindow);
        toolTipWindow = nullptr;
        break;
    default: break;
    }
    return Dialog::handleMessage(message, wParam, lParam);
}

} // namespace dialogex

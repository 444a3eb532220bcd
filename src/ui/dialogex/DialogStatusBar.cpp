// The dialog's status bar: panes, lazily applied pane texts and the idle update of its panes.
#include "ui/dialogex/DialogStatusBar.h"

#include <commctrl.h>

#include <algorithm>

namespace dialogex {

DialogStatusBar::~DialogStatusBar() {
    if (handle && timerRunning) KillTimer(handle, kApplyTimer);
}

bool DialogStatusBar::create(HWND parent, UINT id) {
    DWORD windowStyle = WS_CHILD | WS_VISIBLE | CCS_BOTTOM;
    if (GetWindowLongA(parent, GWL_STYLE) & WS_THICKFRAME) windowStyle |= SBARS_SIZEGRIP;
    return Window::create(0, STATUSCLASSNAMEA, "", windowStyle, 0, 0, 0, 0, parent, id);
}

bool DialogStatusBar::setIndicators(const UINT* ids, int count) {
    if (!handle || count < 0 || count > 255 || (count > 0 && !ids)) return false;
    applyPending();
    panes.assign(static_cast<size_t>(count), Pane{});
    for (int i = 0; i < count; ++i) {
        Pane& pane = panes[static_cast<size_t>(i)];
        pane.id = ids[i];
        pane.width = GetSystemMetrics(SM_CXSCREEN) / 4;
    }
    if (count > 0 && panes[0].id == 0) panes[0].style |= kPaneStretch;
    recalcParts();
    return count == 0 || SendMessageA(handle, SB_GETPARTS, 0, 0) == count;
}

UINT DialogStatusBar::paneId(int index) const {
    return index >= 0 && index < paneCount() ? panes[static_cast<size_t>(index)].id : 0;
}

UINT DialogStatusBar::paneStyle(int index) const {
    return index >= 0 && index < paneCount() ? panes[static_cast<size_t>(index)].style : 0;
}

int DialogStatusBar::paneWidth(int index) const {
    return index >= 0 && index < paneCount() ? panes[static_cast<size_t>(index)].width : 0;
}

void DialogStatusBar::setPaneInfo(int index, UINT id, UINT style, int width) {
    if (index < 0 || index >= paneCount()) return;
    Pane& pane = panes[static_cast<size_t>(index)];
    pane.id = id;
    pane.width = std::max(0, width);
    setPaneStyle(index, style);
    recalcParts();
}

void DialogStatusBar::setPaneStyle(int index, UINT style) {
    if (index < 0 || index >= paneCount()) return;
    Pane& pane = panes[static_cast<size_t>(index)];
    UINT before = pane.style;
    pane.style = style;
    if ((before ^ style) & kPaneStretch) recalcParts();
    if ((before ^ style) & (kPaneDisabled | kPaneNoBorders | kPanePopOut)) applyPane(index);
}

bool DialogStatusBar::setPaneText(int index, const std::string& text) {
    if (!handle || index < 0 || index > 255) return false;
    return SendMessageA(handle, SB_SETTEXTA, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(text.c_str())) != FALSE;
}

std::string DialogStatusBar::paneText(int index) {
    if (!handle || index < 0 || index > 255) return {};
    // SB_GETTEXTLENGTH is a status-bar message: it applies what is pending first.
    LRESULT info = SendMessageA(handle, SB_GETTEXTLENGTHA, static_cast<WPARAM>(index), 0);
    std::string text(static_cast<size_t>(LOWORD(info)) + 1, '\0');
    SendMessageA(handle, SB_GETTEXTA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(info));
    return text;
}

LRESULT DialogStatusBar::recordText(WPARAM wParam, const char* text) {
    int index = LOBYTE(LOWORD(wParam));
    WORD flags = static_cast<WORD>(HIBYTE(LOWORD(wParam)) << 8);
    if (index >= paneCount() || (flags & SBT_OWNERDRAW)) {
        // Not a pane of ours, or a drawing request: the platform handles it now.
        applyPending();
        return defaultHandling(SB_SETTEXTA, wParam, reinterpret_cast<LPARAM>(text));
    }
    Pane& pane = panes[static_cast<size_t>(index)];
    pane.text = text ? text : "";
    pane.drawFlags = flags;
    pane.pending = true;
    startTimer();
    if (!timerRunning) applyPending(); // no timer to be had: show it at once
    return TRUE;
}

void DialogStatusBar::startTimer() {
    const UINT delay = followed ? kFollowDelayMs : kApplyDelayMs;
    if (timerRunning && timerDelay == delay) return;
    // Setting the timer again replaces the running one.
    timerRunning = SetTimer(handle, kApplyTimer, delay, nullptr) != 0;
    timerDelay = timerRunning ? delay : 0;
}

bool DialogStatusBar::hasPendingTexts() const {
    for (const Pane& pane : panes)
        if (pane.pending) return true;
    return false;
}

void DialogStatusBar::followText(int index, toolkit::LatestText* source) {
    if (followed && !source) followed->dropPending();
    followed = source;
    followedPane = index;
    if (followed && handle) startTimer();
}

void DialogStatusBar::pullFollowed() {
    if (!followed || followedPane < 0 || followedPane >= paneCount()) return;
    if (!followed->takeNewer(pulled)) return;
    Pane& pane = panes[static_cast<size_t>(followedPane)];
    pane.text = pulled;
    pane.drawFlags = 0;
    pane.pending = true;
}

void DialogStatusBar::applyPending() {
    pullFollowed();
    // While a source is followed the timer keeps running: its texts come without a message.
    if (timerRunning && !followed) {
        KillTimer(handle, kApplyTimer);
        timerRunning = false;
    }
    for (int i = 0; i < paneCount(); ++i)
        if (panes[static_cast<size_t>(i)].pending) applyPane(i);
}

void DialogStatusBar::applyPane(int index) {
    Pane& pane = panes[static_cast<size_t>(index)];
    pane.pending = false;
    WORD flags = pane.drawFlags;
    if (pane.style & kPaneNoBorders) flags |= SBT_NOBORDERS;
    if (pane.style & kPanePopOut) flags |= SBT_POPOUT;
    const char* shown = (pane.style & kPaneDisabled) ? "" : pane.text.c_str();
    defaultHandling(SB_SETTEXTA, static_cast<WPARAM>(index | flags),
                    reinterpret_cast<LPARAM>(shown));
}

void DialogStatusBar::recalcParts() {
    if (!handle || panes.empty()) return;
    RECT client{};
    GetClientRect(handle, &client);
    int fixed = 0;
    for (const Pane& p : panes)
        if (!(p.style & kPaneStretch)) fixed += p.width;
    int grip =
        (GetWindowLongA(handle, GWL_STYLE) & SBARS_SIZEGRIP) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    int stretch = std::max(0, static_cast<int>(client.right - client.left) - fixed - grip);
    std::vector<int> rights;
    int right = 0;
    for (const Pane& p : panes) {
        right += (p.style & kPaneStretch) ? stretch : p.width;
        rights.push_back(right);
    }
    rights.back() += grip;
    defaultHandling(SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    // New parts start out empty: show the texts they carry.
    for (int i = 0; i < paneCount(); ++i)
        applyPane(i);
}

void DialogStatusBar::layOut() {
    SendMessageA(handle, WM_SIZE, 0, 0);
}

LRESULT DialogStatusBar::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == toolkit::followPaneTextMessage()) {
        followText(static_cast<int>(wParam), reinterpret_cast<toolkit::LatestText*>(lParam));
        return TRUE;
    }
    switch (message) {
    case SB_SETTEXTA: return recordText(wParam, reinterpret_cast<const char*>(lParam));
    case SB_SETTEXTW: {
        // The wide form is kept in the same record, so the texts stay in the order set.
        if (HIBYTE(LOWORD(wParam)) & (SBT_OWNERDRAW >> 8)) break;
        const auto* wide = reinterpret_cast<const wchar_t*>(lParam);
        std::string text;
        if (wide && *wide) {
            int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
            if (n > 1) {
                text.resize(static_cast<size_t>(n));
                WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), n, nullptr, nullptr);
                text.resize(static_cast<size_t>(n - 1));
            }
        }
        return recordText(wParam, text.c_str());
    }
    case WM_TIMER:
        if (wParam != kApplyTimer) break;
        applyPending();
        return 0;
    case WM_SIZE: {
        LRESULT result = ControlBar::handleMessage(message, wParam, lParam);
        recalcParts();
        return result;
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: applyPending(); break;
    case WM_SETTEXT:
        // The window text is pane 0's text.
        applyPending();
        if (!panes.empty()) panes[0].text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        break;
    case WM_DESTROY:
        // Nothing more is shown: drop what is pending.
        if (timerRunning) KillTimer(handle, kApplyTimer);
        timerRunning = false;
        followed = nullptr;
        break;
    default:
        // Every other status-bar message sees the true texts.
        if (message >= WM_USER && message < 0x8000) applyPending();
        break;
    }
    return ControlBar::handleMessage(message, wParam, lParam);
}

void DialogStatusBar::updateItems(toolkit::Dialog& target, bool disableIfNoHandler) {
    for (int i = 0; i < paneCount(); ++i) {
        UINT id = panes[static_cast<size_t>(i)].id;
        if (id == 0) continue;
        std::optional<bool> enabled = target.commandEnabled(id, disableIfNoHandler);
        if (!enabled) continue;
        UINT style = panes[static_cast<size_t>(i)].style;
        UINT wanted = *enabled ? (style & ~kPaneDisabled) : (style | kPaneDisabled);
        if (wanted != style) setPaneStyle(i, wanted);
    }
}

} // namespace dialogex

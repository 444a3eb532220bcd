// The idle update shared by the bars, and the layout of the bars in a dialog.
#include "ui/dialogex/ControlBar.h"

#include "toolkit/FrameworkMessages.h"

#include <algorithm>

namespace dialogex {

LRESULT ControlBar::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == toolkit::WM_IDLEUPDATECMDUI) {
        if (IsWindowVisible(handle)) {
            auto* target = dynamic_cast<toolkit::Dialog*>(fromHandle(GetParent(handle)));
            if (target) updateItems(*target, wParam != 0);
        }
        return 0;
    }
    return Window::handleMessage(message, wParam, lParam);
}

RECT repositionBars(HWND parent, bool queryOnly) {
    RECT free{};
    GetClientRect(parent, &free);
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        UINT id = static_cast<UINT>(GetDlgCtrlID(child));
        if (id < kFirstBarId || id > kLastBarId) continue;
        auto* bar = dynamic_cast<ControlBar*>(toolkit::Window::fromHandle(child));
        // The bar's own style, not IsWindowVisible: a dialog lays its bars out in WM_INITDIALOG,
        // before the dialog itself is shown.
        if (!bar || !(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)) continue;
        if (!queryOnly) bar->layOut();
        RECT r{};
        GetWindowRect(child, &r);
        LONG height = r.bottom - r.top;
        if (bar->atTop())
            free.top = std::min(free.bottom, free.top + height);
        else
            free.bottom = std::max(free.top, free.bottom - height);
    }
    return free;
}

} // namespace dialogex

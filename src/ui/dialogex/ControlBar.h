// What the dialog's two bars share: a platform bar control that asks its dialog for the state of
// its commands in idle time, and the layout of all bars in the dialog's client area.
#pragma once

#include "toolkit/Dialog.h"

namespace dialogex {

// Bars live in this window id range; the layout moves every bar in it.
inline constexpr UINT kFirstBarId = 59392;
inline constexpr UINT kLastBarId = 59648;
inline constexpr UINT kToolBarId = 59392;
inline constexpr UINT kStatusBarId = 59648;

// Bar styles kept beside the platform control's own style.
inline constexpr DWORD kBarToolTips = 0x0010;
inline constexpr DWORD kBarFlyBy = 0x0020;
inline constexpr DWORD kBarBorderBottom = 0x0800;

class ControlBar : public toolkit::Window {
public:
    DWORD barStyle() const { return style; }
    void setBarStyle(DWORD s) { style = s; }
    // True for a bar docked at the top of its dialog, false for one at the bottom.
    virtual bool atTop() const = 0;
    // Lets the bar take its natural height along its edge of the parent's client area.
    virtual void layOut() = 0;

protected:
    // WM_IDLEUPDATECMDUI: a visible bar updates its items against its parent dialog.
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void updateItems(toolkit::Dialog& target, bool disableIfNoHandler) = 0;

    DWORD style = 0;
};

// Places the bars (children with ids kFirstBarId..kLastBarId) of parent along the edges of its
// client area. With queryOnly nothing moves. Returns the client rectangle the bars leave free.
RECT repositionBars(HWND parent, bool queryOnly);

} // namespace dialogex

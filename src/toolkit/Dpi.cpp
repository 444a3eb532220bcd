// The DPI of a window: the per-monitor answer where the platform has it, else the system DPI.
#include "toolkit/Dpi.h"

namespace toolkit {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// user32 is loaded in every GUI process; the look-up is made once, Windows 7 answers null.
GetDpiForWindowFunction getDpiForWindow() {
    static const GetDpiForWindowFunction function = [] {
        HMODULE user = GetModuleHandleA("user32.dll");
        return user ? reinterpret_cast<GetDpiForWindowFunction>(
                          reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                    : nullptr;
    }();
    return function;
}

UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : kBaseDpi;
}

} // namespace

UINT dpiOf(HWND window) {
    if (window) {
        if (GetDpiForWindowFunction function = getDpiForWindow()) {
            UINT dpi = function(window);
            if (dpi != 0) return dpi;
        }
    }
    return systemDpi();
}

} // namespace toolkit

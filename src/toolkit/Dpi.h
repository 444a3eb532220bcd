// The dots per inch a window is drawn at, and pixel figures scaled to it. Figures are written for
// 96 DPI (100 %); at 96 DPI every scaled figure is the figure itself.
#pragma once

#include <windows.h>

namespace toolkit {

inline constexpr UINT kBaseDpi = 96;

// The DPI of window's screen: GetDpiForWindow where the platform has it (Windows 10 1607 and
// later, looked up when first needed), else the system DPI that Windows 7 and 8 give every
// window of a DPI-aware program. Never 0.
UINT dpiOf(HWND window);

// A figure of pixels at 96 DPI, at dpi (rounded to the nearest pixel, signs kept).
inline int scaled(int pixels, UINT dpi) { return MulDiv(pixels, int(dpi), int(kBaseDpi)); }

// The figure at dpi given a figure measured at another DPI: a column a person widened at 96 DPI
// keeps its share of the window at 144.
inline int rescaled(int pixels, UINT fromDpi, UINT toDpi) {
    return fromDpi == 0 ? pixels : MulDiv(pixels, int(toDpi), int(fromDpi));
}

} // namespace toolkit

#pragma once
// Where the portable units meet Win32: the DPI a window is laid out with, the screen in twips, rectangles and colours.
#include <windows.h>

#include "platform/rgb.h"
#include "platform/twips.h"

namespace vitrell {

// The screen's logical DPI; 96 when there is no screen DC. Read once per window, when it is made.
Dpi ReadDpi();

// The primary screen's size in twips at `dpi`.
SizeTwips ScreenSizeTwips(Dpi dpi);

inline RECT ToRect(const PixelRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

inline PixelRect FromRect(const RECT& r) {
    return PixelRect{r.left, r.top, r.right, r.bottom};
}

inline COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

}  // namespace vitrell

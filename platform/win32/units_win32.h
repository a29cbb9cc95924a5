#pragma once
// Where the portable units meet Win32: the DPI a window is laid out with, the screen in twips, rectangles and colours.
#include <windows.h>

#include "platform/monitors.h"
#include "platform/rgb.h"
#include "platform/twips.h"

namespace vitrell {

// The screen's logical DPI, the system's; 96 when there is no screen DC.
Dpi ReadDpi();

// The DPI a window is laid out at: its monitor's where the system says (Windows 10 1607 and later), the system's
// elsewhere. A move to a monitor of another scaling brings the new one with WM_DPICHANGED.
Dpi DpiOfWindow(HWND window);

// A size metric (SM_CXSMICON, SM_CXICON, ...) at `dpi`: the system's own for that DPI where it has one, otherwise its
// metric for the system's DPI scaled.
int MetricForDpi(int index, Dpi dpi);

// The primary screen's size in twips at `dpi`.
SizeTwips ScreenSizeTwips(Dpi dpi);

// Every monitor of the desktop, whole, in twips at `dpi`, the primary first; the primary screen alone when the
// system lists none.
MonitorList MonitorsTwips(Dpi dpi);

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

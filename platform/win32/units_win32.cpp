#include "platform/win32/units_win32.h"

#include "platform/win32/handles.h"

namespace vitrell {

Dpi ReadDpi() {
    const WindowDc screen(nullptr);
    if (!screen)
        return Dpi{};  // no screen DC: the standard 96 dpi rather than a division by zero
    const int x = GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int y = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return Dpi{x > 0 ? x : 96, y > 0 ? y : 96};
}

SizeTwips ScreenSizeTwips(Dpi dpi) {
    return {PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi.x), PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), dpi.y)};
}

}  // namespace vitrell

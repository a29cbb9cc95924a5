#include "platform/win32/dpi_win32.h"

namespace vitrell {

namespace {
int ScreenCaps(int index) {
    HDC dc = GetDC(nullptr);
    const int value = dc ? GetDeviceCaps(dc, index) : 0;
    if (dc)
        ReleaseDC(nullptr, dc);
    return value > 0 ? value : 96;  // no screen DC: assume the standard 96 dpi rather than divide by zero
}
}  // namespace

int ScreenDpiX() {
    return ScreenCaps(LOGPIXELSX);
}
int ScreenDpiY() {
    return ScreenCaps(LOGPIXELSY);
}

SizeTwips ScreenSizeTwips() {
    return {PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), ScreenDpiX()),
            PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), ScreenDpiY())};
}

int TwipsToPixelsX(double twips) {
    return TwipsToPixels(twips, ScreenDpiX());
}
int TwipsToPixelsY(double twips) {
    return TwipsToPixels(twips, ScreenDpiY());
}
double PixelsToTwipsX(int pixels) {
    return PixelsToTwips(pixels, ScreenDpiX());
}
double PixelsToTwipsY(int pixels) {
    return PixelsToTwips(pixels, ScreenDpiY());
}

}  // namespace vitrell

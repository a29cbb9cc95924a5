#pragma once
// The real DPI of the screen, and the screen's size in twips.
#include <windows.h>

#include "platform/twips.h"

namespace vitrell {

int ScreenDpiX();
int ScreenDpiY();
SizeTwips ScreenSizeTwips();
int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
double PixelsToTwipsX(int pixels);
double PixelsToTwipsY(int pixels);

}  // namespace vitrell

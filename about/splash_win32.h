#pragma once
// The splash screen INITDISP on Win32.
#include <windows.h>

namespace vitrell {

// Shows the splash modally; returns when its timer has closed it.
void ShowSplashModal(HINSTANCE instance);

}  // namespace vitrell

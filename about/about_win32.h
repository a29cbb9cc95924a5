#pragma once
// The splash screen INITDISP and the version-information box INFO_VER on Win32.
#include <windows.h>

#include "core/app_context.h"

namespace vitrell {

// Shows the splash modally; returns when its timer has closed it.
void ShowSplashModal(HINSTANCE instance);

// Shows the version box modally; returns when it closes.
void ShowVersionBoxModal(HINSTANCE instance, AppContext& app);

}  // namespace vitrell

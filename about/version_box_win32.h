#pragma once
// The version-information box INFO_VER on Win32.
#include <windows.h>

namespace vitrell {

// Shows the version box modally over `owner`; returns when it closes. A request while it is open brings the open
// box to the front instead.
void ShowVersionBox(HINSTANCE instance, HWND owner);

}  // namespace vitrell

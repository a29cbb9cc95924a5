#pragma once
// The main window VITRELL on Win32.
#include <windows.h>

#include "core/app_context.h"

namespace vitrell {

// Loads the main window (Form_Load runs) and shows it unless `visible` is false. False when it could not be
// created. The window lives until the process ends.
bool LoadMainWindow(HINSTANCE instance, AppContext& app, bool visible);

}  // namespace vitrell

#pragma once
// The settings dialog SETTEI on Win32.
#include <windows.h>

#include "core/app_context.h"
#include "settings_dialog/settings_host.h"

namespace vitrell {

// Loads and shows the dialog: modally over `owner` (returns when it closes), or modeless on its own (returns at
// once; `owner` is not used). A request while it is open brings the open dialog to the front instead.
void ShowSettingsDialog(AppContext& app, ISettingsHost& host, HWND owner, bool modal);

// Unloads the dialog if it is open.
void CloseSettingsDialog();

}  // namespace vitrell

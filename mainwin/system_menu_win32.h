#pragma once
// The main window's system-menu entry "各種設定(&K)", below a separator. The window takes its command,
// kSysMenuSettingsCommand, with WM_SYSCOMMAND like the menu's own commands.
#include <windows.h>

namespace vitrell {

// Appends the separator and the entry to the window's own copy of the system menu. A failed append leaves the
// entry out and changes nothing else.
void AppendSettingsEntry(HWND window);

// True for the WM_SYSCOMMAND of the entry.
bool IsSettingsEntry(WPARAM command);

}  // namespace vitrell

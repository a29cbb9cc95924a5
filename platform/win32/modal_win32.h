#pragma once
#include <windows.h>

namespace vitrell {

// Runs a modal loop for a window the caller has created and shown: every other top-level window
// of this thread is disabled until `dialog` is destroyed, then re-enabled. Timers keep ticking.
void RunModalLoop(HWND dialog);

// True when `msg` was a dialog-navigation message for one of this thread's modeless dialogs.
bool TranslateModelessDialogMessage(MSG& msg);

// Registers/unregisters a window whose controls take Tab and access keys (IsDialogMessage).
void RegisterDialogWindow(HWND dialog);
void UnregisterDialogWindow(HWND dialog);

}  // namespace vitrell

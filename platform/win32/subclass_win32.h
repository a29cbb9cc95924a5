#pragma once
// Subclassing a control the way every Windows since 95 allows (SetWindowSubclass is exported by name only from
// the common controls of Windows XP): the control's own procedure is kept in a window property, and whatever the
// new procedure does not take goes on to it.
#include <windows.h>

namespace vitrell {

// Puts `procedure` in front of the control's own; false when the system refused (the control keeps its own).
bool Subclass(HWND control, WNDPROC procedure);

// Passes a message on to the control's own procedure. At WM_NCDESTROY it also gives the control its own
// procedure back and drops the property.
LRESULT CallOriginal(HWND control, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace vitrell

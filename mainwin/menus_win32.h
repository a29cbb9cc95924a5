#pragma once
// The main window's menu tree and its shortcut keys.
#include "platform/win32/handles.h"

namespace vitrell {

// The menu bar "総合ﾒﾆｭｰ(&M)" with its drop-downs; the tray pop-up shows its first drop-down. Null when the system
// refused the menus.
UniqueMenu BuildMenuTree();

// F1, Ctrl+K and Ctrl+I.
UniqueAccelerators BuildShortcuts();

}  // namespace vitrell

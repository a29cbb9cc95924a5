#include "mainwin/system_menu_win32.h"

#include "core/product.h"

namespace vitrell {

void AppendSettingsEntry(HWND window) {
    if (HMENU system = GetSystemMenu(window, FALSE)) {
        (void)AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
        (void)AppendMenuW(system, MF_STRING, kSysMenuSettingsCommand, L"各種設定(&K)");
    }
}

bool IsSettingsEntry(WPARAM command) {
    return command == kSysMenuSettingsCommand;
}

}  // namespace vitrell

#include "platform/win32/modal_win32.h"

#include <algorithm>
#include <vector>

namespace vitrell {

namespace {

// The thread's dialog windows; one UI thread, so a plain list is enough.
std::vector<HWND>& DialogWindows() {
    static std::vector<HWND> windows;
    return windows;
}

struct DisableState {
    HWND keep;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOthers(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<DisableState*>(param);
    if (window != state->keep && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        state->disabled.push_back(window);
    }
    return TRUE;
}

}  // namespace

void RegisterDialogWindow(HWND dialog) {
    DialogWindows().push_back(dialog);
}

void UnregisterDialogWindow(HWND dialog) {
    auto& windows = DialogWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), dialog), windows.end());
}

bool TranslateModelessDialogMessage(MSG& msg) {
    for (HWND dialog : DialogWindows()) {
        if (IsWindow(dialog) && (msg.hwnd == dialog || IsChild(dialog, msg.hwnd)) && IsDialogMessageW(dialog, &msg))
            return true;
    }
    return false;
}

void RunModalLoop(HWND dialog) {
    DisableState state{dialog, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOthers, reinterpret_cast<LPARAM>(&state));

    MSG msg{};
    while (IsWindow(dialog)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // hand WM_QUIT on to the outer loop
            break;
        }
        if (got == -1)
            break;
        if (TranslateModelessDialogMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    for (HWND window : state.disabled) {
        if (IsWindow(window))
            EnableWindow(window, TRUE);
    }
}

}  // namespace vitrell

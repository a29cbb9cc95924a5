#include "platform/win32/message_pump_win32.h"

#include "platform/pre_translate.h"

namespace vitrell {

namespace {

constexpr int kDoEventsLimit = 1000;  // a flood of posted messages must not keep DoEvents from returning

PreTranslateChain<MSG> g_preTranslate;  // the thread's; there is one user-interface thread

enum class Until { kQuit, kWindowGone, kQueueEmpty };

// The one loop. False when WM_QUIT came; loops that end otherwise pass it on to the loop outside.
bool Pump(Until until, HWND window, int& exitCode) {
    MSG msg{};
    for (int taken = 0;; ++taken) {
        if (until == Until::kWindowGone && !IsWindow(window))
            return true;
        if (until == Until::kQueueEmpty) {
            if (taken >= kDoEventsLimit || !PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                return true;
        } else if (GetMessageW(&msg, nullptr, 0, 0) == -1) {
            return true;  // only an invalid filter fails; there is none
        }
        if (msg.message == WM_QUIT) {
            exitCode = static_cast<int>(msg.wParam);
            if (until != Until::kQuit)
                PostQuitMessage(exitCode);
            return false;
        }
        if (g_preTranslate.Offer(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

BOOL CALLBACK CollectEnabled(HWND window, LPARAM param) {
    if (IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

}  // namespace

int AddPreTranslator(std::function<bool(MSG&)> translator) {
    return g_preTranslate.Add(std::move(translator));
}

void RemovePreTranslator(int id) {
    g_preTranslate.Remove(id);
}

int AddDialogNavigation(HWND dialog) {
    return AddPreTranslator([dialog](MSG& msg) {
        return IsWindow(dialog) && (msg.hwnd == dialog || IsChild(dialog, msg.hwnd)) && IsDialogMessageW(dialog, &msg);
    });
}

std::vector<HWND> EnabledThreadWindows() {
    std::vector<HWND> windows;
    (void)EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&windows));  // all of them
    return windows;
}

int RunMessageLoop() {
    int exitCode = 0;
    (void)Pump(Until::kQuit, nullptr, exitCode);
    return exitCode;
}

void RunModal(HWND window) {
    std::vector<HWND> disabled;
    for (HWND other : EnabledThreadWindows()) {
        if (other != window) {
            (void)EnableWindow(other, FALSE);  // returns the previous state
            disabled.push_back(other);
        }
    }
    int exitCode = 0;
    (void)Pump(Until::kWindowGone, window, exitCode);
    for (HWND other : disabled) {
        if (IsWindow(other))
            (void)EnableWindow(other, TRUE);
    }
}

bool DoEvents() {
    int exitCode = 0;
    return Pump(Until::kQueueEmpty, nullptr, exitCode);
}

}  // namespace vitrell

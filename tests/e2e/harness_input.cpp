// The harness (tests/e2e/harness.h): real input, as the user gives it.
#include "tests/e2e/harness.h"

#include "tests/e2e/harness_internal.h"

namespace vitrell::e2e {

namespace {

bool SendInputs(INPUT* inputs, UINT count) {
    return SendInput(count, inputs, sizeof(INPUT)) == count;
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

}  // namespace

// ---- Real input ----------------------------------------------------------------------------------------------

namespace {
bool ClicksAt(POINT p, bool right, int clicks) {
    if (!MoveCursor(p))
        return false;
    // The click carries its own position: without one it can land where the cursor was a moment before,
    // since the new place reaches the input queue later than GetCursorPos reports it (seen under load).
    const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT inputs[4] = {};
    for (int i = 0; i < 2 * clicks; ++i) {
        INPUT& in = inputs[i];
        in.type = INPUT_MOUSE;
        in.mi.dx = MulDiv(p.x, 65535, w);
        in.mi.dy = MulDiv(p.y, 65535, h);
        const bool down = i % 2 == 0;
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE |
                        (right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                               : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP));
    }
    return SendInputs(inputs, static_cast<UINT>(2 * clicks));
}
}  // namespace

bool ClickAt(POINT p, bool right) {
    return ClicksAt(p, right, 1);
}

bool DoubleClickAt(POINT p) {
    return ClicksAt(p, false, 2);
}

bool KeyDown(WORD vk) {
    INPUT in = KeyInput(vk, false);
    return SendInputs(&in, 1);
}

bool KeyUp(WORD vk) {
    INPUT in = KeyInput(vk, true);
    return SendInputs(&in, 1);
}

bool PressKey(WORD vk) {
    INPUT inputs[2] = {KeyInput(vk, false), KeyInput(vk, true)};
    return SendInputs(inputs, 2);
}

bool BringToFront(HWND window) {
    return WaitUntil(
        [&] {
            (void)SetForegroundWindow(window);  // the answer below decides
            return GetForegroundWindow() == window;
        },
        2000, "a window of VITRELL to come to the front");
}

bool ChooseFromMenus(DWORD pid, std::initializer_list<WORD> keys) {
    int shown = 0;
    if (!WaitUntil([&] { return (shown = VisiblePopupMenus(pid)) > 0; }, 3000, "a pop-up menu to choose from"))
        return false;
    for (const WORD* key = keys.begin(); key != keys.end(); ++key) {
        if (!PressKey(*key))
            return false;
        ++shown;
        if (key + 1 != keys.end() &&
            !WaitUntil([&] { return VisiblePopupMenus(pid) >= shown; }, 3000, "a sub-menu to open"))
            return false;
    }
    return true;
}

bool ChooseFromTrayMenu(DWORD pid, HWND picture, std::initializer_list<WORD> keys) {
    // The shell's callback reaches the icon's window as a mouse move whose x is the mouse message.
    return PostMessageW(picture, WM_MOUSEMOVE, kTrayIconId, MAKELPARAM(WM_LBUTTONUP, 0)) && ChooseFromMenus(pid, keys);
}

bool HoldKeysSteady(std::initializer_list<WORD> keys, DWORD steadyMs, DWORD timeoutMs) {
    ULONGLONG downSince = 0;
    return WaitHoldingKeys(
        keys,
        [&] {
            for (WORD key : keys) {
                if ((GetAsyncKeyState(key) & 0x8000) == 0) {
                    downSince = 0;
                    return false;
                }
            }
            const ULONGLONG now = GetTickCount64();
            if (downSince == 0)
                downSince = now;
            return now - downSince >= steadyMs;
        },
        timeoutMs, "the held keys to stay down");
}

}  // namespace vitrell::e2e

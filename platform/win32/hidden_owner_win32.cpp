#include "platform/win32/hidden_owner_win32.h"

namespace vitrell {

namespace {
constexpr wchar_t kHiddenOwnerClass[] = L"VITRELL.Owner";
}  // namespace

HiddenOwner::~HiddenOwner() {
    Destroy();
}

bool HiddenOwner::Create(HINSTANCE instance, const wchar_t* caption, HICON icon, std::function<void()> onClose) {
    onClose_ = std::move(onClose);
    if (!BaseWindow::Create(instance, 0, caption, WS_POPUP, RECT{}, nullptr))
        return false;
    // The icon shows where Windows lists the owner of a window (Alt+Tab).
    if (icon)
        (void)SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));  // returns the old icon
    return true;
}

void HiddenOwner::Destroy() {
    if (hwnd_)
        (void)DestroyWindow(hwnd_);  // ours and alive; it fails for nothing else
}

WindowClass HiddenOwner::ClassInfo() const {
    return WindowClass{kHiddenOwnerClass};
}

LRESULT HiddenOwner::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        if (onClose_)
            onClose_();
        return 0;  // it goes with the window it owns, never on its own
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace vitrell

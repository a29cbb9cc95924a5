#include "mainwin/tray_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include "core/product.h"
#include "platform/win32/handles.h"

namespace vitrell {

bool TrayIcon::Create(HINSTANCE instance, HWND parent, int id, HICON icon, std::function<void(float)> onMouseMove) {
    icon_ = icon;
    onMouseMove_ = std::move(onMouseMove);
    return BaseWindow::Create(instance, 0, nullptr, WS_CHILD | WS_VISIBLE, RECT{}, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}

WindowClass TrayIcon::ClassInfo() const {
    return WindowClass{kPictureClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
}

LRESULT TrayIcon::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_MOUSEMOVE:
            // The tray's callback: X carries the mouse message number.
            if (onMouseMove_)
                onMouseMove_(static_cast<float>(static_cast<short>(LOWORD(lParam))));
            return 0;
        case WM_PAINT: {
            const PaintDc dc(hwnd_);
            if (dc && icon_)
                (void)DrawIconEx(dc.get(), 0, 0, icon_, 0, 0, 0, nullptr, DI_NORMAL);  // never seen
            return 0;
        }
        default:
            return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
}

void TrayIcon::Notify(TrayMessage message) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;  // the size Windows 2000 and XP accept
    data.hWnd = hwnd_;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_MOUSEMOVE;
    data.hIcon = icon_;
    kTrayTip.copy(data.szTip, std::min(kTrayTip.size(), std::size(data.szTip) - 1));
    const DWORD op = message == TrayMessage::Add ? NIM_ADD : message == TrayMessage::Modify ? NIM_MODIFY : NIM_DELETE;
    (void)Shell_NotifyIconW(op, &data);  // no notification area: the program runs on without the icon
}

}  // namespace vitrell

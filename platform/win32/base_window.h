#pragma once
// A window is a C++ object: the window procedure finds it through GWLP_USERDATA, set at WM_NCCREATE
// and cleared at WM_NCDESTROY, and forwards to T::HandleMessage.
#include <windows.h>

namespace vitrell {

template <typename T>
class BaseWindow {
public:
    HWND Window() const { return hwnd_; }

protected:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        T* self = nullptr;
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            self = static_cast<T*>(create->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (!self)
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        const LRESULT result = self->HandleMessage(msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    HWND hwnd_ = nullptr;
};

}  // namespace vitrell

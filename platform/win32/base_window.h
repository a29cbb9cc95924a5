#pragma once
// A window is a C++ object: the window procedure finds it through GWLP_USERDATA, set at WM_NCCREATE and cleared at
// WM_NCDESTROY, and forwards to T::HandleMessage. Its class registers itself the first time such a window is made,
// from T::ClassInfo(): the class name, cursor, background and icons.
#include <windows.h>

namespace vitrell {

struct WindowClass {
    const wchar_t* name = nullptr;
    HCURSOR cursor = nullptr;     // a shared system cursor or one the window keeps; null: the arrow
    HBRUSH background = nullptr;  // null: the window paints its whole background itself
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
};

// Registers the class once per process; true when it is registered, now or before.
bool RegisterWindowClass(HINSTANCE instance, const WindowClass& wc, WNDPROC procedure);

// Creates a top-level window of `className` whose client area is `clientPixels`, centred on the screen.
HWND CreateCentred(HINSTANCE instance,
                   DWORD exStyle,
                   const wchar_t* className,
                   const wchar_t* caption,
                   DWORD style,
                   SIZE clientPixels,
                   HWND owner,
                   void* object);

template <typename T>
class BaseWindow {
  public:
    HWND Window() const { return hwnd_; }

  protected:
    // Registers T's class when needed and makes the window; null when the system refused.
    HWND Create(HINSTANCE instance,
                DWORD exStyle,
                const wchar_t* caption,
                DWORD style,
                RECT place,
                HWND parent,
                HMENU menuOrId = nullptr) {
        const WindowClass wc = static_cast<T*>(this)->ClassInfo();
        if (!RegisterWindowClass(instance, wc, WindowProc))
            return nullptr;
        return CreateWindowExW(exStyle, wc.name, caption, style, place.left, place.top, place.right - place.left,
                               place.bottom - place.top, parent, menuOrId, instance, static_cast<T*>(this));
    }
    // The same, centred on the screen with a client area of `clientPixels`.
    HWND CreateCentredWindow(HINSTANCE instance,
                             DWORD exStyle,
                             const wchar_t* caption,
                             DWORD style,
                             SIZE clientPixels,
                             HWND owner) {
        const WindowClass wc = static_cast<T*>(this)->ClassInfo();
        if (!RegisterWindowClass(instance, wc, WindowProc))
            return nullptr;
        return CreateCentred(instance, exStyle, wc.name, caption, style, clientPixels, owner, static_cast<T*>(this));
    }

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

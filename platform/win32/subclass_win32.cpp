#include "platform/win32/subclass_win32.h"

namespace vitrell {

namespace {
constexpr wchar_t kOriginalProcedure[] = L"VITRELL.OriginalProcedure";
}  // namespace

bool Subclass(HWND control, WNDPROC procedure) {
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
    if (!original || !SetPropW(control, kOriginalProcedure, reinterpret_cast<HANDLE>(original)))
        return false;
    if (!SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure))) {
        (void)RemovePropW(control, kOriginalProcedure);  // nothing was changed
        return false;
    }
    return true;
}

LRESULT CallOriginal(HWND control, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropW(control, kOriginalProcedure));
    if (!original)
        return DefWindowProcW(control, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        // The control is going: it ends with its own procedure, which frees what it holds.
        (void)SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        (void)RemovePropW(control, kOriginalProcedure);
    }
    return CallWindowProcW(original, control, msg, wParam, lParam);
}

}  // namespace vitrell

#include "platform/win32/scaled_window_win32.h"

#include "platform/win32/fonts_win32.h"

namespace vitrell {

DpiChange ReadDpiChange(WPARAM wParam, LPARAM lParam) {
    const int x = LOWORD(wParam);
    const int y = HIWORD(wParam);
    const RECT* r = reinterpret_cast<const RECT*>(lParam);
    DpiChange change;
    change.dpi = Dpi{x > 0 ? x : 96, y > 0 ? y : 96};
    if (r)
        change.suggested = PixelRect{r->left, r->top, r->right, r->bottom};
    return change;
}

void ScaledWindowWin32::SetOuterRect(const PixelRect& outer) {
    // A refused move leaves the window where it was; its layout follows the DPI either way.
    (void)SetWindowPos(window_, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

void ScaledWindowWin32::PlacePart(int id, const PixelRect& place) {
    (void)SetWindowPos(GetDlgItem(window_, id), nullptr, place.left, place.top, place.right - place.left,
                       place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);  // a missing part stays missing
}

ObjectHandle ScaledWindowWin32::MakeFont(const FontSpec& spec, int dpi, std::wstring_view text) {
    return reinterpret_cast<ObjectHandle>(vitrell::MakeFont(spec, dpi, text).release());
}

void ScaledWindowWin32::SetPartFont(int id, ObjectHandle font) {
    if (HWND part = GetDlgItem(window_, id))
        SendMessageW(part, WM_SETFONT, static_cast<WPARAM>(font), FALSE);  // the repaint comes after the layout
}

void ScaledWindowWin32::FreeFont(ObjectHandle font) {
    (void)DeleteObject(reinterpret_cast<HGDIOBJ>(font));  // no control holds it any more
}

void ScaledWindowWin32::FreeImage(ObjectHandle image) {
    (void)DestroyIcon(AsIcon(image));
}

void ScaledWindowWin32::Repaint() {
    (void)RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace vitrell

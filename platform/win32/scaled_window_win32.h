#pragma once
// The Windows side of DpiScaler for a window whose parts are its child windows by control id and whose images are
// icons: each window adds only what is its own (which icons, where it shows them, what it derives from its layout).
#include <windows.h>

#include "platform/dpi_scaler.h"

namespace vitrell {

// WM_DPICHANGED, which the headers of Windows 2000 and XP do not name.
inline constexpr UINT kWmDpiChanged = 0x02E0;

// What WM_DPICHANGED brings: the new DPI and the rectangle the system suggests for the window.
struct DpiChange {
    Dpi dpi;
    PixelRect suggested;
};
DpiChange ReadDpiChange(WPARAM wParam, LPARAM lParam);

class ScaledWindowWin32 : public IScaledWindow {
  public:
    void Attach(HWND window) { window_ = window; }

    void SetOuterRect(const PixelRect& outer) override;
    void PlacePart(int id, const PixelRect& place) override;
    ObjectHandle MakeFont(const FontSpec& spec, int dpi, std::wstring_view text) override;
    void SetPartFont(int id, ObjectHandle font) override;
    ObjectHandle MakeImage(int, Dpi) override { return 0; }
    void UseImage(int, ObjectHandle) override {}
    void FreeFont(ObjectHandle font) override;
    void FreeImage(ObjectHandle image) override;
    void Repaint() override;

    static HFONT AsFont(ObjectHandle font) { return reinterpret_cast<HFONT>(font); }
    static HICON AsIcon(ObjectHandle image) { return reinterpret_cast<HICON>(image); }
    static ObjectHandle Own(HICON icon) { return reinterpret_cast<ObjectHandle>(icon); }

  protected:
    ~ScaledWindowWin32() override = default;
    HWND window_ = nullptr;
};

}  // namespace vitrell

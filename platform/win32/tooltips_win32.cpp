#include "platform/win32/tooltips_win32.h"

// after windows.h, which it needs
#include <commctrl.h>

namespace vitrell {

void Tooltips::Create(HINSTANCE instance, HWND owner, DWORD exStyle) {
    owner_ = owner;
    tips_ = CreateWindowExW(exStyle, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
}

void Tooltips::AddForControl(HWND control, std::wstring_view text) {
    if (!tips_ || !control)
        return;
    texts_.emplace_back(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = texts_.back().data();
    (void)SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Tooltips::AddForArea(UINT_PTR id, const RECT& area, std::wstring_view text) {
    if (!tips_)
        return;
    texts_.emplace_back(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = owner_;
    tool.uId = id;
    tool.rect = area;
    tool.lpszText = texts_.back().data();
    (void)SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Tooltips::MoveArea(UINT_PTR id, const RECT& area) {
    if (!tips_)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = owner_;
    tool.uId = id;
    tool.rect = area;
    (void)SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace vitrell

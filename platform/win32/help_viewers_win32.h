#pragma once
#include <windows.h>

#include "platform/help_viewers.h"

namespace vitrell {

// WinHelp from user32; HTML Help from the system folder's hhctrl.ocx, loaded when first needed and kept for the
// life of the process (its viewer windows run on its code).
class Win32HelpViewers final : public IHelpViewers {
  public:
    OsVersion RealVersion() override;
    bool FileExists(const std::wstring& path) override;
    bool HtmlHelpLoadable() override;
    void CallWinHelp(WindowHandle owner, const std::wstring& file, std::uint32_t command, std::uintptr_t data) override;
    void CallHtmlHelp(WindowHandle owner, const std::wstring& file, std::uint32_t command) override;

  private:
    using HtmlHelpCall = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    HtmlHelpCall htmlHelp_ = nullptr;
    bool loadTried_ = false;
};

}  // namespace vitrell

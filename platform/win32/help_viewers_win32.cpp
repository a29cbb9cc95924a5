#include "platform/win32/help_viewers_win32.h"

#include "platform/win32/system_info_win32.h"

namespace vitrell {

OsVersion Win32HelpViewers::RealVersion() {
    return vitrell::RealVersion();
}

bool Win32HelpViewers::FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32HelpViewers::HtmlHelpLoadable() {
    if (loadTried_)
        return htmlHelp_ != nullptr;
    loadTried_ = true;
    // By its full path: a hhctrl.ocx planted in the program's or the current folder is never the one loaded.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const std::wstring path = std::wstring(folder, length) + L"\\hhctrl.ocx";
    if (const HMODULE module = LoadLibraryW(path.c_str()))
        htmlHelp_ = reinterpret_cast<HtmlHelpCall>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW")));
    return htmlHelp_ != nullptr;
}

void Win32HelpViewers::CallWinHelp(WindowHandle owner,
                                   const std::wstring& file,
                                   std::uint32_t command,
                                   std::uintptr_t data) {
    (void)WinHelpW(reinterpret_cast<HWND>(owner), file.c_str(), command, data);  // the viewer reports its failures
}

void Win32HelpViewers::CallHtmlHelp(WindowHandle owner, const std::wstring& file, std::uint32_t command) {
    if (htmlHelp_)  // the viewer reports a file it cannot open itself
        (void)htmlHelp_(reinterpret_cast<HWND>(owner), file.empty() ? nullptr : file.c_str(), command, 0);
}

}  // namespace vitrell

// Takes a picture of each window of VITRELL.exe as the user meets them: the splash, the main window, the settings
// dialog and the version box, each saved as NAME.bmp in a folder. Run by scripts/screenshots.sh under Wine.
// usage: shoot.exe VITRELL_EXE FOLDER
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/product.h"

namespace {

// The first visible top-level window of `className` within `ms`; null when none came.
HWND WaitForWindow(const wchar_t* className, DWORD ms) {
    for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end; Sleep(50)) {
        HWND window = FindWindowW(className, nullptr);
        if (window && IsWindowVisible(window))
            return window;
    }
    std::fprintf(stderr, "shoot: no window of class %ls within %lu ms\n", className, static_cast<unsigned long>(ms));
    return nullptr;
}

bool WaitGone(HWND window, DWORD ms) {
    for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end; Sleep(50)) {
        if (!IsWindow(window))
            return true;
    }
    return false;
}

// What the screen shows of a window's outer rectangle, as a 24-bit BMP.
bool Save(HWND window, const std::wstring& path) {
    Sleep(700);  // its first paint, and the compositor's
    RECT r{};
    if (!GetWindowRect(window, &r))
        return false;
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
    GdiFlush();
    const DWORD stride = ((w * 3 + 3) / 4) * 4;
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    const BITMAPFILEHEADER file{0x4D42, offset + stride * h, 0, 0, offset};
    bool written = false;
    if (FILE* out = _wfopen(path.c_str(), L"wb")) {
        written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                  std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                  std::fwrite(bits, stride * h, 1, out) == 1;
        written = std::fclose(out) == 0 && written;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::printf("%ls: %d x %d\n", path.c_str(), w, h);
    return copied && written;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: shoot.exe VITRELL_EXE FOLDER\n");
        return 2;
    }
    const std::wstring exe = argv[1], folder = std::wstring(argv[2]) + L"\\";
    std::wstring commandLine = L"\"" + exe + L"\"";
    const std::wstring directory = exe.substr(0, exe.find_last_of(L"\\/"));
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                        &startup, &process)) {
        std::fprintf(stderr, "shoot: could not start %ls\n", exe.c_str());
        return 1;
    }
    (void)SetCursorPos(0, 0);  // no tooltip in the pictures
    bool ok = true;
    if (HWND splash = WaitForWindow(vitrell::kSplashClass, 15000))
        ok = Save(splash, folder + L"splash.bmp") && ok;
    else
        ok = false;
    HWND main = WaitForWindow(vitrell::kMainWindowClass, 15000);
    ok = main && Save(main, folder + L"main.bmp") && ok;
    // A window the main window's command opens, pictured and closed again.
    const auto shootOpened = [&](WPARAM command, const wchar_t* className, const wchar_t* name) {
        PostMessageW(main, WM_COMMAND, command, 0);
        HWND window = WaitForWindow(className, 5000);
        if (!window)
            return false;
        const bool saved = Save(window, folder + name);
        PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitGone(window, 5000) && saved;
    };
    ok = main && shootOpened(vitrell::kCmdOptSettei, vitrell::kSettingsDialogClass, L"settings.bmp") && ok;
    ok = main && shootOpened(vitrell::kCmdHelpAbout, vitrell::kVersionBoxClass, L"version.bmp") && ok;
    TerminateProcess(process.hProcess, 0);  // the pictures are taken; how it ends is the tests' affair
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ok ? 0 : 1;
}

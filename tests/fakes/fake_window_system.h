#pragma once
// Windows as plain records: a cursor, what lies under it, and every call the engine makes; and the help viewers.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/help.h"
#include "platform/window_system.h"

namespace vitrell::testing {

class FakeWindowSystem final : public IWindowSystem {
  public:
    struct Window {
        std::uint32_t style = 0;
        std::uint32_t exStyle = 0;
        std::optional<std::uint8_t> alpha;   // what SetLayeredWindowAttributes gave it
        bool answers = true;                 // its thread takes messages
        bool styleWrittenWhileHung = false;  // a real program would have waited on it here
        int styleWrites = 0;
    };

    bool GetCursorPos(ScreenPoint& point) override {
        ++calls;
        point = cursor;
        return cursorAvailable;
    }
    WindowHandle WindowFromPoint(ScreenPoint) override {
        ++calls;
        return underCursor;
    }
    std::uint32_t ReadWindowLong(WindowHandle w, int index) override {
        ++calls;
        const auto it = windows.find(w);
        if (it == windows.end())
            return 0;
        return index == kGwlStyle ? it->second.style : it->second.exStyle;
    }
    void WriteWindowLong(WindowHandle w, int index, std::uint32_t value) override {
        ++calls;
        if (auto it = windows.find(w); it != windows.end() && index == kGwlExStyle) {
            it->second.styleWrittenWhileHung |= !it->second.answers;
            ++it->second.styleWrites;
            it->second.exStyle = value;
        }
    }
    LayeredAttributes QueryLayeredAttributes(WindowHandle w) override {
        ++calls;
        if (!canQueryAttributes)
            return LayeredAttributes::kUnknown;
        const auto it = windows.find(w);
        return it != windows.end() && it->second.alpha ? LayeredAttributes::kSet : LayeredAttributes::kNone;
    }
    void SetLayeredWindowAttributes(WindowHandle w, std::uint32_t, std::uint8_t alpha, std::uint32_t flags) override {
        ++calls;
        if (auto it = windows.find(w); it != windows.end() && (it->second.exStyle & kWsExLayered) && flags == kLwaAlpha)
            it->second.alpha = alpha;
    }
    bool Answers(WindowHandle w) override {
        ++calls;
        const auto it = windows.find(w);
        return it == windows.end() || it->second.answers;
    }

    ScreenPoint cursor;
    bool cursorAvailable = true;
    bool canQueryAttributes = true;  // false: a Windows without GetLayeredWindowAttributes
    WindowHandle underCursor = 0;
    std::map<WindowHandle, Window> windows;
    int calls = 0;
};

// A system with its version, its files and its help viewers; every viewer call is kept with its owner.
class FakeHelpViewers final : public IHelpViewers {
  public:
    OsVersion RealVersion() override { return version; }
    bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
    bool HtmlHelpLoadable() override {
        ++loads;
        return htmlHelpLoads;
    }
    void CallWinHelp(WindowHandle owner, const std::wstring& file, std::uint32_t cmd, std::uintptr_t data) override {
        calls.push_back({HelpViewer::kWinHelp, file, cmd, data});
        owners.push_back(owner);
    }
    void CallHtmlHelp(WindowHandle owner, const std::wstring& file, std::uint32_t cmd) override {
        calls.push_back({HelpViewer::kHtmlHelp, file, cmd, 0});
        owners.push_back(owner);
    }

    OsVersion version{2, 10, 0};
    std::set<std::wstring> files;
    bool htmlHelpLoads = true;
    int loads = 0;
    std::vector<HelpCall> calls;
    std::vector<WindowHandle> owners;
};

}  // namespace vitrell::testing

#pragma once
// The main window's view, toolbar and tray as plain records; every call is logged in order.
#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mainwin/main_window_view.h"

namespace vitrell::testing {

// One log shared by the three fakes, so tests can check the order across them.
using CallLog = std::vector<std::string>;

inline std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

inline std::string Num(double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s;
}

class FakeMainWindowView final : public IMainWindowView {
  public:
    explicit FakeMainWindowView(CallLog& log) : log_(log) {}

    void SetMenuBarVisible(bool visible) override {
        menuBarVisible = visible;
        log_.push_back("menu:" + std::to_string(visible));
    }
    void SetHeight(double twips) override {
        rect.height = twips;
        log_.push_back("height:" + Num(twips));
    }
    void SetWidth(double twips) override {
        rect.width = twips;
        log_.push_back("width:" + Num(twips));
    }
    void SetTop(double twips) override {
        rect.top = twips;
        log_.push_back("top:" + Num(twips));
    }
    void SetLeft(double twips) override {
        rect.left = twips;
        log_.push_back("left:" + Num(twips));
    }
    RectTwips WindowRect() override { return rect; }
    MonitorList Monitors() override { return monitors; }
    WindowBars MeasureBars(double widthTwips) override {
        barsWidth = widthTwips;
        return bars;
    }
    int SmallIconPixels() override { return smallIcon; }
    void SetTopmost(bool value) override {
        topmost = value;
        log_.push_back("topmost:" + std::to_string(value));
    }
    void SetShowHideEnabled(int index, bool value) override {
        enabled.at(index) = value;
        log_.push_back("enable" + std::to_string(index) + ":" + std::to_string(value));
    }
    void Show() override {
        visible = true;
        log_.push_back("show");
    }
    void Hide() override {
        visible = false;
        log_.push_back("hide");
    }
    void Unload() override {
        unloaded = true;
        log_.push_back("unload");
    }
    void SetTrackingInterval(std::uint32_t ms) override {
        interval = ms;
        log_.push_back("interval:" + std::to_string(ms));
    }
    void InstallSystemMenuHook() override { log_.push_back("hook"); }
    void DoEvents() override {
        log_.push_back("doevents");
        if (onDoEvents)
            onDoEvents();
    }
    bool KeyDown(int key) override { return keysDown.count(key) != 0; }
    bool AskOkCancel(std::wstring_view text, std::wstring_view title) override {
        ++asks;
        lastText = text;
        lastTitle = title;
        log_.push_back("ask");
        if (onAsk)
            onAsk();
        return answerOk;
    }
    void ShowExclamation(std::wstring_view text, std::wstring_view title) override {
        ++exclamations;
        lastText = text;
        lastTitle = title;
        log_.push_back("exclamation");
        if (onExclamation)
            onExclamation();
    }
    WindowHandle HelpOwner() override { return kOwner; }
    void PopupMainMenu() override { log_.push_back("popup"); }
    void ShowSettingsDialog(bool modal) override { log_.push_back(modal ? "settings:modal" : "settings:modeless"); }
    void CloseSettingsDialog() override { log_.push_back("close-settings"); }
    void ShowVersionBox() override { log_.push_back("version-box"); }
    std::wstring OSName() override {
        ++osQueries;
        return os;
    }
    std::wstring AppearanceScheme() override {
        ++schemeQueries;
        return scheme;
    }

    RectTwips rect{1000, 2000, 1830, 1140};
    MonitorList monitors{{0, 0, 19200, 14400}};
    WindowBars bars;  // the table holds unless a test says otherwise
    double barsWidth = 0;
    int smallIcon = 16;
    bool menuBarVisible = true;
    bool topmost = false;
    std::vector<bool> enabled{false, true};
    bool visible = true;
    bool unloaded = false;
    std::uint32_t interval = 0;
    std::set<int> keysDown;
    bool answerOk = true;
    int asks = 0;
    int exclamations = 0;
    int osQueries = 0;
    int schemeQueries = 0;
    static constexpr WindowHandle kOwner = 0x1001;
    std::wstring lastText, lastTitle;
    std::wstring os = L"Windows XP";
    std::wstring scheme;
    std::function<void()> onAsk, onExclamation, onDoEvents;

  private:
    CallLog& log_;
};

class FakeToolbar final : public IToolbar {
  public:
    explicit FakeToolbar(CallLog& log) : log_(log) {}

    void RemoveAllButtons() override {
        buttons.clear();
        log_.push_back("tb:remove-all");
    }
    void DetachImageList() override {
        attached = false;
        log_.push_back("tb:detach");
    }
    void ClearImages() override {
        images.clear();
        log_.push_back("tb:clear");
    }
    void SetImageSize(int w, int h) override {
        log_.push_back("tb:size:" + std::to_string(w) + "x" + std::to_string(h));
    }
    void AddImage(std::wstring_view file) override {
        images.emplace_back(file);
        log_.push_back("tb:image:" + Narrow(file));
    }
    void AttachImageList() override {
        attached = true;
        log_.push_back("tb:attach");
    }
    void AddButton(int slot, std::wstring_view key, std::wstring_view tip) override {
        buttons.push_back(slot);
        keys[slot] = key;
        tips[slot] = tip;
        log_.push_back("tb:button:" + std::to_string(slot));
    }
    void SetButtonTip(int slot, std::wstring_view tip) override {
        if (std::find(buttons.begin(), buttons.end(), slot) != buttons.end())
            tips[slot] = tip;
    }
    void SetDisplayOptions() override { log_.push_back("tb:options"); }
    void Restore() override { log_.push_back("tb:restore"); }
    void Save() override { log_.push_back("tb:save"); }
    void Customize() override {
        log_.push_back("tb:customize");
        if (onCustomize)
            onCustomize();  // what runs while the dialog's loop does
        log_.push_back("tb:customize-returned");
    }
    void EndCustomize() override { log_.push_back("tb:end-customize"); }

    std::vector<int> buttons;  // slots in toolbar order
    std::map<int, std::wstring> keys, tips;
    std::vector<std::wstring> images;
    bool attached = false;
    std::function<void()> onCustomize;

  private:
    CallLog& log_;
};

class FakeTray final : public ITray {
  public:
    explicit FakeTray(CallLog& log) : log_(log) {}
    void Notify(TrayMessage message) override {
        messages.push_back(message);
        log_.push_back("tray:" + std::to_string(static_cast<int>(message)));
    }
    std::vector<TrayMessage> messages;

  private:
    CallLog& log_;
};

}  // namespace vitrell::testing

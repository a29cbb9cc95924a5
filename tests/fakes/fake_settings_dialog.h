#pragma once
// The settings dialog's window and the main window as one ordered log of what the dialog asked of them.
#include <string>
#include <vector>

#include "core/text.h"
#include "settings_dialog/settings_dialog.h"

namespace vitrell::testing {

using EventLog = std::vector<std::wstring>;

class FakeDialogView final : public ISettingsDialogView {
  public:
    explicit FakeDialogView(EventLog& log) : log_(log) {}

    void ShowExclamation(std::wstring_view text, std::wstring_view title) override {
        log_.push_back(L"box " + std::wstring(title));
        texts.push_back(std::wstring(text));
    }
    WindowHandle HelpOwner() override { return kOwner; }
    void Unload() override { log_.push_back(L"unload"); }
    void ShowCheck(int index, bool checked) override {
        log_.push_back(L"check " + std::to_wstring(index) + (checked ? L" 1" : L" 0"));
    }
    void ShowTab(int tab) override { log_.push_back(L"tab " + std::to_wstring(tab)); }
    void ShowSpinner(int index, int value) override {
        log_.push_back(L"spin " + std::to_wstring(index) + L" " + std::to_wstring(value));
    }
    void ShowLabel(int index, std::wstring_view caption) override {
        log_.push_back(L"label " + std::to_wstring(index) + L" " + std::wstring(caption));
    }

    static constexpr WindowHandle kOwner = 0x2002;
    std::vector<std::wstring> texts;

  private:
    EventLog& log_;
};

class FakeSettingsHost final : public ISettingsHost {
  public:
    explicit FakeSettingsHost(EventLog& log) : log_(log) {}

    void ApplyWindowLayout(bool toolbarShown, bool menuBarShown) override {
        log_.push_back(std::wstring(L"layout toolbar=") + (toolbarShown ? L"1" : L"0") + L" menu=" +
                       (menuBarShown ? L"1" : L"0"));
        // The layout gives the window the height of its row, as the main window does.
        window.height = toolbarShown ? tallHeight : lowHeight;
    }
    RectTwips MainWindowRect() override { return window; }
    void MoveMainWindow(double left, double top) override {
        log_.push_back(L"move " + NumberText(left) + L" " + NumberText(top));
        window.left = left;
        window.top = top;
    }
    RectTwips MainWindowMonitor() override { return monitor; }
    void CustomizeToolbar() override { log_.push_back(L"customize"); }
    void SaveToolbar() override { log_.push_back(L"save toolbar"); }

    RectTwips window{300, 450, 1640, 1000};
    RectTwips monitor{0, 0, 15360, 11520};
    double tallHeight = 1000;
    double lowHeight = 620;

  private:
    EventLog& log_;
};

}  // namespace vitrell::testing

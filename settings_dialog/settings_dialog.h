#pragma once
// The settings dialog SETTEI: its control values, the rules that tie them together, and the routines
// that store and apply them. The Win32 window behind it only creates controls and routes messages here.
#include <array>
#include <string>
#include <string_view>

#include "core/app_context.h"
#include "core/help_topics.h"
#include "core/product.h"
#include "settings_dialog/settings_host.h"

namespace vitrell {

inline constexpr int kBoxCount = 8;
inline constexpr int kSpinnerCount = 3;
inline constexpr int kTabCount = 2;

inline constexpr int kBoxMenuBar = 4;
inline constexpr int kBoxToolbar = 5;

enum class CommandButton { Ok = 0, Cancel = 1, Apply = 2, Help = 3 };

struct SpinnerRange {
    int min;
    int max;
};
inline constexpr std::array<SpinnerRange, kSpinnerCount> kSpinnerRanges = {{{1, 30}, {0, 100}, {0, 100}}};

// What the dialog reaches in its own window: the real controls and the system's boxes.
class ISettingsDialogView {
  public:
    virtual ~ISettingsDialogView() = default;
    // A message box with an OK button only and the exclamation icon; returns when it is closed.
    virtual void ShowExclamation(std::wstring_view text, std::wstring_view title) = 0;
    virtual WindowHandle HelpOwner() = 0;  // the dialog's own window
    virtual void Unload() = 0;
    // The dialog changed a value: the real control follows.
    virtual void ShowCheck(int index, bool checked) = 0;
    virtual void ShowTab(int tab) = 0;
    virtual void ShowSpinner(int index, int value) = 0;
    virtual void ShowLabel(int index, std::wstring_view caption) = 0;
};

class SettingsDialog {
  public:
    SettingsDialog(AppContext& app, ISettingsHost& host, ISettingsDialogView& view)
        : app_(app), host_(host), view_(view) {}

    // Handlers, named as the form's events.
    void Form_Load();
    void Check1_Click(int index);
    void UpDown1_Change(int index);
    void Command3_Click();
    void Command2_Click();
    void Command1_Click(int index);
    void ApplyEnvSettings();
    void SaveInitSettings();

    // Setting a value, by the user or by code, raises the control's event when the value changes.
    void SetCheck(int index, bool checked);
    void SetSpinner(int index, int value);
    void SetTab(int tab);

    bool Check(int index) const { return checks_.at(static_cast<size_t>(index)); }
    int Spinner(int index) const { return spinners_.at(static_cast<size_t>(index)); }
    const std::wstring& Label(int index) const { return labels_.at(static_cast<size_t>(index)); }
    int Tab() const { return tab_; }
    bool Unloaded() const { return unloaded_; }

    // The value a spinner shows for a stored text: its leading number, a half to the even neighbour,
    // clamped into the spinner's range (an edited registry value must still give a usable dialog).
    static int SpinnerValueFor(int index, std::wstring_view text);
    // The tab a stored OptLATab opens: its number rounded the same way, clamped to the two tabs.
    static int TabFor(std::wstring_view text);

  private:
    std::wstring& BoxSetting(int index);
    // The menu bar and the toolbar are never both off: the two messages, then box 4 comes back on.
    void KeepABarShown();
    void SetLabel(int index, std::wstring_view caption);
    void Unload();

    AppContext& app_;
    ISettingsHost& host_;
    ISettingsDialogView& view_;

    std::array<bool, kBoxCount> checks_{};
    // A freshly created spinner stands at its minimum.
    std::array<int, kSpinnerCount> spinners_{kSpinnerRanges[0].min, kSpinnerRanges[1].min, kSpinnerRanges[2].min};
    std::array<std::wstring, kSpinnerCount> labels_;
    int tab_ = 0;
    bool unloaded_ = false;
};

}  // namespace vitrell

#include "settings_dialog/settings_dialog.h"

#include <algorithm>
#include <cmath>

#include "core/text.h"

namespace vitrell {

namespace {

// Boxes are filled top to bottom as the tab shows them: "ボタン構成の保存" (7) stands above
// "最後のアクティブタブ" (6).
constexpr std::array<int, kBoxCount> kLoadOrder = {0, 1, 2, 3, 4, 5, 7, 6};

int ClampedWhole(std::wstring_view text, int min, int max) {
    // LeadingNumber never yields NaN or an infinity, so the comparison below is well defined.
    const double value = RoundHalfEven(LeadingNumber(text));
    return static_cast<int>(std::clamp(value, static_cast<double>(min), static_cast<double>(max)));
}

bool ValidIndex(int index, int count) {
    return index >= 0 && index < count;
}

}  // namespace

int SettingsDialog::SpinnerValueFor(int index, std::wstring_view text) {
    const SpinnerRange range = kSpinnerRanges.at(static_cast<size_t>(index));
    return ClampedWhole(text, range.min, range.max);
}

int SettingsDialog::TabFor(std::wstring_view text) {
    return ClampedWhole(text, 0, kTabCount - 1);
}

std::wstring& SettingsDialog::BoxSetting(int index) {
    SettingsRecord& s = app_.Settings;
    switch (index) {
        case 0:
            return s.OptLogo;
        case 1:
            return s.OptCent;
        case 2:
            return s.OptTemae;
        case 3:
            return s.OptJib;
        case 4:
            return s.OptMBar;
        case 5:
            return s.OptTBar;
        case 6:
            return s.OptLAct;
        default:
            return s.OptTBar2;
    }
}

void SettingsDialog::SetCheck(int index, bool checked) {
    if (!ValidIndex(index, kBoxCount))
        return;
    const bool changed = checks_[static_cast<size_t>(index)] != checked;
    checks_[static_cast<size_t>(index)] = checked;
    view_.ShowCheck(index, checked);
    if (changed)
        Check1_Click(index);
}

void SettingsDialog::SetSpinner(int index, int value) {
    if (!ValidIndex(index, kSpinnerCount))
        return;
    const SpinnerRange range = kSpinnerRanges[static_cast<size_t>(index)];
    value = std::clamp(value, range.min, range.max);
    const bool changed = spinners_[static_cast<size_t>(index)] != value;
    spinners_[static_cast<size_t>(index)] = value;
    view_.ShowSpinner(index, value);
    if (changed)
        UpDown1_Change(index);
}

void SettingsDialog::SetTab(int tab) {
    tab_ = std::clamp(tab, 0, kTabCount - 1);
    view_.ShowTab(tab_);
}

void SettingsDialog::SetLabel(int index, std::wstring_view caption) {
    labels_[static_cast<size_t>(index)] = caption;
    view_.ShowLabel(index, caption);
}

void SettingsDialog::Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    view_.Unload();
}

void SettingsDialog::Form_Load() {
    for (int index : kLoadOrder)
        SetCheck(index, FlagOn(BoxSetting(index)));
    // A box that kept its state raised no click: a store edited to hide both bars meets the rule here, before
    // OK could store it.
    KeepABarShown();

    SetTab(TabFor(app_.Settings.OptLATab));

    const std::array<const std::wstring*, kSpinnerCount> texts = {&app_.Settings.OptNin, &app_.Settings.OptTou,
                                                                  &app_.Settings.OptTou2};
    for (int i = 0; i < kSpinnerCount; ++i) {
        const std::wstring& text = *texts[static_cast<size_t>(i)];
        SetLabel(i, text);
        SetSpinner(i, SpinnerValueFor(i, text));
        // The spinner may already have stood at that value, raising no change: the read-out must still
        // show the value OK would store, not a fraction or an out-of-range text.
        if (labels_[static_cast<size_t>(i)] != NumberText(spinners_[static_cast<size_t>(i)]))
            UpDown1_Change(i);
    }
}

void SettingsDialog::Check1_Click(int index) {
    SettingsRecord& s = app_.Settings;
    if (index == kBoxMenuBar)
        s.OptMBar = FlagText(Check(kBoxMenuBar));
    else if (index == kBoxToolbar)
        s.OptTBar = FlagText(Check(kBoxToolbar));
    KeepABarShown();
}

void SettingsDialog::KeepABarShown() {
    SettingsRecord& s = app_.Settings;
    // Any text but "1" hides its bar, so an edited one ("", "abc") counts as off here as it does everywhere.
    if (FlagOn(s.OptMBar) || FlagOn(s.OptTBar))
        return;
    view_.ShowExclamation(kBothHiddenText, kBothHiddenTitle);
    view_.ShowExclamation(kForcedText, kForcedTitle);
    SetCheck(kBoxMenuBar, true);
    s.OptMBar = FlagText(Check(kBoxMenuBar));
}

void SettingsDialog::UpDown1_Change(int index) {
    if (!ValidIndex(index, kSpinnerCount))
        return;
    SetLabel(index, NumberText(Spinner(index)));
}

void SettingsDialog::Command3_Click() {
    SetSpinner(1, Spinner(2));
    app_.Settings.OptTou = NumberText(Spinner(2));
    SetLabel(1, app_.Settings.OptTou);
    // Stored at once: the reset is not undone by Cancel.
    app_.Store.WriteSetting(kConfig, L"OptTou", app_.Settings.OptTou);
}

void SettingsDialog::Command2_Click() {
    host_.CustomizeToolbar();
}

void SettingsDialog::Command1_Click(int index) {
    // Clicks queued behind OK or Cancel reach a dialog that has already gone: they do nothing.
    if (unloaded_)
        return;
    switch (static_cast<CommandButton>(index)) {
        case CommandButton::Ok:
            ApplyEnvSettings();
            SaveInitSettings();
            Unload();
            break;
        case CommandButton::Cancel:
            Unload();
            break;
        case CommandButton::Apply:
            if (tab_ == 0)
                ApplyEnvSettings();
            else
                SaveInitSettings();
            break;
        case CommandButton::Help:
            app_.Help.Open(view_.HelpOwner(), app_.HelpFilePath, app_.HtmlHelpFilePath, kHelpContext,
                           tab_ == 0 ? kHelpContextEnvironment : kHelpContextInitial);
            break;
    }
}

void SettingsDialog::ApplyEnvSettings() {
    SettingsRecord& s = app_.Settings;
    SettingsStore& store = app_.Store;

    store.Set(s.OptLogo, kConfig, L"OptLogo", FlagText(Check(0)));

    host_.ApplyWindowLayout(Check(kBoxToolbar), FlagOn(s.OptMBar));
    store.Set(s.OptMBar, kConfig, L"OptMBar", FlagText(Check(kBoxMenuBar)));
    store.Set(s.OptTBar, kConfig, L"OptTBar", FlagText(Check(kBoxToolbar)));

    // Centred for the size the layout has just given the window.
    const RectTwips window = host_.MainWindowRect();
    const bool centre = Check(1) || (window.left == 0 && window.top == 0);
    if (centre) {
        const RectTwips centred = CentredOn(host_.MainWindowMonitor(), window);
        host_.MoveMainWindow(centred.left, centred.top);
    }
    store.Set(s.OptCent, kPosition, L"OptCent", FlagText(Check(1)));

    store.Set(s.OptTemae, kConfig, L"OptTemae", FlagText(Check(2)));
    store.Set(s.OptJib, kConfig, L"OptJib", FlagText(Check(3)));

    store.Set(s.OptTBar2, kConfig, L"OptTBar2", FlagText(Check(7)));
    if (FlagOn(s.OptTBar2))
        host_.SaveToolbar();

    store.Set(s.OptLAct, kConfig, L"OptLAct", FlagText(Check(6)));
    if (FlagOn(s.OptLAct))
        store.Set(s.OptLATab, kConfig, L"OptLATab", NumberText(tab_));
}

void SettingsDialog::SaveInitSettings() {
    SettingsRecord& s = app_.Settings;
    app_.Store.Set(s.OptNin, kConfig, L"OptNin", NumberText(Spinner(0)));
    app_.Store.Set(s.OptTou, kConfig, L"OptTou", NumberText(Spinner(1)));
    app_.Store.Set(s.OptTou2, kConfig, L"OptTou2", NumberText(Spinner(2)));
}

}  // namespace vitrell

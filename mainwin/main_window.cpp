#include "mainwin/main_window.h"

#include <algorithm>

#include "core/text.h"
#include "core/toolbar_tables.h"

namespace vitrell {

namespace {
constexpr double kLevelMin = 0;
constexpr double kLevelMax = 100;
}  // namespace

WindowLayout LayoutFor(bool toolbarShown, bool menuBarShown, std::wstring_view osName, std::wstring_view scheme) {
    const bool xp = osName == kWindowsXP;
    const bool w2000 = osName == kWindows2000;
    const bool classic = scheme.empty();  // consulted on XP only
    if (toolbarShown) {
        // Without the toolbar the menu bar always shows: the window never ends up with neither bar.
        const double height = menuBarShown ? (xp && classic ? 1140 : 1000) : (xp && classic ? 840 : 700);
        return {menuBarShown, height, xp ? 1830.0 : 1810.0};
    }
    if (xp)
        return classic ? WindowLayout{true, 740, 1830} : WindowLayout{true, 620, 1580};
    return {true, 620, w2000 ? 1620.0 : 1640.0};
}

WindowLayout FitToBars(WindowLayout row, bool toolbarShown, const WindowBars& bars) {
    row.heightTwips = bars.nonClient.height + (toolbarShown ? bars.toolbar.height : 0);
    if (toolbarShown)
        row.widthTwips = std::max(row.widthTwips, bars.nonClient.width + bars.toolbar.width);
    return row;
}

MainWindow::MainWindow(AppContext& app, IMainWindowView& view, IToolbar& toolbar, ITray& tray, IWindowSystem& windows)
    : app_(app), view_(view), toolbar_(toolbar), tray_(tray), engine_(app.Settings, windows) {}

void MainWindow::Form_Load() {
    const SettingsRecord& s = app_.Settings;
    SetTrayIcon(L"ADD");
    ApplyWindowLayout(FlagOn(s.OptTBar), FlagOn(s.OptMBar));
    PlaceMainWindow();
    ToggleOnOff();
    if (sizedFromBars_) {
        // Fitted to a toolbar that had no buttons yet: once more with them, and placed again for its new size.
        ApplyWindowLayout(layoutToolbar_, layoutMenuBar_);
        PlaceMainWindow();
    }
    view_.InstallSystemMenuHook();
    view_.SetTrackingInterval(TrackingIntervalMs(s.OptNin));
    if (FlagOn(s.OptWinS)) {
        view_.SetShowHideEnabled(0, true);
        view_.SetShowHideEnabled(1, false);
    }
    FirstActivation = true;
}

void MainWindow::Form_Activate() {
    if (unloaded_)
        return;
    RefreshLevelTips();
    ApplyKeepInFront();
    if (FirstActivation) {
        FirstActivation = false;
        view_.DoEvents();
        if (unloaded_)
            return;  // an exit chosen meanwhile has taken the window away
        toolbar_.Restore();
        view_.DoEvents();
        if (unloaded_)
            return;
    }
    ApplyKeepInFront();
}

void MainWindow::ApplyWindowLayout(bool toolbarShown, bool menuBarShown) {
    const std::wstring os = view_.OSName();
    const std::wstring scheme = os == kWindowsXP ? view_.AppearanceScheme() : std::wstring();  // XP only
    WindowLayout layout = LayoutFor(toolbarShown, menuBarShown, os, scheme);
    view_.SetMenuBarVisible(layout.menuBarVisible);
    layoutToolbar_ = toolbarShown;
    layoutMenuBar_ = menuBarShown;
    const WindowBars bars = view_.MeasureBars(layout.widthTwips);
    sizedFromBars_ = !bars.tableHolds;
    if (sizedFromBars_)
        layout = FitToBars(layout, toolbarShown, bars);
    view_.SetHeight(layout.heightTwips);
    view_.SetWidth(layout.widthTwips);
}

void MainWindow::Form_DpiChanged() {
    if (unloaded_)
        return;
    // The pictures again at the new small-icon size, as the rebuild adds them; the buttons and their arrangement
    // stay. Then the window fits its bars at the new size.
    toolbar_.DetachImageList();
    toolbar_.ClearImages();
    AddToolbarImages();
    toolbar_.SetDisplayOptions();
    ApplyWindowLayout(layoutToolbar_, layoutMenuBar_);
}

void MainWindow::PlaceMainWindow() {
    const SettingsRecord& s = app_.Settings;
    if (!FlagOn(s.OptCent)) {
        view_.SetTop(LeadingNumber(s.T_Top));
        view_.SetLeft(LeadingNumber(s.T_Left));
        return;
    }
    // Centred on the monitor the window comes back to: the one that holds its stored place.
    RectTwips window = view_.WindowRect();
    window.left = LeadingNumber(s.T_Left);
    window.top = LeadingNumber(s.T_Top);
    window = CentredOn(MonitorHolding(window, view_.Monitors()), window);
    view_.SetTop(window.top);
    view_.SetLeft(window.left);
}

void MainWindow::MoveMainWindow(double left, double top) {
    view_.SetTop(top);
    view_.SetLeft(left);
}

void MainWindow::ApplyKeepInFront() {
    view_.SetTopmost(FlagOn(app_.Settings.OptTemae));
}

void MainWindow::ToggleOnOff() {
    ToolbarTables& t = app_.Toolbar;
    toolbar_.RemoveAllButtons();
    toolbar_.DetachImageList();
    toolbar_.ClearImages();
    SwitchEngine(app_.Settings, app_.Store, t);
    AddToolbarImages();
    for (size_t slot = 0; slot < kToolbarSlots; ++slot)
        toolbar_.AddButton(static_cast<int>(slot), t.ToolbarIcon[slot], t.ToolbarTip[slot]);
    toolbar_.SetDisplayOptions();
}

// The pictures at the small-icon size of the window's DPI (16 pixels at 96), attached to the toolbar.
void MainWindow::AddToolbarImages() {
    const ToolbarTables& t = app_.Toolbar;
    const int size = view_.SmallIconPixels();
    toolbar_.SetImageSize(size, size);
    for (size_t slot = 0; slot < kToolbarSlots; ++slot)
        toolbar_.AddImage(t.ToolbarIcon[slot]);
    toolbar_.AttachImageList();
}

void MainWindow::RefreshLevelTips() {
    // Twenty display ticks a second: an unchanged level costs a comparison, not a new text.
    if (tipsLevel_ == app_.Settings.OptTou && !tipsLevel_.empty())
        return;
    tipsLevel_ = app_.Settings.OptTou;
    const std::wstring tip = LevelText(tipsLevel_);
    toolbar_.SetButtonTip(0, tip);
    toolbar_.SetButtonTip(1, tip);
}

void MainWindow::SetTrayIcon(std::wstring_view word) {
    if (word == L"ADD")
        tray_.Notify(TrayMessage::Add);
    else if (word == L"MODIFY")
        tray_.Notify(TrayMessage::Modify);
    else if (word == L"DELETE")
        tray_.Notify(TrayMessage::Delete);
}

void MainWindow::TaskbarCreated() {
    if (!unloaded_)
        SetTrayIcon(L"ADD");
}

void MainWindow::ShowRequested() {
    mnuFileShow_Hide_Click(0);  // as the tray's show item: also stored, so the next start shows the window too
}

MainWindow::Step MainWindow::LevelStep(int delta) {
    std::wstring& level = app_.Settings.OptTou;
    const double v = LeadingNumber(level) + delta;
    if ((delta > 0 && v > kLevelMax) || (delta < 0 && v < kLevelMin)) {
        // The limit is in place before the box opens, so ticks that run meanwhile see a valid level.
        level = NumberText(delta > 0 ? kLevelMax : kLevelMin);
        if (!rangeMessageOpen_) {
            rangeMessageOpen_ = true;
            view_.ShowExclamation(kRangeMessage, kRangeTitle);
            rangeMessageOpen_ = false;
        }
        return Step::AtLimit;
    }
    level = SumText(LeadingNumber(level), delta);
    return Step::InRange;
}

void MainWindow::WriteLevel() {
    (void)app_.Store.WriteSetting(kConfig, L"OptTou", app_.Settings.OptTou);  // a refused write: the next tick retries
}

void MainWindow::Timer2_Timer() {
    if (unloaded_)
        return;
    // A step that meets a limit ends the tick before the tooltips, but not before the store: a key held at the
    // limit would otherwise keep the stored level behind for as long as it is held.
    const bool atLimit = (view_.KeyDown(kVkUp) && LevelStep(+1) == Step::AtLimit) ||
                         (view_.KeyDown(kVkDown) && LevelStep(-1) == Step::AtLimit);
    if (unloaded_)
        return;  // an exit chosen while the range message was open
    if (!atLimit)
        RefreshLevelTips();
    // Rewriting an unchanged level 20 times a second would only wear the registry. The store knows what it last
    // stored, also when the settings dialog stored it: a level stepped back to a value written earlier is written.
    (void)app_.Store.WriteSettingIfChanged(kConfig, L"OptTou", app_.Settings.OptTou);
}

void MainWindow::Timer1_Timer() {
    // The exit has stored the switch inverted: a tick that still arrives (the customise dialog's loop keeps the
    // window a moment longer) must not take the stored state for the running one.
    if (!unloaded_)
        engine_.Timer1_Timer();
}

void MainWindow::Toolbar1_ButtonClick(int index) {
    if (unloaded_)
        return;  // the exit has stored what it stores; a late event must not change it
    switch (index) {
        case 1:
        case 2:
            if (LevelStep(index == 1 ? -1 : +1) == Step::InRange) {
                RefreshLevelTips();
                WriteLevel();
            }
            break;
        case 3:
            mnuOptSettei_Click();
            break;
        case 4:
            ToggleOnOff();
            break;
        case 5:
            mnuHelpContent_KeyWord_Click(1);
            break;
        case 6:
            app_.Settings.OptTou = app_.Settings.OptTou2;
            RefreshLevelTips();
            WriteLevel();
            break;
        default:
            break;
    }
}

void MainWindow::Picture1_MouseMove(float x) {
    // The shell may still call back before the icon's window has gone.
    if (unloaded_)
        return;
    constexpr float kLeftButtonUp = 514;   // WM_LBUTTONUP
    constexpr float kRightButtonUp = 517;  // WM_RBUTTONUP
    if (x == kLeftButtonUp)
        view_.PopupMainMenu();
    else if (x == kRightButtonUp)
        view_.ShowSettingsDialog(true);
}

void MainWindow::mnuFileShow_Hide_Click(int index) {
    if (unloaded_)
        return;
    SettingsRecord& s = app_.Settings;
    if (index == 1) {
        const RectTwips rect = view_.WindowRect();
        s.T_Top = SingleText(static_cast<float>(rect.top));
        s.T_Left = SingleText(static_cast<float>(rect.left));
        app_.Store.WriteSetting(kPosition, L"T_Top", s.T_Top);
        app_.Store.WriteSetting(kPosition, L"T_Left", s.T_Left);
        view_.SetShowHideEnabled(0, true);
        view_.SetShowHideEnabled(1, false);
        view_.Hide();
    } else if (index == 0) {
        view_.SetShowHideEnabled(0, false);
        view_.SetShowHideEnabled(1, true);
        view_.Show();
    } else {
        return;
    }
    app_.Store.Set(s.OptWinS, kConfig, L"OptWinS", NumberText(index));
}

bool MainWindow::AskExit() {
    asking_ = true;
    const bool ok = view_.AskOkCancel(kExitQuestion, kExitTitle);
    asking_ = false;
    return ok;
}

void MainWindow::EndProgram() {
    SetTrayIcon(L"DELETE");
    ExitApplication(app_, *this);
}

void MainWindow::mnuFileEnd_Click() {
    if (unloaded_ || asking_)
        return;  // the question is already on the screen
    if (AskExit())
        EndProgram();
}

void MainWindow::Form_QueryUnload(bool& cancel, int unloadMode) {
    if (unloadMode != kUnloadUser && unloadMode != kUnloadWindows && unloadMode != kUnloadTaskManager)
        return;
    if (unloaded_)
        return;
    if (asking_) {
        cancel = true;  // never a second question; the open one decides
        return;
    }
    if (AskExit())
        EndProgram();
    else
        cancel = true;
}

void MainWindow::UnloadMainWindow() {
    unloaded_ = true;
    if (customizing_) {
        // The window takes the toolbar with it, and the toolbar's own code is still on the stack under the
        // dialog: close the dialog and let CustomizeToolbar unload once that code has returned.
        unloadAfterCustomize_ = true;
        toolbar_.EndCustomize();
        return;
    }
    view_.Unload();
}

void MainWindow::CustomizeToolbar() {
    if (unloaded_ || customizing_)
        return;
    customizing_ = true;
    toolbar_.Customize();
    customizing_ = false;
    if (unloadAfterCustomize_) {
        unloadAfterCustomize_ = false;
        view_.Unload();
    }
}

void MainWindow::mnuOptSettei_Click() {
    if (!unloaded_)
        view_.ShowSettingsDialog(true);
}

void MainWindow::mnuHelpAbout_Click() {
    if (!unloaded_)
        view_.ShowVersionBox();
}

void MainWindow::mnuHelpContent_KeyWord_Click(int index) {
    if (unloaded_)
        return;
    if (index == 0 || index == 1)
        app_.Help.Open(view_.HelpOwner(), app_.HelpFilePath, app_.HtmlHelpFilePath,
                       index == 0 ? kHelpPartialKey : kHelpContents, 0);
}

}  // namespace vitrell

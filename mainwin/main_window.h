#pragma once
// The main window VITRELL as a form: its handlers and rules, without Windows.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_context.h"
#include "core/exit.h"
#include "core/probes.h"
#include "core/product.h"
#include "engine/engine.h"
#include "mainwin/main_window_view.h"
#include "platform/dpi_scaler.h"
#include "settings_dialog/settings_host.h"

namespace vitrell {

// One row of the layout table: what ApplyWindowLayout gives the window.
struct WindowLayout {
    bool menuBarVisible = true;
    double heightTwips = 0;
    double widthTwips = 0;
    bool operator==(const WindowLayout&) const = default;
};

WindowLayout LayoutFor(bool toolbarShown, bool menuBarShown, std::wstring_view osName, std::wstring_view scheme);

// The table's row refitted to the bars where the table does not hold: the frame and the menu bar as drawn, the
// toolbar whole, no band below it; as wide as the table says, or as the toolbar's buttons if they need more.
WindowLayout FitToBars(WindowLayout row, bool toolbarShown, const WindowBars& bars);

// Picture1, the tray's callback target: its control id, and its place below what the window shows, in twips on the
// client area.
inline constexpr int kPicture1Id = 90;
inline constexpr RectTwips kPicture1Place{690, 480, 480, 480};

// The window as the DPI scaler lays it out: Picture1, no fonts of its own, and two images, the icons of its title bar
// and of Alt+Tab. The toolbar follows through Form_DpiChanged.
inline std::vector<ScaledPart> MainWindowParts() {
    return {{kPicture1Id, kPicture1Place, -1}};
}
inline constexpr int kMainWindowImages = 2;

// Where a close request comes from (Form_QueryUnload's UnloadMode).
enum UnloadMode : int {
    kUnloadUser = 0,         // close box, system-menu Close, Alt+F4
    kUnloadProgram = 1,      // the unload ExitApplication does
    kUnloadWindows = 2,      // log-off or shutdown
    kUnloadTaskManager = 3,  // another program asked the window to close
    kUnloadMdiParent = 4,
    kUnloadOwner = 5,
};

class MainWindow final : public IExitHost, public ISettingsHost {
  public:
    MainWindow(AppContext& app, IMainWindowView& view, IToolbar& toolbar, ITray& tray, IWindowSystem& windows);

    // Events
    void Form_Load();
    void Form_Activate();
    void Form_QueryUnload(bool& cancel, int unloadMode);
    void Timer1_Timer();
    void Timer2_Timer();
    void Toolbar1_ButtonClick(int index);
    void Picture1_MouseMove(float x);
    void mnuFileShow_Hide_Click(int index);
    void mnuFileEnd_Click();
    void mnuOptSettei_Click();
    void mnuHelpAbout_Click();
    void mnuHelpContent_KeyWord_Click(int index);
    void TaskbarCreated();   // the shell's notification area was recreated
    void ShowRequested();    // a second start of the program asks this copy to show itself
    void Form_DpiChanged();  // the window moved to a monitor of another scaling

    // Operations
    void ApplyWindowLayout(bool toolbarShown, bool menuBarShown) override;
    void PlaceMainWindow();
    void ApplyKeepInFront();
    void ToggleOnOff();
    void RefreshLevelTips();
    void SetTrayIcon(std::wstring_view word);

    bool Unloaded() const { return unloaded_; }

    // IExitHost and ISettingsHost
    RectTwips MainWindowRect() override { return view_.WindowRect(); }
    void CloseSettingsDialog() override { view_.CloseSettingsDialog(); }
    void UnloadMainWindow() override;
    void MoveMainWindow(double left, double top) override;
    RectTwips MainWindowMonitor() override { return MonitorHolding(view_.WindowRect(), view_.Monitors()); }
    void CustomizeToolbar() override;
    void SaveToolbar() override { toolbar_.Save(); }

  private:
    enum class Step { InRange, AtLimit };
    Step LevelStep(int delta);
    void WriteLevel();
    bool AskExit();
    void EndProgram();
    void AddToolbarImages();

    AppContext& app_;
    IMainWindowView& view_;
    IToolbar& toolbar_;
    ITray& tray_;
    Engine engine_;
    std::wstring tipsLevel_;     // the level text the tooltips show; the display tick builds them only when it changes
    bool layoutToolbar_ = true;  // what ApplyWindowLayout last showed, applied again when the DPI changes
    bool layoutMenuBar_ = true;
    bool sizedFromBars_ = false;  // the last layout fitted the bars: the table does not hold here

    bool FirstActivation = false;
    bool asking_ = false;            // the exit question is open: a second close request is refused, not asked
    bool rangeMessageOpen_ = false;  // a held key must not stack range messages
    bool unloaded_ = false;
    bool customizing_ = false;           // the toolbar's customise dialog runs its own loop inside the toolbar
    bool unloadAfterCustomize_ = false;  // an unload asked for meanwhile waits until that loop has returned
};

}  // namespace vitrell

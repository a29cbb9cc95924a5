// The settings dialog end to end: every way it opens, the menu-bar/toolbar rule, what OK and Apply change in
// the running program, the toolbar arrangement across a restart, help, and bad stored values.
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/product.h"
#include "tests/e2e/fonts.h"
#include "tests/e2e/harness.h"

namespace vitrell::e2e {
namespace {

// The dialog's control ids.
constexpr int kIdOk = kIdCommand1 + 0;
constexpr int kIdCancel = kIdCommand1 + 1;
constexpr int kIdApply = kIdCommand1 + 2;
constexpr int kIdHelp = kIdCommand1 + 3;

// The main window's commands.

// One tracking period is 1 s by default; a tick under load needs a little more.
constexpr DWORD kPeriodMs = 1500;

constexpr RECT kTargetRect{40, 700, 440, 960};  // clear of the centred main window and dialog

bool Checked(HWND dialog, int box) {
    return SendBounded(GetDlgItem(dialog, kIdCheck1 + box), BM_GETCHECK, 0, 0, "BM_GETCHECK") == BST_CHECKED;
}

// A click as the user makes it, posted so that a modal loop it opens does not block the driver.
void Press(HWND dialog, int id) {
    (void)PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);  // the effect is what the test checks
}

// The tab changes as by a click: TCM_SETCURFOCUS notifies the dialog, TCM_SETCURSEL would not.
bool ShowTab(HWND dialog, int tab) {
    HWND control = GetDlgItem(dialog, kIdTab);
    (void)SendBounded(control, TCM_SETCURFOCUS, static_cast<WPARAM>(tab), 0, "TCM_SETCURFOCUS");
    return WaitUntil([&] { return SendBounded(control, TCM_GETCURSEL, 0, 0, "TCM_GETCURSEL") == tab; }, 2000);
}

// A real click on the upper or lower half of a spinner.
bool ClickSpinner(HWND dialog, int index, bool up) {
    RECT r{};
    if (!GetWindowRect(GetDlgItem(dialog, kIdUpDown1 + index), &r))
        return false;
    const LONG height = r.bottom - r.top;
    return ClickAt({(r.left + r.right) / 2, up ? r.top + height / 4 : r.bottom - height / 4});
}

std::wstring Label(HWND dialog, int index) {
    return ControlText(GetDlgItem(dialog, kIdLabel1 + index));
}

HWND ToolbarOf(HWND main) {
    return ChildOf(main, TOOLBARCLASSNAMEW);
}

int ButtonCount(HWND main) {
    HWND toolbar = ToolbarOf(main);
    return toolbar ? ToolbarButtonCount(toolbar) : 0;
}

// The toolbar is built, and a stored arrangement restored, as the main window settles after its start.
bool WaitForToolbar(HWND main, int atLeast = 3) {
    return WaitUntil([&] { return ButtonCount(main) >= atLeast; }, 3000);
}

int WindowHeight(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

// The low layout keeps the toolbar but cuts it off at the bottom of the client area.
bool ToolbarCutOff(HWND main) {
    RECT client{}, toolbar{};
    if (!GetClientRect(main, &client) || !GetWindowRect(ToolbarOf(main), &toolbar))
        return false;
    POINT bottom{0, client.bottom};
    ClientToScreen(main, &bottom);
    return toolbar.bottom > bottom.y;
}

// A request to open the dialog, as the four modal ways and the system menu make it.
enum class Way { MenuItem, CtrlK, ToolbarButton, TrayRightClick, SystemMenu };

const char* Name(Way way) {
    switch (way) {
        case Way::MenuItem:
            return "menu item";
        case Way::CtrlK:
            return "Ctrl+K";
        case Way::ToolbarButton:
            return "toolbar button 3";
        case Way::TrayRightClick:
            return "tray right click";
        case Way::SystemMenu:
            return "system menu";
    }
    return "?";
}

bool Request(const Vitrell& app, Way way) {
    HWND main = app.MainWindow();
    switch (way) {
        case Way::MenuItem:
            return PostMessageW(main, WM_COMMAND, MAKEWPARAM(kCmdOptSettei, 0), 0) != FALSE;
        case Way::CtrlK:
            if (!BringToFront(main))  // the keys go to the foreground window
                return false;
            return KeyDown(VK_CONTROL) && PressKey('K') && KeyUp(VK_CONTROL);
        case Way::ToolbarButton: {
            // Button 3 where the toolbar has it: with no arrangement stored, the first activation leaves it there.
            const auto button = ToolbarButtonRect(app.Process(), ToolbarOf(main), 2);
            return button && ClickAt(CentreOf(*button));
        }
        case Way::TrayRightClick: {
            HWND picture = FindWindowExW(main, nullptr, kPictureClass, nullptr);
            // The tray's callback reaches Picture1 as a mouse move whose x is the mouse message.
            return picture && PostMessageW(picture, WM_MOUSEMOVE, kTrayIconId, MAKELPARAM(WM_RBUTTONUP, 0));
        }
        case Way::SystemMenu:
            return PostMessageW(main, WM_SYSCOMMAND, kSysMenuSettingsCommand, 0) != FALSE;
    }
    return false;
}

class SettingsDialogE2e : public VitrellTest {
  protected:
    void SetUp() override {
        VitrellTest::SetUp();
        PutString(L"Config", L"OptLogo", L"0");  // no splash: the tests start at once
    }
};

TEST_F(SettingsDialogE2e, OpensEachWayAndARepeatedRequestRaisesTheSameDialog) {
    for (Way way : {Way::MenuItem, Way::CtrlK, Way::ToolbarButton, Way::TrayRightClick, Way::SystemMenu}) {
        SCOPED_TRACE(Name(way));
        Vitrell app;
        ASSERT_TRUE(app.Start()) << app.Error();
        // The toolbar gets its buttons as the main window settles.
        ASSERT_TRUE(WaitForToolbar(app.MainWindow())) << "buttons " << ButtonCount(app.MainWindow());
        ASSERT_TRUE(Request(app, way));
        HWND dialog = WaitForSettingsDialog(app);
        ASSERT_NE(dialog, nullptr) << "no dialog opened";
        EXPECT_EQ(ControlText(dialog), L"各種設定");
        const bool modal = way != Way::SystemMenu;
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != modal; }, 2000))
            << "main window enabled: " << IsWindowEnabled(app.MainWindow());

        // Whatever asks again, modal or not, the open dialog comes to the front and no second one opens.
        for (Way again : {Way::SystemMenu, Way::MenuItem, Way::TrayRightClick}) {
            ASSERT_TRUE(Request(app, again));
            PumpFor(300);
            EXPECT_EQ(SettingsDialogsOf(app).size(), 1u) << "after " << Name(again);
            EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 2000))
                << "after " << Name(again) << " the foreground is " << Narrow(ClassNameOf(GetForegroundWindow()));
            EXPECT_TRUE(app.Healthy());
        }

        Press(dialog, kIdCancel);
        EXPECT_TRUE(WaitForNoSettingsDialog(app));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != FALSE; }, 2000));
        EXPECT_TRUE(app.Close()) << app.Error();
    }
}

TEST_F(SettingsDialogE2e, ModelessDialogLeavesTheMainWindowUsable) {
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    ASSERT_TRUE(Request(app, Way::SystemMenu));
    HWND dialog = WaitForSettingsDialog(app);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowEnabled(app.MainWindow()));
    // The level buttons of the main window still work while the dialog is open.
    const std::wstring before = GetString(L"Config", L"OptTou").value_or(L"");
    (void)PostMessageW(app.MainWindow(), WM_COMMAND, MAKEWPARAM(102, 0),
                       reinterpret_cast<LPARAM>(ToolbarOf(app.MainWindow())));
    EXPECT_TRUE(WaitUntil([&] { return GetString(L"Config", L"OptTou") == L"21"; }, 2000))
        << "OptTou " << Narrow(GetString(L"Config", L"OptTou").value_or(L"<missing>")) << " was " << Narrow(before);
    EXPECT_EQ(SettingsDialogsOf(app).size(), 1u);
    Press(dialog, kIdCancel);
    EXPECT_TRUE(WaitForNoSettingsDialog(app));
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(SettingsDialogE2e, ClearingBothBarsShowsBothMessagesAndBringsTheMenuBarBack) {
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    ASSERT_TRUE(Request(app, Way::MenuItem));
    HWND dialog = WaitForSettingsDialog(app);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(Checked(dialog, 4));
    ASSERT_TRUE(Checked(dialog, 5));
    const int tall = WindowHeight(app.MainWindow());
    EXPECT_FALSE(ToolbarCutOff(app.MainWindow()));

    Press(dialog, kIdCheck1 + 5);
    ASSERT_TRUE(WaitUntil([&] { return !Checked(dialog, 5); }, 2000));
    EXPECT_EQ(FindMessageBox(app.Pid()), nullptr) << "clearing one bar only asks nothing";

    Press(dialog, kIdCheck1 + 4);
    HWND first = WaitForMessageBox(app.Pid(), L"設定確認");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(MessageBoxText(first), L"「メニューバー」 と 「ツールバー」 の両方を表示しない設定はできません。")
        << Narrow(MessageBoxText(first));
    EXPECT_EQ(FindMessageBox(app.Pid(), L"強制設定"), nullptr) << "the second box waits for the first";
    ASSERT_TRUE(AnswerMessageBox(first, IDOK));
    HWND second = WaitForMessageBox(app.Pid(), L"強制設定");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(MessageBoxText(second), L"強制的に 「メニューバー」 を表示に設定します。")
        << Narrow(MessageBoxText(second));
    ASSERT_TRUE(AnswerMessageBox(second, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return Checked(dialog, 4); }, 2000)) << "the menu-bar box came back";
    EXPECT_FALSE(Checked(dialog, 5));
    PumpFor(300);
    EXPECT_EQ(FindMessageBox(app.Pid()), nullptr) << "no third box";

    // OK: the toolbar goes, the menu bar stays, the window takes the low height that cuts the toolbar off.
    Press(dialog, kIdOk);
    ASSERT_TRUE(WaitForNoSettingsDialog(app));
    EXPECT_EQ(GetString(L"Config", L"OptTBar"), L"0");
    EXPECT_EQ(GetString(L"Config", L"OptMBar"), L"1");
    EXPECT_NE(GetMenu(app.MainWindow()), nullptr) << "menu bar";
    EXPECT_LT(WindowHeight(app.MainWindow()), tall);
    EXPECT_TRUE(ToolbarCutOff(app.MainWindow()));
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(SettingsDialogE2e, ToolbarWithoutMenuBarHidesItAndCheckingItAgainBringsItBack) {
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    int withoutMenuBar = 0;
    for (bool menuBar : {false, true}) {
        SCOPED_TRACE(menuBar ? "menu bar checked again" : "menu bar cleared");
        ASSERT_TRUE(Request(app, Way::MenuItem));
        HWND dialog = WaitForSettingsDialog(app);
        ASSERT_NE(dialog, nullptr);
        Press(dialog, kIdCheck1 + 4);
        ASSERT_TRUE(WaitUntil([&] { return Checked(dialog, 4) == menuBar; }, 2000));
        Press(dialog, kIdOk);
        ASSERT_TRUE(WaitForNoSettingsDialog(app));
        EXPECT_EQ(GetMenu(app.MainWindow()) != nullptr, menuBar);
        if (menuBar)
            EXPECT_GT(WindowHeight(app.MainWindow()), withoutMenuBar);
        else
            withoutMenuBar = WindowHeight(app.MainWindow());
        EXPECT_FALSE(ToolbarCutOff(app.MainWindow()));
    }
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(SettingsDialogE2e, NewLevelAppliedOnTheSecondTabReachesAWindowWithinOnePeriod) {
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    TargetWindow target(kTargetRect);
    ASSERT_TRUE(Request(app, Way::MenuItem));
    HWND dialog = WaitForSettingsDialog(app);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ShowTab(dialog, 1));
    ASSERT_EQ(Label(dialog, 1), L"20");
    // One step per click; a click lost while the desktop is busy is made again.
    for (int want = 21; want <= 30; ++want) {
        bool stepped = false;
        for (int attempt = 0; attempt < 3 && !stepped; ++attempt) {
            ASSERT_TRUE(ClickSpinner(dialog, 1, true));
            stepped = WaitUntil([&] { return Label(dialog, 1) == std::to_wstring(want); }, 1000);
        }
        ASSERT_TRUE(stepped) << "read-out " << Narrow(Label(dialog, 1)) << ", want " << want;
    }
    EXPECT_EQ(GetString(L"Config", L"OptTou"), L"20") << "a spinner alone stores nothing";

    Press(dialog, kIdApply);
    EXPECT_TRUE(WaitUntil([&] { return GetString(L"Config", L"OptTou") == L"30"; }, 2000));
    EXPECT_EQ(GetString(L"Config", L"OptLogo"), L"0") << "apply on the second tab stores only its spinners";
    ASSERT_TRUE(MoveCursor(target.TitleBarPoint()));
    EXPECT_TRUE(WaitUntil([&] { return AlphaOf(target.Window()) == 178; }, kPeriodMs))  // (100 - 30) % of 255
        << AlphaText(target.Window());
    EXPECT_EQ(SettingsDialogsOf(app).size(), 1u) << "apply keeps the dialog open";
    Press(dialog, kIdCancel);
    EXPECT_TRUE(WaitForNoSettingsDialog(app));
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(SettingsDialogE2e, ResetThenCancelKeepsTheInitialLevelStored) {
    PutString(L"Config", L"OptTou2", L"35");
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    ASSERT_TRUE(Request(app, Way::MenuItem));
    HWND dialog = WaitForSettingsDialog(app);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ShowTab(dialog, 1));
    Press(dialog, kIdCommand3);  // 初期値に戻す
    EXPECT_TRUE(WaitUntil([&] { return Label(dialog, 1) == L"35"; }, 2000)) << Narrow(Label(dialog, 1));
    EXPECT_EQ(GetString(L"Config", L"OptTou"), L"35");
    Press(dialog, kIdCancel);
    EXPECT_TRUE(WaitForNoSettingsDialog(app));
    EXPECT_EQ(GetString(L"Config", L"OptTou"), L"35");
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(SettingsDialogE2e, CustomisedToolbarIsSavedByOkAndBackAfterARestart) {
    int customised = 0;
    {
        Vitrell app;
        ASSERT_TRUE(app.Start()) << app.Error();
        ASSERT_TRUE(WaitForToolbar(app.MainWindow())) << "buttons " << ButtonCount(app.MainWindow());
        const int original = ButtonCount(app.MainWindow());
        ASSERT_GT(original, 1);
        ASSERT_TRUE(Request(app, Way::MenuItem));
        HWND dialog = WaitForSettingsDialog(app);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(Checked(dialog, 7));
        Press(dialog, kIdCommand2);
        // The toolbar's own dialog, owned by the main window, over this one.
        HWND customize = WaitForCustomizeDialog(app);
        ASSERT_NE(customize, nullptr);
        // Remove the first button of the toolbar's list (203; 201 lists the available buttons).
        HWND list = GetDlgItem(customize, 203);
        ASSERT_NE(list, nullptr);
        (void)SendBounded(list, LB_SETCURSEL, 0, 0, "LB_SETCURSEL");
        (void)PostMessageW(customize, WM_COMMAND, MAKEWPARAM(204, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(customize, 204)));
        ASSERT_TRUE(WaitUntil([&] { return ButtonCount(app.MainWindow()) == original - 1; }, 3000))
            << "buttons " << ButtonCount(app.MainWindow());
        customised = ButtonCount(app.MainWindow());
        (void)PostMessageW(customize, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(customize); }, 3000));
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_FALSE(IsWindowEnabled(app.MainWindow())) << "the settings dialog is still modal";
        Press(dialog, kIdOk);
        ASSERT_TRUE(WaitForNoSettingsDialog(app));
        EXPECT_TRUE(GetTypeAt(SectionPath(L"Config"), L"Toolbar").has_value()) << "layout stored";
        EXPECT_TRUE(app.Close()) << app.Error();
    }
    Vitrell again;
    ASSERT_TRUE(again.Start()) << again.Error();
    EXPECT_TRUE(WaitUntil([&] { return ButtonCount(again.MainWindow()) == customised; }, 5000))
        << "buttons " << ButtonCount(again.MainWindow()) << ", want " << customised;
    EXPECT_TRUE(again.Close()) << again.Error();
}

TEST_F(SettingsDialogE2e, HelpOpensTheTopicOfEachTab) {
    Vitrell app;
    app.TraceChannels(kHtmlHelpTrace);
    ASSERT_TRUE(app.Start()) << app.Error();
    ASSERT_TRUE(Request(app, Way::MenuItem));
    HWND dialog = WaitForSettingsDialog(app);
    ASSERT_NE(dialog, nullptr);
    // Windows 7 has no WinHelp: each tab's topic is the page of its context number in VITRELL.chm.
    const char* pages[] = {"HH_DISPLAY_TOPIC settings_environment.htm", "HH_DISPLAY_TOPIC settings_initial.htm"};
    for (int tab : {0, 1}) {
        ASSERT_TRUE(ShowTab(dialog, tab));
        RECT button{};
        ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, kIdHelp), &button));
        ASSERT_TRUE(ClickAt({(button.left + button.right) / 2, (button.top + button.bottom) / 2}));
        EXPECT_EQ(ViewerOfCall(app, tab + 1), pages[tab]);
    }
    EXPECT_TRUE(IsWindowVisible(dialog)) << "help keeps the dialog open";
    Press(dialog, kIdCancel);
    EXPECT_TRUE(WaitForNoSettingsDialog(app));
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(SettingsDialogE2e, BadStoredValuesOpenAUsableDialogWithValuesInRange) {
    const struct {
        const wchar_t* nin;
        const wchar_t* tou2;
        const wchar_t* latab;
        const wchar_t* wantNin;
        const wchar_t* wantTou2;
        int wantTab;
    } cases[] = {
        {L"99", L"-5", L"7", L"30", L"0", 1},
        {L"0.5", L"150", L"-1", L"1", L"100", 0},
        {L"abc", L"20.5", L"abc", L"1", L"20", 0},
        {L"", L"21.5abc", L"1.0", L"1", L"22", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(std::wstring(c.nin) + L" / " + c.tou2 + L" / " + c.latab));
        DeleteSettings();
        PutString(L"Config", L"OptLogo", L"0");
        PutString(L"Config", L"OptNin", c.nin);
        PutString(L"Config", L"OptTou2", c.tou2);
        PutString(L"Config", L"OptLATab", c.latab);
        Vitrell app;
        ASSERT_TRUE(app.Start()) << app.Error();
        ASSERT_TRUE(Request(app, Way::MenuItem));
        HWND dialog = WaitForSettingsDialog(app);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(SendBounded(GetDlgItem(dialog, kIdTab), TCM_GETCURSEL, 0, 0, "TCM_GETCURSEL"), c.wantTab);
        EXPECT_EQ(Label(dialog, 0), c.wantNin) << Narrow(Label(dialog, 0));
        EXPECT_EQ(Label(dialog, 2), c.wantTou2) << Narrow(Label(dialog, 2));
        Press(dialog, kIdOk);
        ASSERT_TRUE(WaitForNoSettingsDialog(app));
        EXPECT_EQ(GetString(L"Config", L"OptNin"), c.wantNin);
        EXPECT_EQ(GetString(L"Config", L"OptTou2"), c.wantTou2);
        EXPECT_TRUE(app.Close()) << app.Error();
    }
}

TEST_F(SettingsDialogE2e, NonTextValuesAndRapidButtonsNeverBreakTheProgram) {
    PutDword(L"Config", L"OptNin", 5);
    PutDword(L"Config", L"OptLATab", 1);
    PutBinary(L"Config", L"OptMBar", {1, 2, 3});
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(Request(app, Way::SystemMenu));
        HWND dialog = WaitForSettingsDialog(app);
        ASSERT_NE(dialog, nullptr) << "round " << round;
        // Queued behind one another: whatever follows OK or Cancel finds the dialog gone.
        for (int id : {kIdApply, kIdOk, kIdCancel, kIdApply, kIdOk, kIdCancel})
            Press(dialog, id);
        EXPECT_TRUE(WaitForNoSettingsDialog(app)) << "round " << round;
        EXPECT_TRUE(app.Healthy()) << "round " << round;
    }
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(SettingsDialogE2e, CloseBoxAndEscapeAreCancelAndEnterPressesOkOrTheFocusedButton) {
    const struct {
        const char* how;
        std::vector<WORD> keys;  // none: the close box; box 2 has the focus, and Tab goes on in the focus order
        bool stored;             // the change of box 2 is stored, as by OK
    } rows[] = {
        {"close box", {}, false},
        {"Escape", {VK_ESCAPE}, false},
        {"Tab to キャンセル, Enter", {VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_RETURN}, false},
        {"Enter", {VK_RETURN}, true},
    };
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        const auto before = GetString(L"Config", L"OptTemae");
        ASSERT_TRUE(Request(app, Way::MenuItem));
        HWND dialog = WaitForSettingsDialog(app);
        ASSERT_NE(dialog, nullptr);
        const bool was = Checked(dialog, 2);
        Press(dialog, kIdCheck1 + 2);  // the box takes the focus, as by a click
        ASSERT_TRUE(WaitUntil([&] { return Checked(dialog, 2) != was; }, 2000));
        if (row.keys.empty())
            (void)PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // what the close box sends
        ASSERT_TRUE(row.keys.empty() || BringToFront(dialog));
        for (WORD key : row.keys)
            ASSERT_TRUE(PressKey(key));
        EXPECT_TRUE(WaitForNoSettingsDialog(app));
        EXPECT_EQ(GetString(L"Config", L"OptTemae"), row.stored ? std::wstring(was ? L"0" : L"1") : before);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != FALSE; }, 2000));
    }
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(SettingsDialogE2e, EveryCaptionIsDrawnWithGlyphsWhetherOrNotTheDesignedFacesExist) {
    const struct {
        int tab;
        int id;
        const wchar_t* text;  // nullptr: the control's own caption
    } controls[] = {
        // Check1(3) is never shown.
        {0, kIdCheck1 + 0, nullptr},
        {0, kIdCheck1 + 1, nullptr},
        {0, kIdCheck1 + 2, nullptr},
        {0, kIdCheck1 + 4, nullptr},
        {0, kIdCheck1 + 5, nullptr},
        {0, kIdCheck1 + 7, nullptr},
        {0, kIdCheck1 + 6, nullptr},
        {0, kIdOk, nullptr},
        {0, kIdCancel, nullptr},
        {0, kIdApply, nullptr},
        {0, kIdHelp, nullptr},
        {0, kIdCommand2, L"...環境設定初期設定"},  // the tab strip's captions share the face of "..."
        {1, kIdFrame1 + 0, nullptr},
        {1, kIdFrame1 + 1, nullptr},
        {1, kIdLabel2, nullptr},
        {1, kIdCommand3, nullptr},
        {1, kIdLabel1 + 1, L"0123456789"},  // every digit a read-out can show
    };
    for (bool aside : {false, true}) {
        SCOPED_TRACE(aside ? "font replacements aside" : "font replacements in place");
        FontReplacements replacements(aside);
        ASSERT_TRUE(replacements.Ready());
        Vitrell app;
        ASSERT_TRUE(app.Start()) << app.Error();
        ASSERT_TRUE(Request(app, Way::MenuItem));
        HWND dialog = WaitForSettingsDialog(app);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(MoveCursor({GetSystemMetrics(SM_CXSCREEN) - 2, 1}));  // no tooltip over a caption
        for (int tab : {0, 1}) {
            ASSERT_TRUE(ShowTab(dialog, tab));
            for (const auto& c : controls) {
                if (c.tab != tab)
                    continue;
                HWND control = GetDlgItem(dialog, c.id);
                const std::wstring text = c.text ? c.text : ControlText(control);
                EXPECT_EQ(Narrow(MissingGlyphs(control, text)), "")
                    << "drawn as boxes in control " << c.id << " \"" << Narrow(text) << "\"";
            }
        }
        Press(dialog, kIdCancel);
        EXPECT_TRUE(WaitForNoSettingsDialog(app));
        EXPECT_TRUE(app.Close()) << app.Error();
    }
}

TEST_F(SettingsDialogE2e, ExitRequestedWhileTheModalDialogIsOpenEndsCleanly) {
    // The exit reaches the disabled main window all the same, also over the toolbar's customise dialog, whose
    // loop runs inside the toolbar control.
    enum class End { Close, TrayEndItem, LogOff };
    const struct {
        const char* what;
        bool customising;
        End end;
    } rows[] = {
        {"a close from another program", false, End::Close},
        {"the tray's end item over the customise dialog", true, End::TrayEndItem},
        {"a log-off over the customise dialog", true, End::LogOff},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        DeleteSettings();
        PutString(L"Config", L"OptLogo", L"0");
        Vitrell app;
        ASSERT_TRUE(app.Start()) << app.Error();
        HWND picture = FindWindowExW(app.MainWindow(), nullptr, kPictureClass, nullptr);
        ASSERT_NE(picture, nullptr);
        ASSERT_TRUE(Request(app, Way::MenuItem));
        HWND dialog = WaitForSettingsDialog(app);
        ASSERT_NE(dialog, nullptr);
        if (r.customising) {
            Press(dialog, kIdCommand2);
            ASSERT_NE(WaitForCustomizeDialog(app), nullptr) << "no customise dialog";
        }
        const RectTwips place = WindowTwips(app.MainWindow());
        switch (r.end) {
            case End::Close:
                EXPECT_TRUE(app.Close()) << app.Error();
                break;
            case End::TrayEndItem: {
                ASSERT_TRUE(ChooseFromTrayMenu(app.Pid(), picture, {'F', 'X'}));
                HWND question = WaitForMessageBox(app.Pid(), L"終了確認");
                ASSERT_NE(question, nullptr) << "the end item did not ask";
                ASSERT_TRUE(AnswerMessageBox(question, IDOK));
                break;
            }
            case End::LogOff: {
                SendFromThread logOff(app.MainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
                HWND question = WaitForMessageBox(app.Pid(), L"終了確認");
                ASSERT_NE(question, nullptr) << "no question for the log-off";
                ASSERT_TRUE(AnswerMessageBox(question, IDOK));
                EXPECT_EQ(logOff.Answer(10000), TRUE) << "the log-off was refused";
                break;
            }
        }
        EXPECT_EQ(WaitForSingleObject(app.Process(), 10000), WAIT_OBJECT_0) << "still running";
        EXPECT_EQ(app.ExitCode(), 0u);
        EXPECT_FALSE(TrayIconExists(picture, kTrayIconId)) << "the icon outlives the program";
        EXPECT_EQ(GetString(L"Config", L"OptOn_Off"), L"0") << "on at the exit, stored inverted";
        const auto stored = [](const wchar_t* key) { return std::stod(GetString(L"Position", key).value_or(L"nan")); };
        EXPECT_NEAR(stored(L"T_Left"), place.left, 0.01);
        EXPECT_NEAR(stored(L"T_Top"), place.top, 0.01);
    }
}

TEST_F(SettingsDialogE2e, ExitWhileTheModelessDialogIsOpenEndsCleanly) {
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    ASSERT_TRUE(Request(app, Way::SystemMenu));
    ASSERT_NE(WaitForSettingsDialog(app), nullptr);
    // Declining the exit question leaves both windows as they were.
    (void)PostMessageW(app.MainWindow(), WM_CLOSE, 0, 0);
    HWND question = WaitForMessageBox(app.Pid(), L"終了確認");
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(AnswerMessageBox(question, IDCANCEL));
    PumpFor(300);
    EXPECT_TRUE(app.Healthy());
    EXPECT_EQ(SettingsDialogsOf(app).size(), 1u);
    // Accepting it unloads the dialog with the program.
    EXPECT_TRUE(app.Close()) << app.Error();
    EXPECT_EQ(app.ExitCode(), 0u);
}

// A title as Wine's traces print text of code page 932: bytes from 0x80 up as \xNN.
std::string TracedTitle(const wchar_t* title) {
    char bytes[256] = {}, escaped[8];
    (void)WideCharToMultiByte(932, 0, title, -1, bytes, sizeof(bytes), nullptr, nullptr);
    std::string out;
    for (const unsigned char c : std::string(bytes)) {
        std::snprintf(escaped, sizeof(escaped), c >= 0x80 ? "\\x%02x" : c == '\\' ? "\\\\" : "%c", c);
        out += escaped;
    }
    return out;
}

// The title of the page winhlp32 showed for the request traced as `request` ("Got[..]: cmd=1 data=00000018"):
// the page it looked up next by offset, among the pages it loaded from the file.
std::string ShownPage(const std::string& trace, const std::string& request) {
    const size_t got = trace.find(request);
    const size_t lookup = got == std::string::npos ? got : trace.find("HLPFILE_PageByOffset <", got);
    if (lookup == std::string::npos)
        return "(no page looked up after " + request + ")";
    const size_t open = trace.find(">[", lookup), close = trace.find(']', open);
    char offset[16];
    std::snprintf(offset, sizeof(offset), "%08lx", std::stoul(trace.substr(open + 2, close - open - 2), nullptr, 16));
    const size_t page = trace.find("<< " + std::string(offset) + " >>");
    const size_t title = page == std::string::npos ? page : trace.rfind("title=\"", page);
    return title == std::string::npos ? "(no page at offset " + std::string(offset) + ")"
                                      : trace.substr(title + 7, trace.find("\" ", title) - title - 7);
}

TEST_F(SettingsDialogE2e, OnXpWineHelpOpensOurHelpFileAtEachEntryPoint) {
    // Windows XP for the program: it calls WinHelp, and Wine's winhlp32 reads the VITRELL.HLP beside the exe.
    const std::wstring exe = VitrellExePath(), hlp = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"VITRELL.HLP";
    ASSERT_NE(GetFileAttributesW(hlp.c_str()), INVALID_FILE_ATTRIBUTES) << "no " << Narrow(hlp);
    struct Xp {
        const wchar_t* key = L"Software\\Wine\\AppDefaults\\VITRELL.exe";
        ~Xp() { (void)DeleteKeyTree(key); }
    } xp;
    ASSERT_TRUE(PutStringAt(xp.key, L"Version", L"winxp"));
    Vitrell app;
    app.TraceChannels(L"-all,trace+winhelp,fixme+winhelp");
    ASSERT_TRUE(app.Start()) << app.Error();

    ASSERT_TRUE(Request(app, Way::MenuItem));
    HWND dialog = WaitForSettingsDialog(app), viewer = nullptr;
    ASSERT_NE(dialog, nullptr);
    Press(dialog, kIdHelp);
    ASSERT_TRUE(WaitUntil([&] { return viewer = FindWindowW(L"MS_WINHELP", nullptr); }, 10000)) << "no winhlp32";
    DWORD viewerPid = 0;
    (void)GetWindowThreadProcessId(viewer, &viewerPid);
    auto traced = [&](const char* what) {
        return WaitUntil([&] { return app.TraceSinceStart().value_or("").find(what) != std::string::npos; }, 5000);
    };
    ASSERT_TRUE(traced("cmd=1 data=00000018")) << "HELP_CONTEXT 24 did not reach winhlp32";
    ASSERT_TRUE(ShowTab(dialog, 1));
    Press(dialog, kIdHelp);
    ASSERT_TRUE(traced("cmd=1 data=00000019")) << "HELP_CONTEXT 25 did not reach winhlp32";
    Press(dialog, kIdCancel);
    ASSERT_TRUE(WaitForNoSettingsDialog(app));
    // 目次 in the help menu, then F1 (HELP_PARTIALKEY, which Wine 8's winhlp32 logs as unhandled).
    ASSERT_TRUE(BringToFront(app.MainWindow()));
    KeyDown(VK_MENU);
    PressKey('M');
    KeyUp(VK_MENU);
    ASSERT_TRUE(ChooseFromMenus(app.Pid(), {'H', 'C'}));
    EXPECT_TRUE(traced("cmd=3 data=")) << "HELP_CONTENTS did not reach winhlp32";
    ASSERT_TRUE(BringToFront(app.MainWindow()));
    PressKey(VK_F1);
    EXPECT_TRUE(traced("Unhandled command (105)")) << "HELP_PARTIALKEY did not reach winhlp32";

    const std::string trace = app.TraceSinceStart().value_or("");
    EXPECT_EQ(ShownPage(trace, "cmd=1 data=00000018"), TracedTitle(L"各種設定 - 「環境設定」タブ"));
    EXPECT_EQ(ShownPage(trace, "cmd=1 data=00000019"), TracedTitle(L"各種設定 - 「初期設定」タブ"));
    EXPECT_EQ(ShownPage(trace, "cmd=3 data="), TracedTitle(L"目次 - ビトレルとは"));
    EXPECT_EQ(FindMessageBox(viewerPid), nullptr) << "winhlp32 shows an error box";
    EXPECT_EQ(FindMessageBox(app.Pid()), nullptr) << "VITRELL shows an error box";
    EXPECT_TRUE(app.Close()) << app.Error();

    // winhlp32 is closed by its windows, and ended if it will not go.
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, viewerPid));
    for (HWND window : TopLevelWindowsOf(viewerPid, L"MS_WINHELP"))
        (void)PostMessageW(window, WM_CLOSE, 0, 0);
    if (process && WaitForSingleObject(process.get(), 5000) != WAIT_OBJECT_0)
        (void)TerminateProcess(process.get(), 1);
}

}  // namespace
}  // namespace vitrell::e2e

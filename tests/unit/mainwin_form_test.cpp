// The main window's rules: level steps, the on/off switch, tray callbacks, menus, show/hide and the exit paths.
#include <functional>

#include "core/text.h"
#include "tests/invariants.h"
#include "tests/unit/mainwin_fixture.h"

namespace vitrell::testing {
namespace {

using MainWindowLevel = MainWindowFixture;

TEST_F(MainWindowLevel, ButtonSteps) {
    struct Row {
        const wchar_t* level;
        int button;
        const wchar_t* want;
        bool rangeMessage;
    };
    const Row rows[] = {
        {L"21", 1, L"20", false},
        {L"20", 2, L"21", false},
        {L"20.5", 2, L"21.5", false},
        {L"0", 1, L"0", true},
        {L"100", 2, L"100", true},
        {L"99.5", 2, L"100", true},
        {L"0.5", 1, L"0", true},
        {L"abc", 2, L"1", false},
        {L"abc", 1, L"0", true},
        {L"99", 2, L"100", false},
        {L"1", 1, L"0", false},
        {L" 7x", 2, L"8", false},
        // Written as a person writes them: no binary noise, never an exponent the reader would cut off.
        {L"8.3", 1, L"7.3", false},
        {L"1.00002", 1, L"0.00002", false},
        {L"0.00002", 2, L"1.00002", false},
        {L"99.9999", 2, L"100", true},
        {L"20.123456789012345", 2, L"21.1234567890123", false},
    };
    for (const Row& r : rows) {
        registry.writes.clear();
        toolbar.tips.clear();
        toolbar.buttons = {0, 1, 2, 3, 4, 5};
        view.exclamations = 0;
        app.Settings.OptTou = r.level;
        form.Toolbar1_ButtonClick(r.button);
        const std::string where = "level '" + Narrow(r.level) + "' button " + std::to_string(r.button);
        EXPECT_EQ(app.Settings.OptTou, r.want) << where << ": got '" << Narrow(app.Settings.OptTou) << "'";
        EXPECT_EQ(view.exclamations, r.rangeMessage ? 1 : 0) << where;
        if (r.rangeMessage) {
            EXPECT_EQ(view.lastText, L"透明度は 「0\uFF5E100」 の範囲で設定可能です。") << where;
            EXPECT_EQ(view.lastTitle, L"設定可能範囲") << where;
            EXPECT_TRUE(registry.writes.empty()) << where << ": the event saves nothing at the limit";
            EXPECT_TRUE(toolbar.tips.empty()) << where;
        } else {
            EXPECT_EQ(WritesOf(L"OptTou"), std::vector<std::wstring>{r.want}) << where;
            EXPECT_EQ(toolbar.tips[0], LevelText(r.want)) << where;
            EXPECT_EQ(toolbar.tips[1], LevelText(r.want)) << where;
        }
    }
}

TEST_F(MainWindowLevel, DisplayTickWithArrowKeys) {
    struct Row {
        const wchar_t* level;
        std::set<int> keys;
        const wchar_t* want;
        bool rangeMessage;
        bool tipsRefreshed;
    };
    const Row rows[] = {
        {L"20", {}, L"20", false, true},
        {L"20", {kVkUp}, L"21", false, true},
        {L"20", {kVkDown}, L"19", false, true},
        {L"20", {kVkUp, kVkDown}, L"20", false, true},  // +1 then -1
        // The tick ends at the limit before the tooltips, but the store follows: a key held there must not
        // keep the stored level behind.
        {L"100", {kVkUp}, L"100", true, false},
        {L"0", {kVkDown}, L"0", true, false},
        {L"99.5", {kVkUp}, L"100", true, false},
        {L"100", {kVkUp, kVkDown}, L"100", true, false},
        {L"0", {kVkUp, kVkDown}, L"0", false, true},
    };
    for (const Row& r : rows) {
        FakeRegistry reg;
        AppContext ctx(reg);
        ctx.Settings.OptTou = r.level;
        toolbar.buttons = {0, 1, 2, 3, 4, 5};
        toolbar.tips.clear();
        view.exclamations = 0;
        view.keysDown = r.keys;
        MainWindow fresh(ctx, view, toolbar, tray, windows);
        fresh.Timer2_Timer();
        const std::string where = "level '" + Narrow(r.level) + "' keys " + std::to_string(r.keys.size());
        EXPECT_EQ(ctx.Settings.OptTou, r.want) << where << ": got '" << Narrow(ctx.Settings.OptTou) << "'";
        EXPECT_EQ(view.exclamations, r.rangeMessage ? 1 : 0) << where;
        EXPECT_EQ(reg.Get(SettingsStore::SectionPath(kConfig), L"OptTou"), r.want) << where;
        EXPECT_EQ(reg.writes.size(), 1u) << where;
        EXPECT_EQ(toolbar.tips.count(0), r.tipsRefreshed ? 1u : 0u) << where;
    }
}

TEST_F(MainWindowLevel, TheStoreFollowsEveryChangeButAnUnchangedLevelIsNotRewritten) {
    form.Timer2_Timer();
    form.Timer2_Timer();
    EXPECT_EQ(WritesOf(L"OptTou"), std::vector<std::wstring>{L"20"});
    app.Settings.OptTou = L"35";  // as the settings dialog leaves it
    form.Timer2_Timer();
    EXPECT_EQ(Stored(kConfig, L"OptTou"), L"35");
    view.keysDown = {kVkUp};
    for (int i = 0; i < 100; ++i)
        form.Timer2_Timer();
    EXPECT_EQ(app.Settings.OptTou, L"100");
    EXPECT_EQ(Stored(kConfig, L"OptTou"), L"100") << "the tick that meets the limit stores it";
    EXPECT_EQ(view.exclamations, 35);

    // The settings dialog's reset stores an earlier level behind the display timer's back; stepping back to the
    // level the timer stored last must still reach the store.
    view.keysDown.clear();
    app.Settings.OptTou = L"21";
    form.Timer2_Timer();
    app.Store.Set(app.Settings.OptTou, kConfig, L"OptTou", L"20");
    view.keysDown = {kVkUp};
    form.Timer2_Timer();
    EXPECT_EQ(app.Settings.OptTou, L"21");
    EXPECT_EQ(Stored(kConfig, L"OptTou"), L"21");
}

TEST_F(MainWindowLevel, StepsFromAFractionReadBackAsWritten) {
    app.Settings.OptTou = L"20.3";
    toolbar.buttons = {0, 1, 2, 3, 4, 5};
    for (int i = 0; i < 13; ++i)
        form.Toolbar1_ButtonClick(1);
    EXPECT_EQ(app.Settings.OptTou, L"7.3");
    EXPECT_EQ(Stored(kConfig, L"OptTou"), L"7.3");
    EXPECT_EQ(toolbar.tips[0], LevelText(L"7.3"));
    for (const std::wstring& text : WritesOf(L"OptTou"))
        EXPECT_TRUE(ReadsBackAsWritten(text)) << "'" << Narrow(text) << "' does not read back as written";
}

TEST_F(MainWindowLevel, ARefusedWriteIsTriedAgainAtTheNextTick) {
    registry.refuseWrites = true;
    form.Timer2_Timer();
    form.Timer2_Timer();
    EXPECT_EQ(WritesOf(L"OptTou").size(), 2u) << "nothing was stored, so the next tick tries again";
    registry.refuseWrites = false;
    form.Timer2_Timer();
    form.Timer2_Timer();
    EXPECT_EQ(WritesOf(L"OptTou").size(), 3u) << "once stored, an unchanged level is not rewritten";
    EXPECT_EQ(Stored(kConfig, L"OptTou"), L"20");
}

TEST_F(MainWindowLevel, AnExitWhileTheRangeMessageIsOpenEndsTheTickThatOpenedIt) {
    app.Settings.OptTou = L"100";
    view.keysDown = {kVkUp};
    view.onExclamation = [&] { form.mnuFileEnd_Click(); };  // the tray's pop-up still works under the box
    form.Timer2_Timer();
    EXPECT_EQ(WrittenNames(), (std::vector<std::wstring>{L"T_Top", L"T_Left", L"OptOn_Off"}))
        << "after the exit the tick stores nothing";
}

TEST_F(MainWindowLevel, TicksDuringTheRangeMessageStackNoFurtherMessages) {
    app.Settings.OptTou = L"100";
    view.keysDown = {kVkUp};
    int nested = 0;
    view.onExclamation = [&] {
        // The message box's own loop keeps the display timer running.
        for (; nested < 5; ++nested) {
            form.Timer2_Timer();
            EXPECT_EQ(app.Settings.OptTou, L"100") << "the level holds its limit while the box is open";
        }
    };
    form.Timer2_Timer();
    EXPECT_EQ(view.exclamations, 1);
}

TEST_F(MainWindowLevel, ResetCopiesTheInitialLevelEvenOutOfRange) {
    app.Settings.OptOn_Off = L"1";
    windows.underCursor = 7;
    windows.windows[7] = {};
    const std::pair<const wchar_t*, int> rows[] = {
        {L"0", 255}, {L"55", 115}, {L"250", 0}, {L"abc", 255}, {L"-40", 255}};
    for (const auto& [initial, alpha] : rows) {
        app.Settings.OptTou2 = initial;
        toolbar.buttons = {0, 1};
        view.asks = 0;
        form.Toolbar1_ButtonClick(6);
        EXPECT_EQ(app.Settings.OptTou, initial);
        EXPECT_EQ(Stored(kConfig, L"OptTou"), initial);
        EXPECT_EQ(toolbar.tips[0], LevelText(initial));
        EXPECT_EQ(view.asks, 0) << "no question";
        form.Timer1_Timer();
        EXPECT_EQ(windows.windows[7].alpha, alpha) << "OptTou2 '" << Narrow(initial) << "'";
    }
    // Stepping from an out-of-range level never crashes and never goes past the limit it meets.
    app.Settings.OptTou2 = L"250";
    form.Toolbar1_ButtonClick(6);
    form.Toolbar1_ButtonClick(2);
    EXPECT_EQ(app.Settings.OptTou, L"100");
}

TEST_F(MainWindowLevel, TipsGoToTheLevelButtonsWhereverTheyAre) {
    toolbar.buttons = {5, 1, 3};  // the user removed the level-down button
    app.Settings.OptTou = L"42";
    form.RefreshLevelTips();
    EXPECT_EQ(toolbar.tips.count(0), 0u);
    EXPECT_EQ(toolbar.tips[1], L" 現在の透明度 42 ");
    toolbar.buttons.clear();
    form.RefreshLevelTips();  // no buttons at all: nothing to do, nothing fails
}

using MainWindowToggle = MainWindowFixture;

TEST_F(MainWindowToggle, TwiceComesBackWithTheDefaultArrangement) {
    form.ToggleOnOff();
    EXPECT_EQ(app.Settings.OptOn_Off, L"1");
    EXPECT_EQ(toolbar.keys[3], L"on.ico");
    EXPECT_EQ(toolbar.tips[3], L" 透明化：On ");
    EXPECT_EQ(toolbar.images[3], L"on.ico");

    toolbar.buttons = {2, 0};  // a rearranged toolbar
    form.ToggleOnOff();
    EXPECT_EQ(app.Settings.OptOn_Off, L"0");
    EXPECT_EQ(toolbar.keys[3], L"off.ico");
    EXPECT_EQ(toolbar.tips[3], L" 透明化：Off ");
    EXPECT_EQ(toolbar.buttons, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(toolbar.images.size(), 6u);
    EXPECT_TRUE(toolbar.attached);
    EXPECT_EQ(WritesOf(L"OptOn_Off"), (std::vector<std::wstring>{L"1", L"0"}));
    EXPECT_EQ(toolbar.tips[5], L" 初期値に戻す ");
    EXPECT_EQ(toolbar.tips[4], L" ﾍﾙﾌﾟ ");
}

TEST_F(MainWindowToggle, ButtonFourTogglesAndTheEngineFollows) {
    windows.underCursor = 9;
    windows.windows[9] = {};
    app.Settings.OptOn_Off = L"1";
    form.Toolbar1_ButtonClick(4);
    form.Timer1_Timer();
    EXPECT_FALSE(windows.windows[9].alpha.has_value()) << "off: nothing is layered";
    form.Toolbar1_ButtonClick(4);
    form.Timer1_Timer();
    EXPECT_EQ(windows.windows[9].alpha, 204);
}

using MainWindowCommands = MainWindowFixture;

TEST_F(MainWindowCommands, ToolbarButtonsAndHelp) {
    const std::pair<int, CallLog> rows[] = {
        {3, {"settings:modal"}}, {5, {}}, {0, {}}, {7, {}}, {-1, {}},
    };
    for (const auto& [index, want] : rows) {
        log.clear();
        form.Toolbar1_ButtonClick(index);
        EXPECT_EQ(log, want) << "button " << index;
    }
    for (int index : {2, -1})
        form.mnuHelpContent_KeyWord_Click(index);
    EXPECT_EQ(help.calls.size(), 1u) << "only the toolbar's help button above";
    log.clear();
    form.mnuOptSettei_Click();
    form.mnuHelpAbout_Click();
    EXPECT_EQ(log, (CallLog{"settings:modal", "version-box"}));
}

// Up to Windows Server 2003 the designed WinHelp call; from Vista on HTML Help, where its file and viewer are there.
TEST_F(MainWindowCommands, HelpEntryPointsOnEachSystem) {
    const std::wstring hlp = L"C:\\VITRELL\\VITRELL.HLP", chm = L"C:\\VITRELL\\VITRELL.chm";
    const struct {
        std::uint32_t major, minor;
        bool chmThere, loads, html;
    } systems[] = {
        {5, 0, true, true, false},   {5, 1, true, true, false}, {5, 2, true, true, false},
        {6, 0, true, true, true},    {10, 0, true, true, true}, {6, 0, false, true, false},
        {10, 0, true, false, false}, {0, 0, true, true, false},  // the version query failed
    };
    const struct {
        std::function<void()> click;
        std::uint32_t winHelp, htmlHelp;
    } entries[] = {{[&] { form.mnuHelpContent_KeyWord_Click(0); }, kHelpPartialKey, kHhDisplayIndex},  // F1
                   {[&] { form.mnuHelpContent_KeyWord_Click(1); }, kHelpContents, kHhDisplayToc},
                   {[&] { form.Toolbar1_ButtonClick(5); }, kHelpContents, kHhDisplayToc}};
    for (const auto& system : systems) {
        help.version = {2, system.major, system.minor};
        help.files = {system.chmThere ? chm : L""};
        help.htmlHelpLoads = system.loads;
        help.loads = 0;
        help.calls.clear();
        help.owners.clear();
        std::vector<HelpCall> want;
        for (const auto& entry : entries) {
            entry.click();
            want.push_back(system.html ? HelpCall{HelpViewer::kHtmlHelp, chm, entry.htmlHelp, 0}
                                       : HelpCall{HelpViewer::kWinHelp, hlp, entry.winHelp, 0});
        }
        const std::string on = std::to_string(system.major) + "." + std::to_string(system.minor);
        EXPECT_EQ(help.calls, want) << "F1, contents, toolbar on " << on << " chm " << system.chmThere;
        EXPECT_EQ(help.owners, std::vector<WindowHandle>(3, FakeMainWindowView::kOwner));
        EXPECT_TRUE(system.major >= 6 || help.loads == 0) << "HTML Help loaded on " << on;
    }
}

TEST_F(MainWindowCommands, TrayCallbackDecoding) {
    const std::pair<float, CallLog> rows[] = {
        {512, {}}, {513, {}}, {514, {"popup"}}, {515, {}}, {516, {}}, {517, {"settings:modal"}},
        {518, {}}, {519, {}}, {520, {}},        {521, {}}, {0, {}},   {514.5f, {}},
    };
    for (const auto& [x, want] : rows) {
        log.clear();
        form.Picture1_MouseMove(x);
        EXPECT_EQ(log, want) << "X = " << x;
    }
}

TEST_F(MainWindowCommands, TrayWords) {
    const std::pair<const wchar_t*, std::vector<TrayMessage>> rows[] = {
        {L"ADD", {TrayMessage::Add}},
        {L"MODIFY", {TrayMessage::Modify}},
        {L"DELETE", {TrayMessage::Delete}},
        {L"add", {}},
        {L"Delete", {}},
        {L"", {}},
        {L"REMOVE", {}},
        {L"ADD ", {}},
    };
    for (const auto& [word, want] : rows) {
        tray.messages.clear();
        form.SetTrayIcon(word);
        EXPECT_EQ(tray.messages, want) << "word '" << Narrow(word) << "'";
    }
}

TEST_F(MainWindowCommands, TaskbarRecreatedAddsTheIconAgain) {
    form.TaskbarCreated();
    EXPECT_EQ(tray.messages, (std::vector<TrayMessage>{TrayMessage::Add}));
    form.mnuFileEnd_Click();
    tray.messages.clear();
    form.TaskbarCreated();
    EXPECT_TRUE(tray.messages.empty()) << "not after the exit";
}

TEST_F(MainWindowCommands, IconifyThenShow) {
    view.rect = {1234.5, 678.25, 1830, 1140};
    form.mnuFileShow_Hide_Click(1);
    EXPECT_EQ(log, (CallLog{"enable0:1", "enable1:0", "hide"}));
    EXPECT_EQ(WrittenNames(), (std::vector<std::wstring>{L"T_Top", L"T_Left", L"OptWinS"}));
    EXPECT_EQ(Stored(kPosition, L"T_Top"), L"678.25");
    EXPECT_EQ(Stored(kPosition, L"T_Left"), L"1234.5");
    EXPECT_EQ(app.Settings.T_Left, L"1234.5");
    EXPECT_EQ(Stored(kConfig, L"OptWinS"), L"1");

    log.clear();
    registry.writes.clear();
    form.mnuFileShow_Hide_Click(0);
    EXPECT_EQ(log, (CallLog{"enable0:0", "enable1:1", "show"}));
    EXPECT_EQ(WrittenNames(), std::vector<std::wstring>{L"OptWinS"});
    EXPECT_EQ(Stored(kConfig, L"OptWinS"), L"0");
    EXPECT_EQ(view.rect.left, 1234.5) << "the window comes back where it was";

    // Iconified again, then a second start of the program asks this copy to show itself the same way.
    log.clear();
    registry.writes.clear();
    form.mnuFileShow_Hide_Click(1);
    EXPECT_EQ(log, (CallLog{"enable0:1", "enable1:0", "hide"}));
    EXPECT_EQ(WrittenNames(), (std::vector<std::wstring>{L"T_Top", L"T_Left", L"OptWinS"}));
    EXPECT_EQ((std::vector{Stored(kPosition, L"T_Top"), Stored(kPosition, L"T_Left"), Stored(kConfig, L"OptWinS")}),
              (std::vector<std::optional<std::wstring>>{L"678.25", L"1234.5", L"1"}));
    EXPECT_EQ(app.Settings.T_Left, L"1234.5");
    log.clear();
    registry.writes.clear();
    form.ShowRequested();
    EXPECT_EQ(log, (CallLog{"enable0:0", "enable1:1", "show"})) << "second start";
    EXPECT_EQ(WrittenNames(), std::vector<std::wstring>{L"OptWinS"}) << "second start";
    EXPECT_EQ(Stored(kConfig, L"OptWinS"), L"0") << "second start";
    EXPECT_EQ(view.rect.left, 1234.5) << "second start: the window comes back where it was";

    log.clear();
    registry.writes.clear();
    form.mnuFileShow_Hide_Click(2);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(registry.writes.empty());
}

using MainWindowExit = MainWindowFixture;

TEST_F(MainWindowExit, QueryUnloadForEveryMode) {
    struct Row {
        int mode;
        bool answerOk;
        bool asked;
        bool cancel;
        bool ended;
    };
    const Row rows[] = {
        {0, true, true, false, true},    {0, false, true, true, false},   {1, true, false, false, false},
        {2, true, true, false, true},    {2, false, true, true, false},   {3, true, true, false, true},
        {3, false, true, true, false},   {4, false, false, false, false}, {5, false, false, false, false},
        {9, false, false, false, false},
    };
    for (const Row& r : rows) {
        MainWindowRig rig;
        rig.app.Settings = app.Settings;
        FakeRegistry& reg = rig.registry;
        FakeMainWindowView& v = rig.view;
        FakeTray& tr = rig.tray;
        MainWindow& f = rig.form;
        v.answerOk = r.answerOk;
        bool cancel = false;
        f.Form_QueryUnload(cancel, r.mode);
        const std::string where = "mode " + std::to_string(r.mode) + (r.answerOk ? " OK" : " Cancel");
        EXPECT_EQ(v.asks, r.asked ? 1 : 0) << where;
        EXPECT_EQ(cancel, r.cancel) << where;
        EXPECT_EQ(v.unloaded, r.ended) << where;
        EXPECT_EQ(tr.messages.size(), r.ended ? 1u : 0u) << where;
        EXPECT_EQ(reg.writes.empty(), !r.ended) << where << ": a refused close stores nothing";
        if (r.asked) {
            EXPECT_EQ(v.lastText, L"「ビトレル for Windows」 を終了しますか？") << where;
            EXPECT_EQ(v.lastTitle, L"終了確認") << where;
        }
    }
}

TEST_F(MainWindowExit, OkDeletesTheIconThenStoresPositionAndSwitchThenUnloads) {
    view.rect = {1500, 2500, 1830, 1140};
    app.Settings.OptOn_Off = L"1";
    form.mnuFileEnd_Click();
    EXPECT_EQ(log, (CallLog{"ask", "tray:2", "close-settings", "unload"}));
    EXPECT_EQ(WrittenNames(), (std::vector<std::wstring>{L"T_Top", L"T_Left", L"OptOn_Off"}));
    EXPECT_EQ(Stored(kPosition, L"T_Top"), L"2500");
    EXPECT_EQ(Stored(kPosition, L"T_Left"), L"1500");
    EXPECT_EQ(Stored(kConfig, L"OptOn_Off"), L"0") << "stored inverted: the next start's toggle brings it back";
    EXPECT_TRUE(form.Unloaded());
}

TEST_F(MainWindowExit, CancelKeepsEverything) {
    view.answerOk = false;
    form.mnuFileEnd_Click();
    EXPECT_EQ(log, CallLog{"ask"});
    EXPECT_TRUE(registry.writes.empty());
    EXPECT_FALSE(form.Unloaded());
}

TEST_F(MainWindowExit, NeverAskedTwice) {
    // A log-off arriving while the question from the close box is open is refused, not asked again.
    bool innerCancel = false;
    view.onAsk = [&] {
        view.onAsk = nullptr;
        form.Form_QueryUnload(innerCancel, kUnloadWindows);
        form.mnuFileEnd_Click();
    };
    bool cancel = false;
    form.Form_QueryUnload(cancel, kUnloadUser);
    EXPECT_EQ(view.asks, 1);
    EXPECT_TRUE(innerCancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(Count("unload"), 1u);

    // After the exit nothing asks again.
    bool after = false;
    form.Form_QueryUnload(after, kUnloadUser);
    form.mnuFileEnd_Click();
    EXPECT_EQ(view.asks, 1);
    EXPECT_EQ(Count("tray:2"), 1u);
}

TEST_F(MainWindowExit, AnExitWhileCustomisingClosesTheDialogAndUnloadsOnceItsLoopHasReturned) {
    struct Row {
        const char* what;
        int mode;  // -1: the end item, else the close request's UnloadMode
        bool answerOk;
        CallLog want;
    };
    const CallLog ended = {"tb:customize",          "ask",   "tray:2", "close-settings", "tb:end-customize",
                           "tb:customize-returned", "unload"};
    const Row rows[] = {
        {"the end item", -1, true, ended},
        {"a log-off", kUnloadWindows, true, ended},
        {"a log-off answered Cancel", kUnloadWindows, false, {"tb:customize", "ask", "tb:customize-returned"}},
    };
    for (const Row& r : rows) {
        MainWindowRig rig;
        rig.app.Settings = app.Settings;
        rig.app.Settings.OptOn_Off = L"1";
        FakeRegistry& reg = rig.registry;
        CallLog& calls = rig.log;
        FakeMainWindowView& v = rig.view;
        FakeToolbar& tb = rig.toolbar;
        MainWindow& f = rig.form;
        v.answerOk = r.answerOk;
        v.rect = {1500, 2500, 1830, 1140};
        tb.onCustomize = [&] {
            bool cancel = false;
            if (r.mode < 0)
                f.mnuFileEnd_Click();
            else
                f.Form_QueryUnload(cancel, r.mode);
            EXPECT_EQ(cancel, !r.answerOk) << r.what;
            EXPECT_FALSE(v.unloaded) << r.what << ": the window went under the dialog's loop";
        };
        f.CustomizeToolbar();
        EXPECT_EQ(calls, r.want) << r.what;
        if (r.answerOk) {
            EXPECT_EQ(reg.Get(SettingsStore::SectionPath(kPosition), L"T_Top"), L"2500") << r.what;
            EXPECT_EQ(reg.Get(SettingsStore::SectionPath(kConfig), L"OptOn_Off"), L"0") << r.what;
            calls.clear();
            f.CustomizeToolbar();
            EXPECT_TRUE(calls.empty()) << r.what << ": a customise dialog after the exit";
        }
    }
}

// The exit closes the viewers help used: WinHelp once for each window that asked it, HTML Help once.
TEST_F(MainWindowExit, ClosesTheHelpViewersItOpened) {
    const HelpCall quit{HelpViewer::kWinHelp, L"C:\\VITRELL\\VITRELL.HLP", kHelpQuit, 0};
    const HelpCall closeAll{HelpViewer::kHtmlHelp, L"", kHhCloseAll, 0};
    const std::pair<std::vector<bool>, std::vector<HelpCall>> rows[] = {
        {{}, {}}, {{false, false}, {quit}}, {{true}, {closeAll}}, {{false, true}, {quit, closeAll}}};
    for (const auto& [htmlThen, want] : rows) {  // one request each, through HTML Help or not
        MainWindowRig rig;
        rig.app.HelpFilePath = quit.file;
        rig.app.HtmlHelpFilePath = L"C:\\VITRELL\\VITRELL.chm";
        for (bool html : htmlThen) {
            rig.help.files = {html ? rig.app.HtmlHelpFilePath : L""};  // the .chm may appear while it runs
            rig.form.mnuHelpContent_KeyWord_Click(1);
        }
        rig.help.calls.clear();
        rig.form.mnuFileEnd_Click();
        EXPECT_EQ(rig.help.calls, want) << htmlThen.size() << " requests";
    }
}

TEST_F(MainWindowExit, NothingRunsAfterTheExit) {
    // Events that still reach the form after the exit, as they can while the toolbar's customise dialog keeps the
    // window a moment longer: the exit has stored the switch inverted, so any of them would store a wrong state.
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"display tick with a key held", [&] { form.Timer2_Timer(); }},
        {"engine tick", [&] { form.Timer1_Timer(); }},
        {"activation", [&] { form.Form_Activate(); }},
        {"level button", [&] { form.Toolbar1_ButtonClick(2); }},
        {"on/off button", [&] { form.Toolbar1_ButtonClick(4); }},
        {"reset button", [&] { form.Toolbar1_ButtonClick(6); }},
        {"settings button", [&] { form.Toolbar1_ButtonClick(3); }},
        {"tray left click", [&] { form.Picture1_MouseMove(514); }},
        {"tray right click", [&] { form.Picture1_MouseMove(517); }},
        {"iconify", [&] { form.mnuFileShow_Hide_Click(1); }},
        {"show", [&] { form.mnuFileShow_Hide_Click(0); }},
        {"show asked by a second start", [&] { form.ShowRequested(); }},
        {"settings item", [&] { form.mnuOptSettei_Click(); }},
        {"version item", [&] { form.mnuHelpAbout_Click(); }},
        {"help item", [&] { form.mnuHelpContent_KeyWord_Click(0); }},
        {"customise", [&] { form.CustomizeToolbar(); }},
    };
    app.Settings.OptOn_Off = L"0";  // off at the exit, stored as "1"
    windows.underCursor = 7;
    windows.windows[7] = {};
    form.mnuFileEnd_Click();
    view.keysDown = {kVkUp};
    for (const auto& [what, event] : rows) {
        registry.writes.clear();
        log.clear();
        windows.calls = 0;
        event();
        EXPECT_TRUE(registry.writes.empty()) << what;
        EXPECT_TRUE(log.empty()) << what << ": " << ::testing::PrintToString(log);
        EXPECT_TRUE(help.calls.empty()) << what;
        EXPECT_EQ(windows.calls, 0) << what;
    }
    EXPECT_EQ(app.Settings.OptTou, L"20");
    EXPECT_EQ(Stored(kConfig, L"OptOn_Off"), L"1");
    EXPECT_FALSE(windows.windows[7].alpha.has_value());
}

}  // namespace
}  // namespace vitrell::testing

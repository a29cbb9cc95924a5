// The main window's size and place: the layout table, PlaceMainWindow, and the load and activation order.
#include "core/text.h"
#include "tests/unit/mainwin_fixture.h"

namespace vitrell::testing {
namespace {

struct LayoutRow {
    bool toolbar;
    bool menuBar;
    const wchar_t* os;
    const wchar_t* scheme;
    WindowLayout want;
};

TEST(MainWindowLayout, EveryRowOfTheTable) {
    const LayoutRow rows[] = {
        {true, true, L"Windows XP", L"", {true, 1140, 1830}},
        {true, true, L"Windows XP", L"Windows Standard", {true, 1000, 1830}},
        {true, true, L"Windows 2000", L"", {true, 1000, 1810}},
        {true, true, L"Windows 98", L"Scheme", {true, 1000, 1810}},
        {true, false, L"Windows XP", L"", {false, 840, 1830}},
        {true, false, L"Windows XP", L"Brick", {false, 700, 1830}},
        {true, false, L"Windows 2000", L"Brick", {false, 700, 1810}},
        {true, false, L"", L"", {false, 700, 1810}},
        // Toolbar off: the menu-bar option is not consulted and the menu bar always shows.
        {false, true, L"Windows XP", L"", {true, 740, 1830}},
        {false, false, L"Windows XP", L"", {true, 740, 1830}},
        {false, true, L"Windows XP", L"Brick", {true, 620, 1580}},
        {false, false, L"Windows XP", L"Brick", {true, 620, 1580}},
        {false, false, L"Windows 2000", L"", {true, 620, 1620}},
        {false, true, L"Windows 2000", L"Brick", {true, 620, 1620}},
        {false, false, L"Windows NT", L"", {true, 620, 1640}},
        {false, true, L"", L"", {true, 620, 1640}},
        {false, false, L"windows xp", L"", {true, 620, 1640}},  // an exact name only
    };
    for (const LayoutRow& r : rows) {
        const WindowLayout got = LayoutFor(r.toolbar, r.menuBar, r.os, r.scheme);
        EXPECT_EQ(got, r.want) << "toolbar " << r.toolbar << " menu " << r.menuBar << " os '" << Narrow(r.os)
                               << "' scheme '" << Narrow(r.scheme) << "': got menu " << got.menuBarVisible << ", "
                               << got.widthTwips << " x " << got.heightTwips;
    }
}

using MainWindowLayoutApply = MainWindowFixture;

TEST_F(MainWindowLayoutApply, SetsMenuThenHeightThenWidthAskingTheSystemEachTime) {
    view.os = L"Windows 2000";
    form.ApplyWindowLayout(true, false);
    EXPECT_EQ(log, (CallLog{"menu:0", "height:700", "width:1810"}));
    // A later apply that shows the menu bar brings it back.
    log.clear();
    form.ApplyWindowLayout(false, false);
    EXPECT_EQ(log, (CallLog{"menu:1", "height:620", "width:1620"}));
    EXPECT_EQ(view.osQueries, 2);
    EXPECT_EQ(view.schemeQueries, 0) << "the scheme matters on Windows XP only";
    // On XP a scheme picks the lower rows.
    view.os = L"Windows XP";
    view.scheme = L"Brick";
    log.clear();
    form.ApplyWindowLayout(true, true);
    EXPECT_EQ(log, (CallLog{"menu:1", "height:1000", "width:1830"}));
    EXPECT_EQ(view.schemeQueries, 1);
}

// Where the table does not hold, the window is its frame and menu bar as drawn plus the toolbar whole; as wide as
// the table's row, or as the toolbar's buttons when they need more.
TEST_F(MainWindowLayoutApply, ElsewhereTheWindowFitsItsBars) {
    struct Row {
        bool toolbar;
        bool menuBar;
        WindowBars bars;
        CallLog want;
    };
    const Row rows[] = {
        {true, true, {false, {120, 960}, {1700, 555}}, {"menu:1", "height:1515", "width:1830"}},
        {true, true, {false, {120, 960}, {2100, 555}}, {"menu:1", "height:1515", "width:2220"}},
        {true, false, {false, {120, 480}, {1700, 555}}, {"menu:0", "height:1035", "width:1830"}},
        {false, false, {false, {120, 960}, {9000, 555}}, {"menu:1", "height:960", "width:1830"}},  // no band at all
        {true, true, {true, {120, 960}, {9000, 555}}, {"menu:1", "height:1140", "width:1830"}},    // the table's own
    };
    for (const Row& r : rows) {
        view.bars = r.bars;
        log.clear();
        form.ApplyWindowLayout(r.toolbar, r.menuBar);
        EXPECT_EQ(log, r.want) << "toolbar " << r.toolbar << " menu " << r.menuBar << " toolbar width "
                               << r.bars.toolbar.width;
        EXPECT_EQ(view.barsWidth, 1830) << "measured for the row's width, the menu bar's wrap included";
    }
}

TEST_F(MainWindowLayoutApply, PlaceMainWindow) {
    struct Row {
        const wchar_t* cent;
        const wchar_t* top;
        const wchar_t* left;
        CallLog want;
    };
    // Screen 19200 x 14400 twips, window 1830 x 1140 (the fixture's rectangle).
    const Row rows[] = {
        {L"0", L"2000", L"1000", {"top:2000", "left:1000"}},
        {L"0", L"abc", L" 12.5x", {"top:0", "left:12.5"}},
        {L"0", L"-300", L"99999", {"top:-300", "left:99999"}},  // no clamping to the screen
        {L"1", L"2000", L"1000", {"top:6630", "left:8685"}},
        {L"1", L"abc", L"abc", {"top:6630", "left:8685"}},
        {L" 1", L"5", L"6", {"top:5", "left:6"}},  // only exactly "1" centres
        {L"yes", L"5", L"6", {"top:5", "left:6"}},
    };
    for (const Row& r : rows) {
        app.Settings.OptCent = r.cent;
        app.Settings.T_Top = r.top;
        app.Settings.T_Left = r.left;
        log.clear();
        form.PlaceMainWindow();
        EXPECT_EQ(log, r.want) << "OptCent '" << Narrow(r.cent) << "' T_Top '" << Narrow(r.top) << "'";
        EXPECT_EQ(app.Settings.T_Top, r.top) << "placing never changes the stored position";
    }
}

TEST_F(MainWindowLayoutApply, CentringHalvesAreKept) {
    app.Settings.OptCent = L"1";
    view.rect = {0, 0, 1831, 1141};
    form.PlaceMainWindow();
    EXPECT_EQ(view.rect.top, (14400 - 1141) / 2.0);
    EXPECT_EQ(view.rect.left, (19200 - 1831) / 2.0);
}

// Two monitors of different sizes: the primary 19200 x 14400 and, left of it, 24000 x 18000 from (-24000, -3000).
// The window is 1830 x 1140.
TEST_F(MainWindowLayoutApply, CentringUsesTheMonitorThatHoldsTheWindow) {
    const RectTwips primary{0, 0, 19200, 14400}, left{-24000, -3000, 24000, 18000};
    const struct {
        const char* what;
        MonitorList monitors;
        double storedLeft, storedTop, wantLeft, wantTop;
    } cases[] = {
        {"stored on the left monitor", {primary, left}, -12000, 500, -12915, 5430},
        {"stored on the primary", {primary, left}, 1000, 2000, 8685, 6630},
        {"mostly on the left monitor", {primary, left}, -1000, 2000, -12915, 5430},
        {"on a monitor that has gone", {primary}, -12000, 500, 8685, 6630},
    };
    app.Settings.OptCent = L"1";
    for (const auto& c : cases) {
        view.monitors = c.monitors;
        app.Settings.T_Left = NumberText(c.storedLeft);
        app.Settings.T_Top = NumberText(c.storedTop);
        form.PlaceMainWindow();
        EXPECT_EQ(view.rect.left, c.wantLeft) << c.what;
        EXPECT_EQ(view.rect.top, c.wantTop) << c.what;
        // Where the settings dialog centres it: the monitor that holds the window now.
        const RectTwips monitor = form.MainWindowMonitor();
        EXPECT_EQ(monitor.left + monitor.width / 2, c.wantLeft + view.rect.width / 2) << c.what;
    }
}

TEST_F(MainWindowLayoutApply, FormLoadRunsItsStepsInOrder) {
    view.os = L"Windows 2000";
    app.Settings.OptNin = L"1.5";
    form.Form_Load();
    const CallLog want = {"tray:0",
                          "menu:1",
                          "height:1000",
                          "width:1810",
                          "top:2000",
                          "left:1000",
                          "tb:remove-all",
                          "tb:detach",
                          "tb:clear",
                          "tb:size:16x16",
                          "tb:image:arrow_down.ico",
                          "tb:image:arrow_up.ico",
                          "tb:image:property.ico",
                          "tb:image:on.ico",
                          "tb:image:help.ico",
                          "tb:image:undo.ico",
                          "tb:attach",
                          "tb:button:0",
                          "tb:button:1",
                          "tb:button:2",
                          "tb:button:3",
                          "tb:button:4",
                          "tb:button:5",
                          "tb:options",
                          "hook",
                          "interval:1500"};
    EXPECT_EQ(log, want);
    EXPECT_EQ(view.enabled, (std::vector<bool>{false, true})) << "the menu's initial states stand when shown";
    EXPECT_EQ(Stored(kConfig, L"OptOn_Off"), L"1") << "a first start comes up on and says so at once";

    // Sized from its bars, the window fits them once more when the toolbar has its buttons, and is placed again.
    view.bars.tableHolds = false;
    view.smallIcon = 24;
    log.clear();
    form.Form_Load();
    const auto at = std::find(log.begin(), log.end(), "tb:options");
    ASSERT_NE(at, log.end());
    EXPECT_EQ(CallLog(at + 1, at + 6), (CallLog{"menu:1", "height:0", "width:1810", "top:2000", "left:1000"}));
    EXPECT_TRUE(Logged("tb:size:24x24")) << "pictures at the small-icon size of the window's DPI";
}

// A move to a monitor of another scaling: the pictures again at the new size, in the rebuild's order, the buttons
// kept; then the window fits its bars with the layout it last had.
TEST_F(MainWindowLayoutApply, ADpiChangeRebuildsThePicturesAndFitsTheBarsAgain) {
    form.Form_Load();
    form.ApplyWindowLayout(true, false);
    view.smallIcon = 32;
    view.bars = {false, {120, 480}, {1700, 555}};
    log.clear();
    form.Form_DpiChanged();
    EXPECT_EQ(log, (CallLog{"tb:detach", "tb:clear", "tb:size:32x32", "tb:image:arrow_down.ico",
                            "tb:image:arrow_up.ico", "tb:image:property.ico", "tb:image:on.ico", "tb:image:help.ico",
                            "tb:image:undo.ico", "tb:attach", "tb:options", "menu:0", "height:1035", "width:1830"}));
    form.mnuFileEnd_Click();
    log.clear();
    form.Form_DpiChanged();
    EXPECT_TRUE(log.empty()) << "nothing for a window that is gone";
}

TEST_F(MainWindowLayoutApply, TrackingIntervalFromOptNin) {
    const std::pair<const wchar_t*, std::uint32_t> rows[] = {
        {L"1", 1000}, {L"30", 30000}, {L"1.5", 1500}, {L"0", 0}, {L"abc", 0}, {L"-4", 0}, {L"100", 65535},
    };
    for (const auto& [nin, want] : rows) {
        app.Settings.OptNin = nin;
        app.Settings.OptOn_Off = L"0";
        form.Form_Load();
        EXPECT_EQ(view.interval, want) << "OptNin '" << Narrow(nin) << "'";
    }
}

TEST_F(MainWindowLayoutApply, StartingHiddenEnablesShowAndDisablesIconify) {
    app.Settings.OptWinS = L"1";
    form.Form_Load();
    EXPECT_EQ(view.enabled, (std::vector<bool>{true, false}));
    EXPECT_EQ(tray.messages, (std::vector<TrayMessage>{TrayMessage::Add}));
    EXPECT_EQ(Count("tb:restore"), 0u) << "nothing restores before the first activation";
}

TEST_F(MainWindowLayoutApply, FirstActivationRestoresTheToolbarOnceBetweenMessagePumps) {
    form.Form_Load();
    toolbar.tips.clear();
    app.Settings.OptTou = L"33";
    size_t start = log.size();
    form.Form_Activate();
    EXPECT_EQ(LogFrom(start), (CallLog{"topmost:1", "doevents", "tb:restore", "doevents", "topmost:1"}));
    EXPECT_EQ(toolbar.tips[0], L" 現在の透明度 33 ");
    EXPECT_EQ(toolbar.tips[1], L" 現在の透明度 33 ");

    app.Settings.OptTemae = L"0";
    start = log.size();
    form.Form_Activate();
    EXPECT_EQ(LogFrom(start), (CallLog{"topmost:0", "topmost:0"}));
    EXPECT_FALSE(view.topmost);
}

TEST_F(MainWindowLayoutApply, AnExitChosenWhileTheFirstActivationPumpsStopsIt) {
    form.Form_Load();
    view.onDoEvents = [&] { form.mnuFileEnd_Click(); };
    form.Form_Activate();
    EXPECT_TRUE(view.unloaded);
    EXPECT_EQ(Count("tb:restore"), 0u) << "no toolbar work on a window that is gone";
}

TEST_F(MainWindowLayoutApply, SettingsHostMovesTopThenLeft) {
    form.MoveMainWindow(300, 400);
    EXPECT_EQ(log, (CallLog{"top:400", "left:300"}));
    form.CustomizeToolbar();
    form.SaveToolbar();
    EXPECT_TRUE(Logged("tb:customize"));
    EXPECT_TRUE(Logged("tb:save"));
}

}  // namespace
}  // namespace vitrell::testing

#include "app/startup.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "core/exit.h"
#include "core/settings.h"
#include "tests/fakes/fake_registry.h"
#include "tests/invariants.h"

namespace vitrell {
namespace {

using testing::FakeRegistry;

const std::wstring kConfigKey = SettingsStore::SectionPath(kConfig);
const std::wstring kPositionKey = SettingsStore::SectionPath(kPosition);

class FakeStartupHost final : public IStartupHost {
  public:
    bool FirstCopy() override {
        events.push_back(L"one copy?");
        return !anotherCopy;
    }
    void ShowRunningCopy() override { events.push_back(L"show running copy"); }
    std::wstring ApplicationFolder() override { return folder; }
    void ChangeDirectory(const std::wstring& f) override { events.push_back(L"cd " + f); }
    SizeTwips ScreenSize() override { return screen; }
    MonitorList Monitors() override { return monitors; }
    void ShowSplashModal() override { events.push_back(L"splash"); }
    void ShowMainWindow(bool visible) override { events.push_back(visible ? L"show" : L"load hidden"); }

    std::wstring folder = L"C:\\Tools\\VITRELL";
    SizeTwips screen{15360, 11520};  // 1024 x 768 at 96 dpi
    MonitorList monitors{{0, 0, 15360, 11520}};
    std::vector<std::wstring> events;
    bool anotherCopy = false;
};

struct Fixture {
    FakeRegistry registry;
    AppContext app{registry};
    FakeStartupHost host;

    bool Start() { return Main(app, host); }
};

TEST(Startup, FirstStartWritesEveryDefaultInOrderAndNeverThePosition) {
    Fixture f;
    f.Start();
    const std::vector<FakeRegistry::Write> want = {
        {kConfigKey, L"OptLogo", L"1"},   {kPositionKey, L"OptCent", L"0"}, {kConfigKey, L"OptTemae", L"1"},
        {kConfigKey, L"OptJib", L"0"},    {kConfigKey, L"OptMBar", L"1"},   {kConfigKey, L"OptTBar", L"1"},
        {kConfigKey, L"OptTBar2", L"1"},  {kConfigKey, L"OptLAct", L"1"},   {kConfigKey, L"OptLATab", L"0"},
        {kConfigKey, L"OptNin", L"1"},    {kConfigKey, L"OptTou", L"20"},   {kConfigKey, L"OptTou2", L"0"},
        {kConfigKey, L"OptOn_Off", L"0"}, {kConfigKey, L"OptWinS", L"0"},
    };
    EXPECT_EQ(f.registry.writes, want);
    // The key table the start-up fuzz target holds every other store to.
    std::vector<FakeRegistry::Write> fromTable;
    for (const testing::StartupKey& k : testing::kStartupKeys)
        if (k.whenEmpty)
            fromTable.push_back({SettingsStore::SectionPath(k.section), std::wstring(k.key), k.whenEmpty});
    EXPECT_EQ(fromTable, want);
    EXPECT_EQ(f.app.Settings.T_Left, L"6860");  // (15360 − 1640) / 2
    EXPECT_EQ(f.app.Settings.T_Top, L"5450");   // (11520 − 620) / 2
    EXPECT_EQ(f.app.HelpFilePath, L"C:\\Tools\\VITRELL\\VITRELL.HLP");
    EXPECT_EQ(f.app.HtmlHelpFilePath, L"C:\\Tools\\VITRELL\\VITRELL.chm");
    EXPECT_EQ(f.host.events, (std::vector<std::wstring>{L"one copy?", L"cd C:\\Tools\\VITRELL", L"splash", L"show"}));
}

TEST(Startup, ASecondCopyLeavesTheStoreAloneAndAsksTheRunningOneToShow) {
    Fixture f;
    f.host.anotherCopy = true;
    f.registry.Put(kConfigKey, L"OptWinS", L"1");
    EXPECT_FALSE(f.Start());
    EXPECT_EQ(f.host.events, (std::vector<std::wstring>{L"one copy?", L"show running copy"}));
    EXPECT_EQ(f.registry.reads, 0);
    EXPECT_TRUE(f.registry.writes.empty());
    EXPECT_TRUE(f.app.HelpFilePath.empty());
}

TEST(Startup, StoredValuesAreKeptAndBadOnesRepairedInMemoryOnly) {
    const struct {
        const wchar_t* section;
        const wchar_t* key;
        std::wstring stored;
        std::wstring SettingsRecord::*field;
        std::wstring held;
    } cases[] = {
        {L"Config", L"OptTou", L"150", &SettingsRecord::OptTou, L"80"},
        {L"Config", L"OptTou", L"-5", &SettingsRecord::OptTou, L"0"},
        {L"Config", L"OptTou", L"abc", &SettingsRecord::OptTou, L"abc"},
        {L"Config", L"OptTou", L"100", &SettingsRecord::OptTou, L"100"},
        {L"Config", L"OptTou", L"100.5", &SettingsRecord::OptTou, L"80"},
        {L"Config", L"OptTou", L"1e999", &SettingsRecord::OptTou, L"1e999"},
        {L"Config", L"OptTou", L"99999999999999999999999999", &SettingsRecord::OptTou, L"80"},
        {L"Position", L"T_Left", L"-300", &SettingsRecord::T_Left, L"-300"},
        {L"Position", L"T_Left", L"abc", &SettingsRecord::T_Left, L"abc"},
        {L"Position", L"T_Left", L"0", &SettingsRecord::T_Left, L"0"},
        {L"Position", L"T_Top", L"-0.5", &SettingsRecord::T_Top, L"-0.5"},
        {L"Position", L"T_Top", L"1234.5", &SettingsRecord::T_Top, L"1234.5"},
        {L"Config", L"OptLogo", L"0", &SettingsRecord::OptLogo, L"0"},
        {L"Config", L"OptWinS", L"2", &SettingsRecord::OptWinS, L"2"},
        // A long edited text is a stored text, not a missing one to write the default over.
        {L"Config", L"OptLogo", std::wstring(33288, L':'), &SettingsRecord::OptLogo, std::wstring(33288, L':')},
        {L"Config", L"OptTou", std::wstring(40000, L'0') + L"35", &SettingsRecord::OptTou,
         std::wstring(40000, L'0') + L"35"},
        // A position past what a window position can be, or off every monitor, is replaced.
        {L"Position", L"T_Top", std::wstring(25014, L'4'), &SettingsRecord::T_Top, L"5450"},
        {L"Position", L"T_Left", L"2147483648", &SettingsRecord::T_Left, L"6860"},
        {L"Position", L"T_Left", L"2147483647", &SettingsRecord::T_Left, L"6860"},
    };
    for (const auto& c : cases) {
        Fixture f;
        const std::wstring key = SettingsStore::SectionPath(c.section);
        f.registry.Put(key, c.key, c.stored);
        f.Start();
        EXPECT_EQ(f.app.Settings.*c.field, c.held) << "stored " << c.key;
        EXPECT_EQ(f.registry.Get(key, c.key), std::optional<std::wstring>(c.stored)) << "registry keeps " << c.key;
    }
}

TEST(Startup, EmptyOrForeignTypedValueCountsAsMissing) {
    for (bool nonString : {false, true}) {
        Fixture f;
        if (nonString)
            f.registry.PutNonString(kConfigKey, L"OptTou");
        else
            f.registry.Put(kConfigKey, L"OptTou", L"");
        f.registry.Put(kPositionKey, L"T_Left", L"");
        f.Start();
        EXPECT_EQ(f.app.Settings.OptTou, L"20");
        EXPECT_EQ(f.registry.Get(kConfigKey, L"OptTou"), std::optional<std::wstring>(L"20"));
        EXPECT_EQ(f.app.Settings.T_Left, L"6860");
    }
}

TEST(Startup, SplashAndHiddenStartFollowTheirFlagsExactly) {
    const struct {
        const wchar_t* logo;
        const wchar_t* winS;
        std::vector<std::wstring> events;
    } cases[] = {
        {L"1", L"0", {L"splash", L"show"}}, {L"0", L"0", {L"show"}},   {L"yes", L"1", {L"load hidden"}},
        {L"1", L"2", {L"splash", L"show"}}, {L" 1", L"1 ", {L"show"}},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.registry.Put(kConfigKey, L"OptLogo", c.logo);
        f.registry.Put(kConfigKey, L"OptWinS", c.winS);
        f.Start();
        f.host.events.erase(f.host.events.begin(), f.host.events.begin() + 2);  // the copy check, the directory
        EXPECT_EQ(f.host.events, c.events) << "OptLogo " << std::wstring(c.logo).size();
    }
}

// Judged for a window of the default 1640 x 620 (a third of its area: 338933 square twips); the primary monitor is
// the fixture's 15360 x 11520, whose centred default is (6860, 5450).
TEST(Startup, AStoredPlaceIsKeptWhereverTheWindowShowsOnAMonitor) {
    const RectTwips primary{0, 0, 15360, 11520}, left{-19200, 0, 19200, 14400}, above{0, -11520, 15360, 11520},
        right{15360, 0, 15360, 11520};
    const struct {
        const char* what;
        MonitorList monitors;
        std::wstring_view left, top, wantLeft, wantTop;
    } cases[] = {
        {"left of the primary", {primary, left}, L"-10000", L"3000", L"-10000", L"3000"},
        {"above the primary", {primary, above}, L"4000", L"-6000", L"4000", L"-6000"},
        {"on a monitor that has gone", {primary}, L"-10000", L"3000", L"6860", L"5450"},
        {"one third shows, just", {primary}, L"-1093", L"1000", L"-1093", L"1000"},
        {"just under a third shows", {primary}, L"-1094", L"1000", L"6860", L"5450"},
        // 40 % of the height shows, half of it on each monitor: the monitors count together.
        {"across two monitors", {primary, right}, L"14540", L"11272", L"14540", L"11272"},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.host.monitors = c.monitors;
        f.registry.Put(kPositionKey, L"T_Left", c.left);
        f.registry.Put(kPositionKey, L"T_Top", c.top);
        f.Start();
        EXPECT_EQ(f.app.Settings.T_Left, c.wantLeft) << c.what;
        EXPECT_EQ(f.app.Settings.T_Top, c.wantTop) << c.what;
        EXPECT_EQ(f.registry.Get(kPositionKey, L"T_Top"), std::wstring(c.top)) << "registry keeps it";
    }
}

TEST(Startup, LevelButtonTipsShowTheRepairedLevel) {
    Fixture f;
    f.registry.Put(kConfigKey, L"OptTou", L"250");
    f.Start();
    EXPECT_EQ(f.app.Toolbar.ToolbarTip[0], L" 現在の透明度 80 ");
    EXPECT_EQ(f.app.Toolbar.ToolbarTip[1], L" 現在の透明度 80 ");
    EXPECT_EQ(f.app.Toolbar.ToolbarIcon[3], L"on.ico");
}

TEST(Startup, RefusedWritesLeaveTheDefaultsInMemory) {
    Fixture f;
    f.registry.refuseWrites = true;
    f.Start();
    EXPECT_EQ(f.app.Settings.OptTou, L"20");
    EXPECT_EQ(f.app.Settings.OptNin, L"1");
    EXPECT_EQ(f.registry.values.size(), 0u);
}

TEST(PositionDefault, CentresA1640By620WindowInAWideInteger) {
    const struct {
        double screen, window;
        long long want;
    } cases[] = {
        {15360, 1640, 6860},     // 1024 px at 96 dpi
        {11520, 620, 5450},      // 768 px
        {28800, 1640, 13580},    // 1920 px
        {1641, 1640, 0},         // 0.5 rounds to the even 0
        {1643, 1640, 2},         // 1.5 rounds to 2
        {100000, 1640, 49180},   // past what 16 bits hold
        {1000, 1640, -320},      // a screen smaller than the window
        {1e300, 1640, INT_MAX},  // held at the limit, no overflow
    };
    for (const auto& c : cases)
        EXPECT_EQ(PositionDefault(c.screen, c.window), c.want) << "screen " << c.screen;
}

TEST(Startup, HelpPathOnADriveRootHasOneSeparator) {
    EXPECT_EQ(JoinPath(L"C:\\", L"VITRELL.HLP"), L"C:\\VITRELL.HLP");
    EXPECT_EQ(JoinPath(L"D:\\Apps", L"VITRELL.HLP"), L"D:\\Apps\\VITRELL.HLP");
}

// The engine switch across runs: stored inverted at exit, toggled back by the main window's load.
class FakeExitHost final : public IExitHost {
  public:
    RectTwips MainWindowRect() override { return rect; }
    void CloseSettingsDialog() override { events.push_back(L"close settings"); }
    void UnloadMainWindow() override { events.push_back(L"unload"); }
    RectTwips rect{1234.5, 567, 1810, 1000};
    std::vector<std::wstring> events;
};

void LoadMainWindowSwitch(AppContext& app) {
    SwitchEngine(app.Settings, app.Store, app.Toolbar);
}

TEST(EngineSwitchAcrossRuns, FirstStartIsOnAndExitRestoresTheStateOfTheMoment) {
    FakeRegistry registry;
    {
        AppContext app(registry);
        FakeStartupHost host;
        Main(app, host);
        LoadMainWindowSwitch(app);
        EXPECT_EQ(app.Settings.OptOn_Off, L"1");
        EXPECT_EQ(registry.Get(kConfigKey, L"OptOn_Off"), std::optional<std::wstring>(L"1"));
        FakeExitHost exitHost;
        ExitApplication(app, exitHost);  // on at exit
        EXPECT_EQ(registry.Get(kConfigKey, L"OptOn_Off"), std::optional<std::wstring>(L"0"));
    }
    {
        AppContext app(registry);
        FakeStartupHost host;
        Main(app, host);
        LoadMainWindowSwitch(app);
        EXPECT_EQ(app.Settings.OptOn_Off, L"1") << "on again after a normal exit while on";
        LoadMainWindowSwitch(app);  // the user switches off
        FakeExitHost exitHost;
        ExitApplication(app, exitHost);
        EXPECT_EQ(registry.Get(kConfigKey, L"OptOn_Off"), std::optional<std::wstring>(L"1"));
    }
    {
        AppContext app(registry);
        FakeStartupHost host;
        Main(app, host);
        LoadMainWindowSwitch(app);
        EXPECT_EQ(app.Settings.OptOn_Off, L"0") << "off again after a normal exit while off";
    }
}

TEST(ExitApplication, WritesPositionThenSwitchThenClosesWindows) {
    FakeRegistry registry;
    AppContext app(registry);
    app.Settings.OptOn_Off = L"1";
    app.Settings.T_Top = L"100";
    FakeExitHost host;
    ExitApplication(app, host);
    const std::vector<FakeRegistry::Write> want = {
        {kPositionKey, L"T_Top", L"567"}, {kPositionKey, L"T_Left", L"1234.5"}, {kConfigKey, L"OptOn_Off", L"0"}};
    EXPECT_EQ(registry.writes, want);
    EXPECT_EQ(app.Settings.T_Top, L"100") << "the position goes to the store only";
    EXPECT_EQ(host.events, (std::vector<std::wstring>{L"close settings", L"unload"}));
}

TEST(ExitApplication, AnyTextButZeroCountsAsOn) {
    const struct {
        const wchar_t* before;
        const wchar_t* stored;
    } cases[] = {{L"0", L"1"}, {L"1", L"0"}, {L"", L"0"}, {L"yes", L"0"}, {L"00", L"0"}};
    for (const auto& c : cases) {
        FakeRegistry registry;
        AppContext app(registry);
        app.Settings.OptOn_Off = c.before;
        FakeExitHost host;
        ExitApplication(app, host);
        EXPECT_EQ(registry.Get(kConfigKey, L"OptOn_Off"), std::optional<std::wstring>(c.stored));
    }
}

}  // namespace
}  // namespace vitrell

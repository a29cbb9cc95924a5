// The four buttons along the bottom and the two routines that store and apply what the dialog shows.
#include <gtest/gtest.h>

#include "tests/fakes/settings_dialog_fixture.h"
#include "tests/invariants.h"

namespace vitrell {
namespace {

using testing::DialogFixture;
using testing::FakeRegistry;
using testing::Joined;
using testing::kConfigKey;
using testing::kPositionKey;

using Lines = std::vector<std::wstring>;
using Writes = std::vector<FakeRegistry::Write>;

constexpr int kOk = static_cast<int>(CommandButton::Ok);
constexpr int kCancel = static_cast<int>(CommandButton::Cancel);
constexpr int kApply = static_cast<int>(CommandButton::Apply);
constexpr int kHelp = static_cast<int>(CommandButton::Help);

// Names of the values written, in order.
std::vector<std::wstring> Names(const Writes& writes) {
    std::vector<std::wstring> names;
    for (const auto& w : writes)
        names.push_back(w.name);
    return names;
}

const Lines kEnvKeys = {L"OptLogo", L"OptMBar",  L"OptTBar", L"OptCent", L"OptTemae",
                        L"OptJib",  L"OptTBar2", L"OptLAct", L"OptLATab"};
const Lines kInitKeys = {L"OptNin", L"OptTou", L"OptTou2"};

Lines Concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(SettingsDialogButtons, EachButtonStoresWhatItsTabOwnsInOrder) {
    const struct {
        const char* name;
        int tab;
        int button;
        Lines wantKeys;
        bool wantUnload;
    } cases[] = {
        {"OK on tab 0", 0, kOk, Concat(kEnvKeys, kInitKeys), true},
        {"OK on tab 1 runs both", 1, kOk, Concat(kEnvKeys, kInitKeys), true},
        {"Apply on tab 0", 0, kApply, kEnvKeys, false},
        {"Apply on tab 1", 1, kApply, kInitKeys, false},
        {"Cancel", 0, kCancel, {}, true},
        {"Help", 1, kHelp, {}, false},
    };
    for (const auto& c : cases) {
        DialogFixture f;
        f.Load();
        f.dialog.SetTab(c.tab);
        f.log.clear();
        f.dialog.Command1_Click(c.button);
        EXPECT_EQ(Names(f.registry.writes), c.wantKeys)
            << c.name << ": " << ::testing::PrintToString(Joined(Names(f.registry.writes)));
        EXPECT_EQ(!f.log.empty() && f.log.back() == L"unload", c.wantUnload) << c.name;
        EXPECT_EQ(f.dialog.Unloaded(), c.wantUnload) << c.name;
    }
}

TEST(SettingsDialogButtons, ApplyOnOneTabLeavesTheOtherTabsEditsInTheControls) {
    DialogFixture f;
    f.Load();
    f.dialog.SetCheck(0, false);  // OptLogo off, on tab 0
    f.dialog.SetSpinner(1, 42);   // OptTou, on tab 1
    f.dialog.SetTab(1);
    f.dialog.Command1_Click(kApply);
    EXPECT_EQ(f.Stored(kConfigKey, L"OptTou"), L"42");
    EXPECT_EQ(f.Stored(kConfigKey, L"OptLogo"), L"1");
    EXPECT_EQ(f.app.Settings.OptLogo, L"1");

    f.registry.writes.clear();
    f.dialog.SetTab(0);
    f.dialog.SetSpinner(1, 43);
    f.dialog.Command1_Click(kApply);
    EXPECT_EQ(f.Stored(kConfigKey, L"OptLogo"), L"0");
    EXPECT_EQ(f.Stored(kConfigKey, L"OptTou"), L"42") << "apply on tab 0 must not store the spinners";
    EXPECT_EQ(f.app.Settings.OptTou, L"42");

    // OK afterwards stores the spinner left on the other tab.
    f.dialog.Command1_Click(kOk);
    EXPECT_EQ(f.Stored(kConfigKey, L"OptTou"), L"43");
}

TEST(SettingsDialogButtons, OkWritesEveryValueExactlyAsShown) {
    DialogFixture f;
    f.app.Settings.OptNin = L"2.5";
    f.app.Settings.OptJib = L"1";
    f.Load();
    f.dialog.SetCheck(0, false);
    f.dialog.SetCheck(2, false);
    f.dialog.SetCheck(7, false);
    f.dialog.SetSpinner(1, 33);
    f.dialog.SetSpinner(2, 4);
    f.dialog.SetTab(1);
    f.dialog.Command1_Click(kOk);
    const Writes want = {
        {kConfigKey, L"OptLogo", L"0"},   {kConfigKey, L"OptMBar", L"1"},  {kConfigKey, L"OptTBar", L"1"},
        {kPositionKey, L"OptCent", L"0"}, {kConfigKey, L"OptTemae", L"0"}, {kConfigKey, L"OptJib", L"1"},
        {kConfigKey, L"OptTBar2", L"0"},  {kConfigKey, L"OptLAct", L"1"},  {kConfigKey, L"OptLATab", L"1"},
        {kConfigKey, L"OptNin", L"2"},    {kConfigKey, L"OptTou", L"33"},  {kConfigKey, L"OptTou2", L"4"},
    };
    EXPECT_EQ(f.registry.writes, want) << ::testing::PrintToString(Joined(Names(f.registry.writes)));
    for (const auto& w : f.registry.writes)
        EXPECT_TRUE(testing::WithinDialogRange(w.name, w.text)) << ::testing::PrintToString(w.name + L"=" + w.text);
    EXPECT_EQ(f.app.Settings.OptNin, L"2");
    EXPECT_EQ(f.app.Settings.OptJib, L"1");
}

TEST(SettingsDialogButtons, HiddenBoxRoundTripsOptJib) {
    for (const wchar_t* jib : {L"0", L"1"}) {
        DialogFixture f;
        f.app.Settings.OptJib = jib;
        f.Load();
        EXPECT_EQ(f.dialog.Check(3), FlagOn(jib));
        f.dialog.Command1_Click(kOk);
        EXPECT_EQ(f.Stored(kConfigKey, L"OptJib"), jib);
    }
}

TEST(SettingsDialogApply, LayoutAndCentringFollowTheBoxes) {
    const struct {
        const char* name;
        bool box1, box4, box5;
        RectTwips window;  // before the layout gives it its new height
        Lines want;        // what the main window is asked, in order
        const wchar_t* wantCent;
        RectTwips monitor{0, 0, 15360, 11520};  // the one that holds the main window
    } cases[] = {
        {"not centred, left where it is", false, true, true, {300, 450, 1640, 620}, {L"layout toolbar=1 menu=1"}, L"0"},
        {"not centred but at exactly (0, 0)",
         false,
         true,
         true,
         {0, 0, 1640, 620},
         {L"layout toolbar=1 menu=1", L"move 6860 5260"},
         L"0"},
        {"at (0, 1) is not the corner", false, true, true, {0, 1, 1640, 620}, {L"layout toolbar=1 menu=1"}, L"0"},
        {"centred for its new, taller size",
         true,
         true,
         true,
         {300, 450, 1640, 620},
         {L"layout toolbar=1 menu=1", L"move 6860 5260"},
         L"1"},
        {"centred for the low size, halves kept",
         true,
         true,
         false,
         {300, 450, 1641, 1000},
         {L"layout toolbar=0 menu=1", L"move 6859.5 5450"},
         L"1"},
        {"menu bar hidden under a shown toolbar",
         false,
         false,
         true,
         {300, 450, 1640, 620},
         {L"layout toolbar=1 menu=0"},
         L"0"},
        {"centred on a monitor left of the primary",
         true,
         true,
         true,
         {-9000, 450, 1640, 620},
         {L"layout toolbar=1 menu=1", L"move -8500 -4740"},
         L"1",
         {-15360, -10000, 15360, 11520}},
    };
    for (const auto& c : cases) {
        DialogFixture f;
        f.app.Settings.OptCent = FlagText(c.box1);
        f.app.Settings.OptMBar = FlagText(c.box4);
        f.app.Settings.OptTBar = FlagText(c.box5);
        f.app.Settings.OptTBar2 = L"0";
        f.host.window = c.window;
        f.host.monitor = c.monitor;
        f.Load();
        f.dialog.ApplyEnvSettings();
        EXPECT_EQ(f.log, c.want) << c.name << ": " << ::testing::PrintToString(Joined(f.log));
        EXPECT_EQ(f.Stored(kPositionKey, L"OptCent"), c.wantCent) << c.name;
        EXPECT_EQ(f.app.Settings.OptCent, c.wantCent) << c.name;
    }
}

TEST(SettingsDialogApply, ButtonLayoutIsSavedOnlyWithItsBoxAndAfterItsFlag) {
    for (bool box7 : {false, true}) {
        DialogFixture f;
        f.app.Settings.OptTBar2 = FlagText(box7);
        f.Load();
        f.dialog.ApplyEnvSettings();
        const bool saved = std::find(f.log.begin(), f.log.end(), L"save toolbar") != f.log.end();
        EXPECT_EQ(saved, box7) << "box 7 " << box7;
        EXPECT_EQ(f.Stored(kConfigKey, L"OptTBar2"), FlagText(box7));
    }
}

TEST(SettingsDialogApply, LastTabIsStoredOnlyWhileItsBoxIsChecked) {
    const struct {
        bool box6;
        int tab;
        const wchar_t* wantLATab;
        bool wantWritten;
    } cases[] = {{false, 1, L"0", false}, {false, 0, L"0", false}, {true, 1, L"1", true}, {true, 0, L"0", true}};
    for (const auto& c : cases) {
        DialogFixture f;
        f.app.Settings.OptLAct = FlagText(c.box6);
        f.app.Settings.OptLATab = L"0";
        f.Load();
        f.dialog.SetTab(c.tab);
        f.dialog.Command1_Click(kOk);
        EXPECT_EQ(f.app.Settings.OptLATab, c.wantLATab) << "box 6 " << c.box6 << " tab " << c.tab;
        const auto names = Names(f.registry.writes);
        const bool written = std::find(names.begin(), names.end(), L"OptLATab") != names.end();
        EXPECT_EQ(written, c.wantWritten) << "box 6 " << c.box6 << " tab " << c.tab;
    }
}

TEST(SettingsDialogApply, OptLActOffKeepsAnOddOptLATabUntouched) {
    DialogFixture f;
    f.app.Settings.OptLAct = L"0";
    f.app.Settings.OptLATab = L"7";
    f.Load();
    EXPECT_EQ(f.dialog.Tab(), 1);
    f.dialog.Command1_Click(kOk);
    EXPECT_EQ(f.app.Settings.OptLATab, L"7");
}

TEST(SettingsDialogApply, SpinnersDoNotFollowLevelChangesMadeElsewhere) {
    DialogFixture f;
    f.Load();
    f.app.Settings.OptTou = L"25";  // the toolbar raised the level while the dialog was open
    f.dialog.SetTab(1);
    f.dialog.Command1_Click(kApply);
    EXPECT_EQ(f.app.Settings.OptTou, L"20");
    EXPECT_EQ(f.Stored(kConfigKey, L"OptTou"), L"20");
}

// The topic of the shown tab: its context number in WinHelp, its page of the .chm in HTML Help.
TEST(SettingsDialogButtons, HelpAsksForTheTopicOfTheShownTab) {
    const std::wstring hlp = L"C:\\Tools\\VITRELL\\VITRELL.HLP", chm = L"C:\\Tools\\VITRELL\\VITRELL.chm";
    const struct {
        std::uint32_t major, minor;
        bool chmThere, loads;
        int tab;
        HelpCall want;
    } rows[] = {
        {5, 0, true, true, 0, {HelpViewer::kWinHelp, hlp, kHelpContext, 24}},
        {5, 1, true, true, 1, {HelpViewer::kWinHelp, hlp, kHelpContext, 25}},
        {5, 2, true, true, 0, {HelpViewer::kWinHelp, hlp, kHelpContext, 24}},
        {6, 0, true, true, 0, {HelpViewer::kHtmlHelp, chm + L"::/settings_environment.htm", kHhDisplayTopic, 0}},
        {10, 0, true, true, 1, {HelpViewer::kHtmlHelp, chm + L"::/settings_initial.htm", kHhDisplayTopic, 0}},
        {10, 0, false, true, 1, {HelpViewer::kWinHelp, hlp, kHelpContext, 25}},
        {6, 0, true, false, 0, {HelpViewer::kWinHelp, hlp, kHelpContext, 24}},
    };
    for (const auto& row : rows) {
        DialogFixture f;
        f.help.version = {2, row.major, row.minor};
        if (row.chmThere)
            f.help.files.insert(chm);
        f.help.htmlHelpLoads = row.loads;
        f.Load();
        f.dialog.SetTab(row.tab);
        f.log.clear();
        f.dialog.Command1_Click(kHelp);
        EXPECT_EQ(f.help.calls, std::vector<HelpCall>{row.want}) << row.major << "." << row.minor << " tab " << row.tab;
        EXPECT_EQ(f.help.owners, std::vector<WindowHandle>{testing::FakeDialogView::kOwner});
        EXPECT_TRUE(f.log.empty());
        EXPECT_FALSE(f.dialog.Unloaded());
    }
}

TEST(SettingsDialogButtons, ClicksQueuedBehindOkOrCancelDoNothing) {
    for (int first : {kOk, kCancel}) {
        DialogFixture f;
        f.Load();
        f.dialog.Command1_Click(first);
        const size_t writes = f.registry.writes.size();
        for (int later : {kApply, kOk, kCancel, kHelp, kApply})
            f.dialog.Command1_Click(later);
        EXPECT_EQ(f.registry.writes.size(), writes) << "after button " << first;
        EXPECT_EQ(std::count(f.log.begin(), f.log.end(), L"unload"), 1) << "after button " << first;
        EXPECT_TRUE(f.help.calls.empty()) << "after button " << first;
    }
}

TEST(SettingsDialogButtons, UnknownButtonIndexDoesNothing) {
    for (int index : {-1, 4, 1000}) {
        DialogFixture f;
        f.Load();
        f.dialog.Command1_Click(index);
        EXPECT_TRUE(f.registry.writes.empty()) << "index " << index;
        EXPECT_TRUE(f.log.empty()) << "index " << index;
    }
}

}  // namespace
}  // namespace vitrell

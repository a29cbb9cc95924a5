// The dialog's controls before anything is committed: loading, the menu-bar/toolbar rule, the spinners
// and the reset button.
#include <gtest/gtest.h>

#include "tests/fakes/settings_dialog_fixture.h"

namespace vitrell {
namespace {

using testing::DialogFixture;
using testing::Joined;
using testing::kConfigKey;

using Lines = std::vector<std::wstring>;

TEST(SettingsDialogLoad, BoxesFollowTheirOrderAndRaiseClicksOnlyOnChange) {
    const struct {
        const char* name;
        // OptLogo, OptCent, OptTemae, OptJib, OptMBar, OptTBar, OptLAct, OptTBar2
        const wchar_t* flags[8];
        Lines want;  // the box part of the log
    } cases[] = {
        {"defaults",
         {L"1", L"0", L"1", L"0", L"1", L"1", L"1", L"1"},
         {L"check 0 1", L"check 1 0", L"check 2 1", L"check 3 0", L"check 4 1", L"check 5 1", L"check 7 1",
          L"check 6 1"}},
        // Both bars off in memory: the first box that changes raises the rule, which forces box 4 at once.
        {"rule raised by box 0",
         {L"1", L"0", L"0", L"0", L"0", L"0", L"0", L"0"},
         {L"check 0 1", L"box 設定確認", L"box 強制設定", L"check 4 1", L"check 1 0", L"check 2 0", L"check 3 0",
          L"check 4 1", L"check 5 0", L"check 7 0", L"check 6 0"}},
        // Box 6 is set after box 7, so only its click finds the rule broken.
        {"rule raised by box 6 last",
         {L"0", L"0", L"0", L"0", L"0", L"0", L"1", L"0"},
         {L"check 0 0", L"check 1 0", L"check 2 0", L"check 3 0", L"check 4 0", L"check 5 0", L"check 7 0",
          L"check 6 1", L"box 設定確認", L"box 強制設定", L"check 4 1"}},
        // Nothing changes state, so nothing is clicked: the rule still runs once every box is in, or OK would
        // store both bars off.
        {"all clear meets the rule at the end",
         {L"0", L"0", L"0", L"0", L"0", L"0", L"0", L"0"},
         {L"check 0 0", L"check 1 0", L"check 2 0", L"check 3 0", L"check 4 0", L"check 5 0", L"check 7 0",
          L"check 6 0", L"box 設定確認", L"box 強制設定", L"check 4 1"}},
        // Any text but "1" hides its bar: edited texts meet the rule as "0" does.
        {"edited bar texts count as off",
         {L"1", L"0", L"0", L"0", L"abc", L"", L"0", L"0"},
         {L"check 0 1", L"box 設定確認", L"box 強制設定", L"check 4 1", L"check 1 0", L"check 2 0", L"check 3 0",
          L"check 4 1", L"check 5 0", L"check 7 0", L"check 6 0"}},
        // Only exactly "1" checks a box.
        {"texts other than 1 are clear",
         {L"2", L" 1", L"1 ", L"true", L"1", L"01", L"", L"1.0"},
         {L"check 0 0", L"check 1 0", L"check 2 0", L"check 3 0", L"check 4 1", L"check 5 0", L"check 7 0",
          L"check 6 0"}},
    };
    for (const auto& c : cases) {
        DialogFixture f;
        SettingsRecord& s = f.app.Settings;
        std::wstring* fields[] = {&s.OptLogo, &s.OptCent, &s.OptTemae, &s.OptJib,
                                  &s.OptMBar, &s.OptTBar, &s.OptLAct,  &s.OptTBar2};
        for (int i = 0; i < 8; ++i)
            *fields[i] = c.flags[i];
        f.dialog.Form_Load();
        Lines boxes;
        for (const auto& line : f.log)
            if (line.starts_with(L"check") || line.starts_with(L"box"))
                boxes.push_back(line);
        EXPECT_EQ(boxes, c.want) << c.name << ": got " << ::testing::PrintToString(Joined(boxes));
        EXPECT_TRUE(f.registry.writes.empty()) << c.name << ": loading wrote " << f.registry.writes.size();
    }
}

TEST(SettingsDialogLoad, LabelShowsTheStoredTextThenTheSpinnersWholeNumber) {
    DialogFixture f;
    f.app.Settings.OptNin = L"3";
    f.app.Settings.OptTou = L"20.5";
    f.app.Settings.OptTou2 = L"abc";
    f.dialog.Form_Load();
    Lines rest;
    for (const auto& line : f.log)
        if (!line.starts_with(L"check"))
            rest.push_back(line);
    const Lines want = {L"tab 0",     L"label 0 3",  L"spin 0 3",    L"label 0 3", L"label 1 20.5",
                        L"spin 1 20", L"label 1 20", L"label 2 abc", L"spin 2 0",  L"label 2 0"};
    EXPECT_EQ(rest, want) << ::testing::PrintToString(Joined(rest));
}

TEST(SettingsDialogLoad, EditedValuesAreRoundedAndClampedIntoTheControls) {
    const struct {
        const wchar_t* nin;
        const wchar_t* tou;
        const wchar_t* tou2;
        int wantNin, wantTou, wantTou2;
    } cases[] = {
        {L"1", L"20", L"0", 1, 20, 0},
        {L"30", L"100", L"100", 30, 100, 100},
        {L"0", L"-5", L"150", 1, 0, 100},
        {L"31", L"100.5", L"-0.5", 30, 100, 0},
        {L"2.5", L"20.5", L"21.5", 2, 20, 22},
        {L"", L"abc", L"  7xyz", 1, 0, 7},
        {L"1e999", L"0x10", L"+40", 1, 0, 40},
        {L"99999999999999999999999", L"-99999999999999999999999", L"1.7976931348623157e308", 30, 0, 2},
        {L"-2147483649", L"2147483648", L"4294967296", 1, 100, 100},
    };
    for (const auto& c : cases) {
        DialogFixture f;
        f.app.Settings.OptNin = c.nin;
        f.app.Settings.OptTou = c.tou;
        f.app.Settings.OptTou2 = c.tou2;
        f.dialog.Form_Load();
        const int want[] = {c.wantNin, c.wantTou, c.wantTou2};
        const wchar_t* stored[] = {c.nin, c.tou, c.tou2};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(f.dialog.Spinner(i), want[i]) << "spinner " << i << " for \"" << stored[i] << "\"";
            // The read-out never shows anything but the value OK would store.
            EXPECT_EQ(f.dialog.Label(i), std::to_wstring(want[i])) << "label " << i << " for \"" << stored[i] << "\"";
        }
    }
}

TEST(SettingsDialogLoad, TabComesFromOptLATabWhateverOptLActHolds) {
    const struct {
        const wchar_t* latab;
        const wchar_t* lact;
        int want;
    } cases[] = {
        {L"0", L"1", 0},
        {L"1", L"1", 1},
        {L"1", L"0", 1},
        {L"2", L"1", 1},
        {L"-1", L"1", 0},
        {L"abc", L"1", 0},
        {L"", L"0", 0},
        {L"0.5", L"1", 0},
        {L"0.6", L"1", 1},
        {L"1.5", L"1", 1},
        {L"99999999999999999999", L"1", 1},
    };
    for (const auto& c : cases) {
        DialogFixture f;
        f.app.Settings.OptLATab = c.latab;
        f.app.Settings.OptLAct = c.lact;
        f.dialog.Form_Load();
        EXPECT_EQ(f.dialog.Tab(), c.want) << "OptLATab \"" << c.latab << "\" OptLAct " << c.lact;
        EXPECT_EQ(f.app.Settings.OptLATab, c.latab) << "loading must not rewrite OptLATab";
    }
}

TEST(SettingsDialogRule, MenuBarComesBackWhicheverBoxIsClearedSecond) {
    const struct {
        const char* name;
        const wchar_t* mbar;  // as loaded
        const wchar_t* tbar;
        int cleared;
        bool wantBox4, wantBox5;
        const wchar_t* wantMBar;
        const wchar_t* wantTBar;
        bool wantMessages;
    } cases[] = {
        {"clear menu bar, toolbar off", L"1", L"0", 4, true, false, L"1", L"0", true},
        {"clear toolbar, menu bar off", L"0", L"1", 5, true, false, L"1", L"0", true},
        {"clear menu bar, toolbar on", L"1", L"1", 4, false, true, L"0", L"1", false},
        {"clear toolbar, menu bar on", L"1", L"1", 5, true, false, L"1", L"0", false},
        // An edited toolbar text other than "1" hides the toolbar: clearing the menu bar meets the rule.
        {"clear menu bar, toolbar text edited", L"1", L"abc", 4, true, false, L"1", L"abc", true},
    };
    for (const auto& c : cases) {
        DialogFixture f;
        f.app.Settings.OptMBar = c.mbar;
        f.app.Settings.OptTBar = c.tbar;
        f.Load();
        f.dialog.SetCheck(c.cleared, false);
        EXPECT_EQ(f.dialog.Check(4), c.wantBox4) << c.name;
        EXPECT_EQ(f.dialog.Check(5), c.wantBox5) << c.name;
        EXPECT_EQ(f.app.Settings.OptMBar, c.wantMBar) << c.name;
        EXPECT_EQ(f.app.Settings.OptTBar, c.wantTBar) << c.name;
        const Lines wantTexts =
            c.wantMessages ? Lines{std::wstring(kBothHiddenText), std::wstring(kForcedText)} : Lines{};
        EXPECT_EQ(f.view.texts, wantTexts) << c.name << ": " << ::testing::PrintToString(Joined(f.view.texts));
        if (c.wantMessages) {
            // The first box, then the second, then box 4 on screen: in that order.
            const Lines wantTail = {L"box 設定確認", L"box 強制設定", L"check 4 1"};
            ASSERT_GE(f.log.size(), wantTail.size()) << c.name;
            EXPECT_EQ(Lines(f.log.end() - 3, f.log.end()), wantTail)
                << c.name << ": " << ::testing::PrintToString(Joined(f.log));
        }
        EXPECT_TRUE(f.registry.writes.empty()) << c.name << ": the rule stores nothing";
    }
}

TEST(SettingsDialogRule, OtherBoxesNeverTouchTheBarFlags) {
    for (int box : {0, 1, 2, 3, 6, 7}) {
        DialogFixture f;
        f.app.Settings.OptMBar = L"1";
        f.app.Settings.OptTBar = L"0";
        f.Load();
        f.dialog.SetCheck(box, !f.dialog.Check(box));
        f.dialog.SetCheck(box, !f.dialog.Check(box));
        EXPECT_EQ(f.app.Settings.OptMBar, L"1") << "box " << box;
        EXPECT_EQ(f.app.Settings.OptTBar, L"0") << "box " << box;
        EXPECT_TRUE(f.view.texts.empty()) << "box " << box;
    }
}

TEST(SettingsDialogRule, CancelAfterClearingTheMenuBarKeepsItClearInMemoryOnly) {
    DialogFixture f;
    f.Load();
    f.dialog.SetCheck(4, false);
    f.dialog.Command1_Click(static_cast<int>(CommandButton::Cancel));
    EXPECT_EQ(f.log.back(), L"unload");
    EXPECT_EQ(f.app.Settings.OptMBar, L"0");
    EXPECT_EQ(f.Stored(kConfigKey, L"OptMBar"), L"1");
    EXPECT_TRUE(f.registry.writes.empty());

    // The next opening starts from memory, not from the store.
    testing::EventLog log;
    testing::FakeDialogView view{log};
    SettingsDialog next(f.app, f.host, view);
    next.Form_Load();
    EXPECT_FALSE(next.Check(4));
    EXPECT_TRUE(next.Check(5));
}

TEST(SettingsDialogSpinners, ChangeRewritesOnlyItsReadOutAndStaysInRange) {
    const struct {
        int index, set, want;
    } cases[] = {
        {0, 5, 5}, {0, 0, 1}, {0, 31, 30}, {1, 55, 55}, {1, -1, 0}, {1, 101, 100}, {2, 100, 100}, {2, -7, 0},
    };
    for (const auto& c : cases) {
        DialogFixture f;
        f.app.Settings.OptNin = L"2";
        f.app.Settings.OptTou = L"20";
        f.app.Settings.OptTou2 = L"10";
        f.Load();
        f.dialog.SetSpinner(c.index, c.set);
        EXPECT_EQ(f.dialog.Spinner(c.index), c.want) << "spinner " << c.index << " set to " << c.set;
        EXPECT_EQ(f.dialog.Label(c.index), std::to_wstring(c.want)) << "spinner " << c.index << " set to " << c.set;
        EXPECT_TRUE(f.registry.writes.empty()) << "spinner " << c.index;
        EXPECT_EQ(f.app.Settings.OptNin, L"2");
        EXPECT_EQ(f.app.Settings.OptTou, L"20");
        EXPECT_EQ(f.app.Settings.OptTou2, L"10");
    }
}

TEST(SettingsDialogReset, TakesTheShownInitialLevelAndStoresItAtOnce) {
    DialogFixture f;
    f.app.Settings.OptTou = L"20";
    f.app.Settings.OptTou2 = L"5";
    f.Load();
    f.dialog.SetSpinner(2, 35);  // shown, not stored
    f.log.clear();
    f.dialog.Command3_Click();
    EXPECT_EQ(f.dialog.Spinner(1), 35);
    EXPECT_EQ(f.dialog.Label(1), L"35");
    EXPECT_EQ(f.app.Settings.OptTou, L"35");
    EXPECT_EQ(f.app.Settings.OptTou2, L"5");
    const std::vector<testing::FakeRegistry::Write> want = {{kConfigKey, L"OptTou", L"35"}};
    EXPECT_EQ(f.registry.writes, want);

    // Cancel does not take it back.
    f.dialog.Command1_Click(static_cast<int>(CommandButton::Cancel));
    EXPECT_EQ(f.Stored(kConfigKey, L"OptTou"), L"35");
    EXPECT_EQ(f.app.Settings.OptTou, L"35");
    EXPECT_EQ(f.registry.writes, want);
}

TEST(SettingsDialogReset, SameLevelStillStoresAndShowsAWholeNumber) {
    DialogFixture f;
    f.app.Settings.OptTou = L"7";
    f.app.Settings.OptTou2 = L"7";
    f.Load();
    f.dialog.Command3_Click();
    EXPECT_EQ(f.dialog.Label(1), L"7");
    ASSERT_EQ(f.registry.writes.size(), 1u);
    EXPECT_EQ(f.registry.writes[0].text, L"7");
}

TEST(SettingsDialogCustomize, OpensTheToolbarsOwnDialogAndStoresNothing) {
    DialogFixture f;
    f.Load();
    f.dialog.Command2_Click();
    EXPECT_EQ(f.log, Lines{L"customize"});
    EXPECT_TRUE(f.registry.writes.empty());
}

}  // namespace
}  // namespace vitrell

// The foundation end to end: start-up's writes, the engine on real windows, bad settings, the Windows name.
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace vitrell::e2e {
namespace {

// Two periods of the default 1 s tracking timer, with room for a tick that runs late under load.
constexpr DWORD kTwoPeriodsMs = 2500;

// Target rectangles on the 1280 x 1024 desktop, clear of the main window's centred default place.
constexpr RECT kLeftTarget{40, 560, 440, 860};
constexpr RECT kRightTarget{760, 560, 1160, 860};

class Foundation : public VitrellTest {
  protected:
    // No splash: these tests are about what happens after start-up.
    void SetUp() override {
        VitrellTest::SetUp();
        ASSERT_TRUE(PutString(L"Config", L"OptLogo", L"0"));
    }
};

// The value names start-up writes on an empty store, in its order.
const std::vector<std::wstring> kFirstStartWrites = {
    L"OptLogo", L"OptCent",  L"OptTemae", L"OptJib", L"OptMBar", L"OptTBar",   L"OptTBar2",
    L"OptLAct", L"OptLATab", L"OptNin",   L"OptTou", L"OptTou2", L"OptOn_Off", L"OptWinS",
};

bool IsSettingName(const std::wstring& name) {
    for (const auto& key : kFirstStartWrites) {
        if (key == name)
            return true;
    }
    return name == L"T_Left" || name == L"T_Top";
}

std::string Join(const std::vector<std::wstring>& names) {
    std::string out;
    for (const auto& n : names) {
        if (!out.empty())
            out += ' ';
        out += Narrow(n);
    }
    return out;
}

class FirstStart : public VitrellTest {};

TEST_F(FirstStart, WritesEveryDefaultInOrderButNotThePosition) {
    Vitrell app;
    ASSERT_TRUE(app.StartTracingRegistry(20000)) << app.Error();  // with the splash: five seconds

    struct Row {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* text;
    };
    // OptOn_Off is written "0" and then flipped to "1" by the main window's load: the engine starts on.
    const Row rows[] = {
        {L"Config", L"OptLogo", L"1"},   {L"Position", L"OptCent", L"0"}, {L"Config", L"OptTemae", L"1"},
        {L"Config", L"OptJib", L"0"},    {L"Config", L"OptMBar", L"1"},   {L"Config", L"OptTBar", L"1"},
        {L"Config", L"OptTBar2", L"1"},  {L"Config", L"OptLAct", L"1"},   {L"Config", L"OptLATab", L"0"},
        {L"Config", L"OptNin", L"1"},    {L"Config", L"OptTou", L"20"},   {L"Config", L"OptTou2", L"0"},
        {L"Config", L"OptOn_Off", L"1"}, {L"Config", L"OptWinS", L"0"},
    };
    for (const Row& row : rows) {
        const auto got = GetString(row.section, row.key);
        EXPECT_EQ(got, std::wstring(row.text))
            << Narrow(row.section) << "\\" << Narrow(row.key) << " is " << (got ? Narrow(*got) : "missing");
    }
    EXPECT_FALSE(GetString(L"Position", L"T_Left")) << "T_Left written at start-up";
    EXPECT_FALSE(GetString(L"Position", L"T_Top")) << "T_Top written at start-up";

    const auto writes = app.RegistryWrites();
    if (!writes) {
        ADD_FAILURE() << "no registry trace: run the driver through scripts/e2e_run.sh";
    } else {
        std::vector<std::wstring> settings;
        for (const auto& name : *writes) {
            if (IsSettingName(name))
                settings.push_back(name);
        }
        std::vector<std::wstring> expected = kFirstStartWrites;
        expected.push_back(L"OptOn_Off");  // the load's toggle
        ASSERT_GE(settings.size(), expected.size()) << "writes: " << Join(settings);
        settings.resize(expected.size());  // later writes belong to the running program
        EXPECT_EQ(settings, expected) << "writes: " << Join(settings);
    }

    ASSERT_TRUE(app.Close()) << app.Error();
    // The exit stores the position and the inverted switch.
    EXPECT_TRUE(GetString(L"Position", L"T_Left")) << "no T_Left after exit";
    EXPECT_TRUE(GetString(L"Position", L"T_Top")) << "no T_Top after exit";
    EXPECT_EQ(GetString(L"Config", L"OptOn_Off"), std::wstring(L"0"));
}

TEST_F(Foundation, TitleBarUnderCursorGetsAlpha204AndAnotherWindowIsUntouched) {
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    TargetWindow target(kLeftTarget);
    TargetWindow other(kRightTarget);
    ASSERT_TRUE(MoveCursor(target.TitleBarPoint()));
    EXPECT_TRUE(WaitUntil([&] { return AlphaOf(target.Window()) == 204; }, kTwoPeriodsMs))
        << "target: " << AlphaText(target.Window());
    EXPECT_FALSE(IsLayered(other.Window())) << "other: " << AlphaText(other.Window());
    // It keeps its alpha after the cursor leaves.
    ASSERT_TRUE(MoveCursor(TitleBarPointOf(other.Window())));
    EXPECT_TRUE(WaitUntil([&] { return AlphaOf(other.Window()) == 204; }, kTwoPeriodsMs))
        << "other: " << AlphaText(other.Window());
    EXPECT_EQ(AlphaOf(target.Window()), 204) << "target after the cursor left: " << AlphaText(target.Window());
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(Foundation, ChildButtonStaysUntouchedWhileClientAreaAndTitleBarAreTreated) {
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    TargetWindow withButton(kLeftTarget, true);
    TargetWindow plain(kRightTarget);

    ASSERT_TRUE(MoveCursor(withButton.ButtonPoint()));
    ASSERT_EQ(WindowFromPoint(CursorPos()), withButton.Button()) << "the cursor is not on the button";
    PumpFor(kTwoPeriodsMs);
    EXPECT_FALSE(IsLayered(withButton.Button())) << "button: " << AlphaText(withButton.Button());
    EXPECT_FALSE(IsLayered(withButton.Window())) << "its window: " << AlphaText(withButton.Window());

    ASSERT_TRUE(MoveCursor(withButton.ClientPoint()));
    EXPECT_TRUE(WaitUntil([&] { return AlphaOf(withButton.Window()) == 204; }, kTwoPeriodsMs))
        << "bare client area: " << AlphaText(withButton.Window());
    EXPECT_FALSE(IsLayered(withButton.Button())) << "button: " << AlphaText(withButton.Button());

    ASSERT_TRUE(MoveCursor(plain.TitleBarPoint()));
    EXPECT_TRUE(WaitUntil([&] { return AlphaOf(plain.Window()) == 204; }, kTwoPeriodsMs))
        << "title bar: " << AlphaText(plain.Window());
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(Foundation, StoredLevelFiftyGivesAlpha128) {
    ASSERT_TRUE(PutString(L"Config", L"OptTou", L"50"));
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    TargetWindow target(kLeftTarget);
    ASSERT_TRUE(MoveCursor(target.TitleBarPoint()));
    EXPECT_TRUE(WaitUntil([&] { return AlphaOf(target.Window()) == 128; }, kTwoPeriodsMs))
        << AlphaText(target.Window());
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(Foundation, EngineSwitchedOffAtLastExitLeavesWindowsAlone) {
    // "1" is what an exit with the engine off stores; the load's toggle turns it into "0", off.
    ASSERT_TRUE(PutString(L"Config", L"OptOn_Off", L"1"));
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    EXPECT_TRUE(WaitUntil([] { return GetString(L"Config", L"OptOn_Off") == L"0"; }, 2000))
        << "OptOn_Off after the load is " << Narrow(GetString(L"Config", L"OptOn_Off").value_or(L"missing"));
    TargetWindow target(kLeftTarget);
    ASSERT_TRUE(MoveCursor(target.TitleBarPoint()));
    PumpFor(kTwoPeriodsMs);
    EXPECT_FALSE(IsLayered(target.Window())) << AlphaText(target.Window());
    ASSERT_TRUE(app.Close()) << app.Error();
    EXPECT_EQ(GetString(L"Config", L"OptOn_Off"), std::wstring(L"1")) << "off at exit is stored as 1";
}

TEST_F(Foundation, ExitWithEngineOnComesBackOn) {
    {
        Vitrell first;
        ASSERT_TRUE(first.Start()) << first.Error();
        ASSERT_TRUE(first.Close()) << first.Error();
    }
    EXPECT_EQ(GetString(L"Config", L"OptOn_Off"), std::wstring(L"0"));
    Vitrell second;
    ASSERT_TRUE(second.Start()) << second.Error();
    TargetWindow target(kLeftTarget);
    ASSERT_TRUE(MoveCursor(target.TitleBarPoint()));
    EXPECT_TRUE(WaitUntil([&] { return AlphaOf(target.Window()) == 204; }, kTwoPeriodsMs))
        << AlphaText(target.Window());
    EXPECT_TRUE(second.Close()) << second.Error();
}

// ---- Windows that paint themselves or stop answering --------------------------------------------------------------

TEST_F(Foundation, AWindowThatPaintsItselfKeepsUpdatingItselfUnderTheCursor) {
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    PerPixelWindow overlay(kLeftTarget);
    TargetWindow plain(kRightTarget);
    const POINT on = CentreOf(kLeftTarget);
    ASSERT_TRUE(MoveCursor(on));
    ASSERT_EQ(WindowFromPoint(on), overlay.Window()) << "the cursor is not on the per-pixel window";
    const LONG before = overlay.Updates();
    ASSERT_EQ(overlay.FailedUpdates(), 0) << "it cannot update itself even before the cursor came";
    PumpFor(3 * 1000 + 500);  // three tracking periods
    EXPECT_EQ(overlay.FailedUpdates(), 0) << "its own updates failed after the cursor rested on it";
    EXPECT_GT(overlay.Updates(), before + 20);
    EXPECT_EQ(AlphaOf(overlay.Window()), std::nullopt) << "given attributes: " << AlphaText(overlay.Window());
    // The engine was running all the while: the next window gets its alpha.
    ASSERT_TRUE(MoveCursor(plain.TitleBarPoint()));
    EXPECT_TRUE(WaitUntil([&] { return AlphaOf(plain.Window()) == 204; }, kTwoPeriodsMs)) << AlphaText(plain.Window());
    EXPECT_EQ(overlay.FailedUpdates(), 0);
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(Foundation, AHungWindowIsLeftAloneUntilItAnswersAndTheToolbarKeepsWorking) {
    constexpr DWORD kSleepMs = 8000;
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    HWND toolbar = FindWindowExW(app.MainWindow(), nullptr, L"ToolbarWindow32", nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ToolbarButtonCount(toolbar) == 6; }, 3000));
    const auto up = ToolbarButtonRect(app.Process(), toolbar, 1);
    ASSERT_TRUE(up.has_value());
    SleeperProcess sleeper(kLeftTarget);
    ASSERT_NE(sleeper.Window(), nullptr);

    // From the first second of its sleep the window lies under the cursor.
    ASSERT_TRUE(sleeper.Sleep(kSleepMs));
    const ULONGLONG asleep = GetTickCount64();
    ASSERT_TRUE(MoveCursor(TitleBarPointOf(sleeper.Window())));
    PumpFor(2 * 1000 + 300);
    EXPECT_FALSE(IsLayered(sleeper.Window())) << "while it sleeps: " << AlphaText(sleeper.Window());

    // Real input reaches VITRELL while the window that a tick met still sleeps.
    ASSERT_TRUE(ClickAt(CentreOf(*up)));
    EXPECT_TRUE(WaitUntil([] { return GetString(L"Config", L"OptTou") == L"21"; }, kSleepMs)) << "the click was lost";
    DWORD_PTR ignored = 0;
    EXPECT_FALSE(SendMessageTimeoutW(sleeper.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 100, &ignored))
        << "the click took effect only once the sleeping window answered again";

    // The click's own input may still move the cursor after it is put back: keep it on the window.
    // (By place: what WindowFromPoint says of a window whose thread sleeps is Wine's affair.)
    const POINT titleBar = TitleBarPointOf(sleeper.Window());
    const auto onSleeper = [&] {
        const POINT at = CursorPos();
        return (at.x == titleBar.x && at.y == titleBar.y) || MoveCursor(titleBar);
    };
    while (GetTickCount64() < asleep + kSleepMs - 500) {
        ASSERT_TRUE(onSleeper()) << "the cursor cannot be kept on the sleeping window";
        ASSERT_FALSE(IsLayered(sleeper.Window())) << "touched while asleep: " << AlphaText(sleeper.Window());
        PumpFor(200);
    }
    // Awake again: treated like any other window, with the level the click left.
    EXPECT_TRUE(WaitUntil([&] { return onSleeper() && AlphaOf(sleeper.Window()) == 201; }, 1000 + kTwoPeriodsMs))
        << "after it answers again: " << AlphaText(sleeper.Window());
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(Foundation, LevelsSteppedFromFractionsAreStoredAsWrittenAndReadBackAfterARestart) {
    struct Row {
        const wchar_t* stored;
        int downSteps;
        const wchar_t* want;
    };
    const Row rows[] = {{L"20.3", 13, L"7.3"}, {L"1.00002", 1, L"0.00002"}};
    for (const Row& row : rows) {
        ASSERT_TRUE(PutString(L"Config", L"OptTou", row.stored));
        Vitrell app;
        ASSERT_TRUE(app.Start()) << app.Error();
        HWND toolbar = FindWindowExW(app.MainWindow(), nullptr, L"ToolbarWindow32", nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ToolbarButtonCount(toolbar) == 6; }, 3000));
        const auto down = ToolbarButtonRect(app.Process(), toolbar, 0);
        ASSERT_TRUE(down.has_value());
        std::wstring level = row.stored;
        for (int i = 0; i < row.downSteps; ++i) {
            ASSERT_TRUE(ClickAt(CentreOf(*down)));
            // Each click stores a new text; wait for it before the next.
            ASSERT_TRUE(WaitUntil([&] { return GetString(L"Config", L"OptTou") != level; }, 1000)) << "step " << i;
            level = GetString(L"Config", L"OptTou").value_or(L"");
        }
        EXPECT_EQ(level, row.want);
        ASSERT_TRUE(app.Close()) << app.Error();
    }
    // The next start reads 0.00002 as it was written: one step up gives 1.00002, not 3.
    Vitrell again;
    ASSERT_TRUE(again.Start()) << again.Error();
    HWND toolbar = FindWindowExW(again.MainWindow(), nullptr, L"ToolbarWindow32", nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ToolbarButtonCount(toolbar) == 6; }, 3000));
    const auto up = ToolbarButtonRect(again.Process(), toolbar, 1);
    ASSERT_TRUE(up.has_value());
    ASSERT_TRUE(ClickAt(CentreOf(*up)));
    EXPECT_TRUE(WaitUntil([] { return GetString(L"Config", L"OptTou") == L"1.00002"; }, 1000))
        << "stored " << Narrow(GetString(L"Config", L"OptTou").value_or(L"(none)"));
    EXPECT_TRUE(again.Close()) << again.Error();
}

// ---- Bad settings: never a crash, and the alpha the clamped level implies -------------------------------------

struct Value {
    const wchar_t* section;
    const wchar_t* key;
    DWORD type;         // REG_SZ, REG_EXPAND_SZ, REG_DWORD or REG_BINARY
    std::wstring text;  // the text, or for REG_DWORD its number
};

struct BadCase {
    const char* what;
    std::vector<Value> values;
    int alpha;  // what the target's title bar gets; -1: the engine must not touch it within two periods
};

bool Put(const Value& v) {
    switch (v.type) {
        case REG_DWORD:
            return PutDword(v.section, v.key, static_cast<DWORD>(std::stoul(v.text)));
        case REG_BINARY:
            return PutBinary(v.section, v.key, std::vector<BYTE>(v.text.begin(), v.text.end()));
        default:
            return PutStringAt(SectionPath(v.section), v.key, v.text, v.type);
    }
}

std::wstring Repeat(wchar_t c, size_t n) {
    return std::wstring(n, c);
}

void RunBadCase(const BadCase& c) {
    SCOPED_TRACE(c.what);
    DeleteSettings();
    ASSERT_TRUE(PutString(L"Config", L"OptLogo", L"0"));
    for (const Value& v : c.values)
        ASSERT_TRUE(Put(v)) << "could not store " << Narrow(v.key);
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    TargetWindow target(kLeftTarget);
    ASSERT_TRUE(MoveCursor(target.TitleBarPoint()));
    if (c.alpha < 0) {
        PumpFor(kTwoPeriodsMs);
        EXPECT_FALSE(IsLayered(target.Window())) << AlphaText(target.Window());
    } else {
        EXPECT_TRUE(WaitUntil([&] { return AlphaOf(target.Window()) == c.alpha; }, kTwoPeriodsMs))
            << "want alpha " << c.alpha << ", got " << AlphaText(target.Window());
    }
    EXPECT_TRUE(app.Healthy()) << "VITRELL.exe died, exit code " << app.ExitCode().value_or(0);
    EXPECT_TRUE(app.Close()) << app.Error();
}

class BadInput : public VitrellTest {};

TEST_F(BadInput, ValuesOfAnotherTypeCountAsMissing) {
    const BadCase cases[] = {
        // Read as missing, so start-up writes the default text over them.
        {"OptTou as DWORD 50", {{L"Config", L"OptTou", REG_DWORD, L"50"}}, 204},
        {"OptTou as binary", {{L"Config", L"OptTou", REG_BINARY, L"50"}}, 204},
        {"OptTou as expandable text", {{L"Config", L"OptTou", REG_EXPAND_SZ, L"50"}}, 204},
        {"OptOn_Off as DWORD 0", {{L"Config", L"OptOn_Off", REG_DWORD, L"0"}}, 204},
        {"OptNin as DWORD 0", {{L"Config", L"OptNin", REG_DWORD, L"0"}}, 204},
        {"every key a DWORD",
         {{L"Config", L"OptLogo", REG_DWORD, L"0"},
          {L"Position", L"OptCent", REG_DWORD, L"1"},
          {L"Position", L"T_Left", REG_DWORD, L"4294967295"},
          {L"Position", L"T_Top", REG_DWORD, L"4294967295"},
          {L"Config", L"OptTemae", REG_DWORD, L"1"},
          {L"Config", L"OptMBar", REG_DWORD, L"0"},
          {L"Config", L"OptTBar", REG_DWORD, L"0"},
          {L"Config", L"OptNin", REG_DWORD, L"7"},
          {L"Config", L"OptTou", REG_DWORD, L"90"},
          {L"Config", L"OptTou2", REG_DWORD, L"90"},
          {L"Config", L"OptWinS", REG_DWORD, L"1"}},
         204},
    };
    for (const BadCase& c : cases)
        RunBadCase(c);
    EXPECT_EQ(GetTypeAt(SectionPath(L"Config"), L"OptTou"), static_cast<DWORD>(REG_SZ));
}

TEST_F(BadInput, LevelTextsGiveTheAlphaOfTheClampedLevel) {
    const BadCase cases[] = {
        {"1e999 reads as 1", {{L"Config", L"OptTou", REG_SZ, L"1e999"}}, 252},
        {"nan reads as 0", {{L"Config", L"OptTou", REG_SZ, L"nan"}}, 255},
        {"-0 is level 0", {{L"Config", L"OptTou", REG_SZ, L"-0"}}, 255},
        {"leading blanks", {{L"Config", L"OptTou", REG_SZ, L"   7"}}, 237},
        {"0x10 reads as 0", {{L"Config", L"OptTou", REG_SZ, L"0x10"}}, 255},
        {"abc reads as 0", {{L"Config", L"OptTou", REG_SZ, L"abc"}}, 255},
        {"150 is repaired to 80", {{L"Config", L"OptTou", REG_SZ, L"150"}}, 51},
        {"-5 is repaired to 0", {{L"Config", L"OptTou", REG_SZ, L"-5"}}, 255},
        {"far above 100", {{L"Config", L"OptTou", REG_SZ, L"99999999999999999999999999"}}, 51},
        {"far below 0", {{L"Config", L"OptTou", REG_SZ, L"-99999999999999999999999999"}}, 255},
        {"100 is fully transparent", {{L"Config", L"OptTou", REG_SZ, L"100"}}, 0},
        {"fraction 20.5", {{L"Config", L"OptTou", REG_SZ, L"20.5"}}, 203},
        {"400 leading zeros before 30", {{L"Config", L"OptTou", REG_SZ, Repeat(L'0', 400) + L"30"}}, 178},
        {"30000 digits", {{L"Config", L"OptTou", REG_SZ, Repeat(L'9', 30000)}}, 51},
        {"a level followed by 30000 letters",
         {{L"Config", L"OptTou", REG_SZ, std::wstring(L"30").append(30000, L'x')}},
         178},
        // A text is read however long (up to what one registry value holds), not taken for a missing one.
        {"a level followed by 70000 letters",
         {{L"Config", L"OptTou", REG_SZ, std::wstring(L"30").append(70000, L'x')}},
         178},
    };
    for (const BadCase& c : cases)
        RunBadCase(c);
}

TEST_F(BadInput, PeriodTextsNeverFailTheTimer) {
    const BadCase cases[] = {
        {"0 stops tracking", {{L"Config", L"OptNin", REG_SZ, L"0"}}, -1},
        {"-3 stops tracking", {{L"Config", L"OptNin", REG_SZ, L"-3"}}, -1},
        {"abc stops tracking", {{L"Config", L"OptNin", REG_SZ, L"abc"}}, -1},
        {"100000 s is held at the timer's limit", {{L"Config", L"OptNin", REG_SZ, L"100000"}}, -1},
        {"1e999 reads as 1 s", {{L"Config", L"OptNin", REG_SZ, L"1e999"}}, 204},
        {"half a second", {{L"Config", L"OptNin", REG_SZ, L"0.5"}}, 204},
    };
    for (const BadCase& c : cases)
        RunBadCase(c);
}

TEST_F(BadInput, OtherTextsAndPositionsNeverCrash) {
    const std::wstring longText = Repeat(L'7', 100000);
    const BadCase cases[] = {
        {"positions far off screen",
         {{L"Position", L"T_Left", REG_SZ, L"99999999999999999999"}, {L"Position", L"T_Top", REG_SZ, L"1e999"}},
         204},
        {"positions nan and huge negative",
         {{L"Position", L"T_Left", REG_SZ, L"nan"}, {L"Position", L"T_Top", REG_SZ, L"-99999999999999999999"}},
         204},
        {"very long texts everywhere",
         {{L"Position", L"OptCent", REG_SZ, longText},
          {L"Position", L"T_Left", REG_SZ, longText},
          {L"Position", L"T_Top", REG_SZ, longText},
          {L"Config", L"OptTemae", REG_SZ, longText},
          {L"Config", L"OptJib", REG_SZ, longText},
          {L"Config", L"OptMBar", REG_SZ, longText},
          {L"Config", L"OptTBar", REG_SZ, longText},
          {L"Config", L"OptTBar2", REG_SZ, longText},
          {L"Config", L"OptLAct", REG_SZ, longText},
          {L"Config", L"OptLATab", REG_SZ, longText},
          {L"Config", L"OptTou2", REG_SZ, longText},
          {L"Config", L"OptOn_Off", REG_SZ, longText},
          {L"Config", L"OptWinS", REG_SZ, longText}},
         -1},  // read as stored: a switch other than "0" was on at the last exit, so the load turns the engine off
        {"flags that are neither 0 nor 1",
         {{L"Config", L"OptWinS", REG_SZ, L"2"},
          {L"Config", L"OptOn_Off", REG_SZ, L"yes"},
          {L"Config", L"OptMBar", REG_SZ, L"-1"},
          {L"Config", L"OptLATab", REG_SZ, L"7"}},
         -1},  // "yes" counts as on at the last exit, so the load's toggle turns the engine off
    };
    for (const BadCase& c : cases)
        RunBadCase(c);
}

TEST_F(BadInput, ARegistryThatRefusesWritesLeavesTheProgramOnItsDefaults) {
    // Empty sections that nobody may write to: every default stays in memory only.
    for (const wchar_t* section : {L"Config", L"Position"})
        ASSERT_TRUE(PutStringAt(SectionPath(section), L"", L"")) << "could not make " << Narrow(section);
    for (const std::wstring& path : {std::wstring(kSettingsKey), SectionPath(L"Config"), SectionPath(L"Position")})
        ASSERT_TRUE(SetKeyReadOnly(path, true)) << Narrow(path);
    ASSERT_FALSE(PutString(L"Config", L"OptTou", L"50")) << "the key still takes writes: nothing to test";

    Vitrell app;
    ASSERT_TRUE(app.Start(20000)) << app.Error();  // the splash shows: OptLogo "1" in memory
    TargetWindow target(kLeftTarget);
    ASSERT_TRUE(MoveCursor(target.TitleBarPoint()));
    EXPECT_TRUE(WaitUntil([&] { return AlphaOf(target.Window()) == 204; }, kTwoPeriodsMs))
        << AlphaText(target.Window());
    EXPECT_TRUE(app.Healthy());
    EXPECT_FALSE(GetString(L"Config", L"OptTou")) << "a refused write was stored";
    EXPECT_TRUE(app.Close()) << app.Error();
}

// ---- The Windows name --------------------------------------------------------------------------------------------

class WindowsName : public VitrellTest {
  protected:
    void TearDown() override {
        EXPECT_TRUE(DeleteKeyTree(kProbeDefaults));
        VitrellTest::TearDown();
    }
    static constexpr wchar_t kProbeDefaults[] = L"Software\\Wine\\AppDefaults\\vitrell_os_probe.exe";
};

TEST_F(WindowsName, FollowsTheVersionWineReports) {
    struct Row {
        const wchar_t* version;  // Wine's name for the Windows version it reports
        const char* name;        // GetOSName
    };
    const Row rows[] = {
        {L"win2k", "Windows 2000"},  // NT 5.0
        {L"winxp", "Windows XP"},    // NT 5.1
        {L"winxp64", "Windows XP"},  // NT 5.2
        {L"vista", "Windows 2000"},  // NT 6.0: minor 0
        {L"win7", "Windows XP"},     // NT 6.1
        {L"win8", "Windows XP"},     // NT 6.2
        {L"nt40", "Windows NT"},     // NT 4.0
        {L"win2003", "Windows XP"},  // NT 5.2
        {L"win10", "Windows XP"},    // NT 6.2: what GetVersionEx reports to a program without a manifest
        {L"win95", "Windows 95"},    // 4.0 of the Windows 95 family
        {L"win98", "Windows 98"},    // 4.10
        {L"winme", "Windows Me"},    // 4.90
    };
    const std::wstring probe = DriverFolder() + L"\\vitrell_os_probe.exe";
    for (const Row& row : rows) {
        ASSERT_TRUE(PutStringAt(kProbeDefaults, L"Version", row.version));
        const auto out = RunAndCapture(probe, 20000);
        ASSERT_TRUE(out) << "the probe did not run: " << Narrow(probe);
        std::string name = *out;
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
            name.pop_back();
        EXPECT_EQ(name, row.name) << "under Wine's " << Narrow(row.version);
    }
}

}  // namespace
}  // namespace vitrell::e2e

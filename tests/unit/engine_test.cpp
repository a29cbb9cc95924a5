#include "engine/engine.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/fakes/fake_window_system.h"

namespace vitrell {
namespace {

using testing::FakeWindowSystem;

constexpr WindowHandle kTarget = 0x1234;
constexpr WindowHandle kOther = 0x5678;
constexpr WindowHandle kButton = 0x9abc;

struct EngineFixture {
    SettingsRecord settings;
    FakeWindowSystem system;
    Engine engine{settings, system};

    EngineFixture() {
        settings.OptOn_Off = L"1";
        settings.OptTou = L"20";
        system.windows[kTarget] = {};
        system.windows[kOther] = {};
        system.windows[kButton] = {kWsChild, 0, {}, true, false};
        system.underCursor = kTarget;
    }
};

TEST(AlphaForLevel, GivesEachLevelItsAlphaWithTiesToEven) {
    const struct {
        double level;
        int alpha;
    } cases[] = {
        {0, 255}, {10, 230}, {20, 204}, {30, 178},   {50, 128}, {70, 76}, {75, 64},   {80, 51},
        {90, 26}, {99, 3},   {100, 0},  {20.5, 203}, {-5, 255}, {150, 0}, {1e308, 0}, {-1e308, 255},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AlphaForLevel(c.level), c.alpha) << "level " << c.level;
}

TEST(AlphaForLevel, EveryWholeLevelRoundsLikeTheExactValue) {
    for (int t = 0; t <= 100; ++t) {
        // exact: (100 − t) × 255 / 100, halves to even, in integers
        const int num = (100 - t) * 255;
        int want = num / 100;
        const int rem = num % 100;
        if (rem > 50 || (rem == 50 && want % 2 == 1))
            ++want;
        EXPECT_EQ(AlphaForLevel(t), want) << "level " << t;
    }
}

TEST(TrackingInterval, SecondsBecomeMillisecondsWithinWhatTheTimerTakes) {
    const struct {
        const wchar_t* nin;
        unsigned ms;
    } cases[] = {
        {L"1", 1000},       {L"2", 2000},   {L"2.5", 2500}, {L"1.5", 1500},   {L"30", 30000},
        {L"0", 0},          {L"abc", 0},    {L"", 0},       {L"-3", 0},       {L"65.535", 65535},
        {L"100000", 65535}, {L"0.0005", 0}, {L"0.0015", 2}, {L"1e999", 1000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrackingIntervalMs(c.nin), c.ms) << "OptNin of " << std::wstring(c.nin).size() << " chars";
}

TEST(Engine, ActiveTickLayersTheTopLevelWindowUnderTheCursor) {
    const struct {
        const wchar_t* level;
        int alpha;
    } cases[] = {{L"20", 204}, {L"50", 128}, {L"0", 255}, {L"100", 0}, {L"abc", 255}, {L"250", 0}, {L"-7", 255}};
    for (const auto& c : cases) {
        EngineFixture f;
        f.settings.OptTou = c.level;
        f.engine.Timer1_Timer();
        const auto& target = f.system.windows[kTarget];
        EXPECT_TRUE(target.exStyle & kWsExLayered);
        ASSERT_TRUE(target.alpha.has_value());
        EXPECT_EQ(*target.alpha, c.alpha) << "level text of " << std::wstring(c.level).size() << " chars";
        EXPECT_FALSE(f.system.windows[kOther].alpha.has_value()) << "a window elsewhere is untouched";
        EXPECT_EQ(f.engine.TargetWindow, kTarget);
    }
}

TEST(Engine, SwitchIsOffOnlyForExactlyZero) {
    const struct {
        const wchar_t* onOff;
        bool on;
    } cases[] = {{L"0", false}, {L"1", true}, {L"", true}, {L"00", true}, {L"off", true}, {L" 0", true}};
    for (const auto& c : cases) {
        EngineFixture f;
        f.settings.OptOn_Off = c.onOff;
        f.engine.Timer1_Timer();
        EXPECT_EQ(f.system.windows[kTarget].alpha.has_value(), c.on);
        if (!c.on) {
            EXPECT_EQ(f.system.calls, 0) << "an idle tick reads nothing";
        }
    }
}

TEST(Engine, OffLeavesAnEarlierTreatedWindowAsItWas) {
    EngineFixture f;
    f.engine.Timer1_Timer();
    f.settings.OptOn_Off = L"0";
    f.settings.OptTou = L"90";
    f.engine.Timer1_Timer();
    EXPECT_EQ(*f.system.windows[kTarget].alpha, 204);
}

TEST(Engine, ChildControlsAndEmptySpotsAreLeftAlone) {
    EngineFixture f;
    f.system.underCursor = kButton;
    f.engine.Timer1_Timer();
    EXPECT_FALSE(f.system.windows[kButton].alpha.has_value());
    EXPECT_EQ(f.system.windows[kButton].exStyle, 0u);

    f.system.underCursor = 0;
    f.engine.Timer1_Timer();
    EXPECT_EQ(f.engine.TargetWindow, 0u);
}

TEST(Engine, WindowsThatPaintThemselvesOrDoNotAnswerAreLeftAsTheyAre) {
    using Window = FakeWindowSystem::Window;
    const struct {
        const char* what;
        Window window;
        bool canQueryAttributes;
        std::optional<std::uint8_t> alpha;  // after one tick at level 20
    } cases[] = {
        {"plain top-level window", {}, true, 204},
        {"per-pixel layered window", {0, kWsExLayered, {}, true, false}, true, std::nullopt},
        {"window layered with attributes", {0, kWsExLayered, 90, true, false}, true, 204},
        {"per-pixel window where the query is missing", {0, kWsExLayered, {}, true, false}, false, 204},
        {"window that does not answer", {0, 0, {}, false, false}, true, std::nullopt},
        // Its alpha can be set without waiting on it: only a style change waits.
        {"layered window that does not answer", {0, kWsExLayered, 90, false, false}, true, 204},
    };
    for (const auto& c : cases) {
        EngineFixture f;
        f.system.windows[kTarget] = c.window;
        f.system.canQueryAttributes = c.canQueryAttributes;
        f.engine.Timer1_Timer();
        const auto& target = f.system.windows[kTarget];
        EXPECT_EQ(target.alpha, c.alpha) << c.what;
        EXPECT_FALSE(target.styleWrittenWhileHung) << c.what;
        if (!c.alpha.has_value() || *c.alpha == c.window.alpha) {
            EXPECT_EQ(target.exStyle, c.window.exStyle) << c.what << ": the style is left as it was";
        }
    }
}

TEST(Engine, AWindowThatStopsAnsweringIsTreatedAgainOnceItAnswers) {
    EngineFixture f;
    f.system.windows[kTarget].answers = false;
    for (int i = 0; i < 3; ++i)
        f.engine.Timer1_Timer();
    EXPECT_FALSE(f.system.windows[kTarget].alpha.has_value());
    f.system.windows[kTarget].answers = true;
    f.engine.Timer1_Timer();
    EXPECT_EQ(f.system.windows[kTarget].alpha, 204);
    EXPECT_FALSE(f.system.windows[kTarget].styleWrittenWhileHung);
}

TEST(Engine, NewLevelReachesOnlyTheWindowUnderTheCursor) {
    EngineFixture f;
    f.engine.Timer1_Timer();
    f.system.underCursor = kOther;
    f.settings.OptTou = L"50";
    f.engine.Timer1_Timer();
    EXPECT_EQ(*f.system.windows[kTarget].alpha, 204);
    EXPECT_EQ(*f.system.windows[kOther].alpha, 128);
    for (int i = 0; i < 5; ++i)
        f.engine.Timer1_Timer();  // the alpha is applied every tick, harmlessly
    EXPECT_EQ(*f.system.windows[kOther].alpha, 128);
    EXPECT_EQ(f.system.windows[kOther].exStyle, kWsExLayered);
    EXPECT_EQ(f.system.windows[kOther].styleWrites, 1) << "a style that has the bit is not written again";
}

}  // namespace
}  // namespace vitrell

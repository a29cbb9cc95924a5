// The foundation end to end: start-up's writes, the engine on real windows, bad settings, the OS probe.
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace vitrell::e2e {
namespace {

// Two periods of the default 1 s tracking timer, plus the time a tick needs under load.
constexpr DWORD kTwoPeriodsMs = 2500;

// Target rectangles on the 1280 x 1024 desktop, clear of the main window's centred default place.
constexpr RECT kLeftTarget{40, 560, 440, 860};
constexpr RECT kRightTarget{760, 560, 1160, 860};

class Foundation : public VitrellTest {};

TEST_F(Foundation, TitleBarUnderCursorGetsAlpha204AndAnotherWindowIsUntouched) {
    Vitrell app;
    ASSERT_TRUE(app.Start()) << app.Error();
    TargetWindow target(kLeftTarget);
    TargetWindow other(kRightTarget);
    ASSERT_TRUE(MoveCursor(target.TitleBarPoint()));
    EXPECT_TRUE(WaitUntil([&] { return AlphaOf(target.Window()) == 204; }, kTwoPeriodsMs))
        << "target: " << AlphaText(target.Window());
    EXPECT_FALSE(IsLayered(other.Window())) << "other: " << AlphaText(other.Window());
    EXPECT_TRUE(app.Close()) << app.Error();
}

}  // namespace
}  // namespace vitrell::e2e

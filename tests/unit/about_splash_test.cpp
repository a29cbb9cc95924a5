#include "about/splash.h"

#include <gtest/gtest.h>

#include <map>

namespace vitrell {
namespace {

class CountingView final : public ISplashView {
  public:
    void Unload() override { ++unloads; }
    int unloads = 0;
};

TEST(Splash, TimerUnloadsExactlyOnce) {
    CountingView view;
    Splash splash(view);
    splash.Timer1_Timer();
    splash.Timer1_Timer();  // a tick already queued when the window went away
    EXPECT_EQ(view.unloads, 1);
}

// Every coloured label has its shadow 150 twips right and down (120 for the version), same size and text.
TEST(SplashLayout, EachLabelHasItsShadowAtTheOffset) {
    const struct {
        int label, shadow;
        double offset;
    } pairs[] = {{1, 0, 150}, {3, 2, 150}, {6, 4, 120}, {14, 15, 150}};
    std::map<int, const LabelSpec*> byIndex;
    for (const LabelSpec& l : Splash::Layout().labels)
        byIndex[l.index] = &l;
    for (const auto& p : pairs) {
        ASSERT_TRUE(byIndex.count(p.label) && byIndex.count(p.shadow)) << "pair " << p.label << "/" << p.shadow;
        const LabelSpec& a = *byIndex[p.label];
        const LabelSpec& s = *byIndex[p.shadow];
        EXPECT_EQ(s.rect.left - a.rect.left, p.offset) << "label " << p.label;
        EXPECT_EQ(s.rect.top - a.rect.top, p.offset) << "label " << p.label;
        EXPECT_TRUE(a.text == s.text) << "label " << p.label;
        EXPECT_TRUE(s.ink.buttonText) << "shadow " << p.shadow;
        EXPECT_FALSE(a.ink.buttonText) << "label " << p.label;
        // The shadow must be drawn first so that the coloured label lies above it.
        EXPECT_LT(&s - Splash::Layout().labels.data(), &a - Splash::Layout().labels.data()) << "label " << p.label;
    }
    EXPECT_TRUE(byIndex[1]->text == L"ビトレ");
    EXPECT_TRUE(byIndex[3]->text == L"ル");
}

}  // namespace
}  // namespace vitrell

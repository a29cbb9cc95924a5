// The window kit's own small parts that need no Windows: the owners of handles, the conversion of twips to pixels,
// and the order of the message pump's pre-translate step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/pre_translate.h"
#include "platform/twips.h"
#include "platform/unique_resource.h"

namespace vitrell {
namespace {

std::vector<int> g_closed;  // what the fake close call released, in order

int CloseFake(int h) {
    g_closed.push_back(h);
    return 1;
}
using Owner = UniqueResource<Closes<int, CloseFake>>;

// Each way ownership can go, with what is closed by the end of it.
TEST(UniqueResource, ClosesExactlyOnceWhateverPathOwnershipTakes) {
    const struct {
        const char* what;
        void (*run)();
        std::vector<int> closed;
    } cases[] = {
        {"destroyed", [] { Owner a(1); }, {1}},
        {"empty destroyed", [] { Owner a; }, {}},
        {"moved from, both destroyed",
         [] {
             Owner a(1);
             Owner b(std::move(a));
         },
         {1}},
        {"move-assigned over a held one",
         [] {
             Owner a(1);
             Owner b(2);
             b = std::move(a);
             EXPECT_EQ(g_closed, std::vector<int>{2}) << "the one replaced goes at once";
         },
         {2, 1}},
        {"moved into itself",
         [] {
             Owner a(1);
             Owner& same = a;
             a = std::move(same);
             EXPECT_EQ(a.get(), 1);
         },
         {1}},
        {"reset to another",
         [] {
             Owner a(1);
             a.reset(3);
         },
         {1, 3}},
        {"released", [] { EXPECT_EQ(Owner(4).release(), 4); }, {}},
        {"filled by put over a held one",
         [] {
             Owner a(1);
             *a.put() = 5;
             EXPECT_EQ(a.get(), 5);
         },
         {1, 5}},
        {"filled by put when empty",
         [] {
             Owner a;
             *a.put() = 6;
         },
         {6}},
    };
    for (const auto& c : cases) {
        g_closed.clear();
        c.run();
        EXPECT_EQ(g_closed, c.closed) << c.what;
    }
}

// One rounding rule for every form: each edge is rounded on its own, halves away from zero.
TEST(ToPixels, EveryEdgeRoundsOnItsOwn) {
    const struct {
        RectTwips twips;
        Dpi dpi;
        PixelRect want;
    } cases[] = {
        {{0, 0, 1440, 1440}, {96, 96}, {0, 0, 96, 96}},
        {{1395, 510, 1695, 345}, {96, 96}, {93, 34, 206, 57}},  // a check box of the settings dialog
        {{1395, 510, 1695, 345}, {120, 120}, {116, 43, 258, 71}},
        {{7.5, 22.5, 15, 15}, {96, 96}, {1, 2, 2, 3}},  // 0.5 and 1.5 pixels: away from zero
        {{-7.5, -22.5, 7.5, 7.5}, {96, 96}, {-1, -2, 0, -1}},
        {{690, 480, 480, 480}, {96, 144}, {46, 48, 78, 96}},  // x and y at their own DPI
        {{330, 390, 735, 300}, {120, 120}, {28, 33, 89, 58}},
    };
    for (const auto& c : cases) {
        const PixelRect got = ToPixels(c.twips, c.dpi);
        EXPECT_EQ(got, c.want) << "(" << c.twips.left << ", " << c.twips.top << ", " << c.twips.width << " x "
                               << c.twips.height << ") at " << c.dpi.x << "x" << c.dpi.y << " dpi: got " << got.left
                               << ", " << got.top << ", " << got.right << ", " << got.bottom;
    }
    // Rectangles that touch in twips touch in pixels, whatever the DPI.
    for (int dpi : {96, 120, 144, 192}) {
        const PixelRect left = ToPixels({165, 120, 1395, 300}, {dpi, dpi});
        const PixelRect right = ToPixels({1560, 120, 1300, 300}, {dpi, dpi});
        EXPECT_EQ(left.right, right.left) << dpi << " dpi";
    }
}

// The pre-translate step offers a message to the translators in the order they were added; the first that takes
// it ends its way, and one that removes a translator while it runs does not upset the rest.
TEST(PreTranslateChain, TheFirstInOrderThatTakesTheMessageEndsItsWay) {
    const struct {
        const char* what;
        std::vector<bool> takes;   // per translator, in the order added
        std::vector<int> removed;  // the ids taken out before the message comes
        std::vector<int> offered;  // which translators saw it
        bool taken;
    } cases[] = {
        {"none added", {}, {}, {}, false},
        {"the shortcuts take it", {true, true}, {}, {1}, true},
        {"a dialog takes it after the shortcuts passed", {false, true, true}, {}, {1, 2}, true},
        {"nobody takes it", {false, false}, {}, {1, 2}, false},
        {"a closed dialog is no longer asked", {false, true, true}, {2}, {1, 3}, true},
    };
    for (const auto& c : cases) {
        PreTranslateChain<int> chain;
        std::vector<int> offered;
        for (size_t i = 0; i < c.takes.size(); ++i) {
            const int id = static_cast<int>(i) + 1;
            const bool takes = c.takes[i];
            EXPECT_EQ(chain.Add([&offered, id, takes](int&) {
                offered.push_back(id);
                return takes;
            }),
                      id);
        }
        for (int id : c.removed)
            chain.Remove(id);
        int message = 0;
        EXPECT_EQ(chain.Offer(message), c.taken) << c.what;
        EXPECT_EQ(offered, c.offered) << c.what;
    }

    // A dialog that closes on the key it is offered takes itself out; the next message goes on past it.
    PreTranslateChain<int> chain;
    std::vector<int> offered;
    int dialog = 0;
    dialog = chain.Add([&](int& key) {
        offered.push_back(1);
        chain.Remove(dialog);
        return key == 27;  // Escape
    });
    chain.Add([&](int&) {
        offered.push_back(2);
        return false;
    });
    int escape = 27, other = 65;
    EXPECT_TRUE(chain.Offer(escape));
    EXPECT_FALSE(chain.Offer(other));
    EXPECT_EQ(offered, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace vitrell

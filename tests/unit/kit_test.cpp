// The window kit's own small parts that need no Windows: the owners of handles, the conversion of twips to pixels,
// what a window redoes at a new DPI, and the order of the message pump's pre-translate step.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "about/splash.h"
#include "about/version_box.h"
#include "mainwin/main_window.h"
#include "platform/dpi_scaler.h"
#include "platform/pre_translate.h"
#include "platform/twips.h"
#include "platform/unique_resource.h"
#include "settings_dialog/settings_dialog_layout.h"

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

// A window that makes numbered objects and keeps what the scaler does with them.
class FakeScaledWindow final : public IScaledWindow {
  public:
    void SetOuterRect(const PixelRect& r) override {
        outer = r;
        log.push_back("rect");
    }
    void PlacePart(int id, const PixelRect& r) override { placed[id] = r; }
    ObjectHandle MakeFont(const FontSpec&, int dpi, std::wstring_view) override { return Make(dpi); }
    void SetPartFont(int id, ObjectHandle font) override { partFont[id] = font; }
    ObjectHandle MakeImage(int, Dpi dpi) override { return Make(dpi.y); }
    void UseImage(int index, ObjectHandle image) override { shown[index] = image; }
    void LaidOut() override { log.push_back("laid-out"); }
    void FreeFont(ObjectHandle font) override { Free(font); }
    void FreeImage(ObjectHandle image) override { Free(image); }
    void Repaint() override { log.push_back("repaint"); }

    ObjectHandle Make(int dpi) {
        live[++made] = dpi;
        return made;
    }
    void Free(ObjectHandle object) { EXPECT_EQ(live.erase(object), 1u) << "object " << object << " freed twice"; }
    // The DPI a live object was made at; 0 for one already freed.
    int MadeAt(ObjectHandle object) const {
        const auto it = live.find(object);
        return it == live.end() ? 0 : it->second;
    }

    std::map<ObjectHandle, int> live;  // every object made and not freed, with the DPI it was made at
    ObjectHandle made = 0;
    PixelRect outer;
    std::map<int, PixelRect> placed;
    std::map<int, ObjectHandle> partFont;
    std::map<int, ObjectHandle> shown;
    std::vector<std::string> log;
};

// Every window of the program moved 96 -> 144 -> 192 -> 96 dpi: each part at its twips by the one rounding rule,
// every font and image in use made at the new DPI and alive, as many objects as before, none left at the end.
TEST(DpiScaler, EveryWindowKeepsItsTwipsLayoutAndItsObjectCountAcrossDpiChanges) {
    std::vector<ScaledFont> versionFonts = LabelFonts(VersionBox::Layout());
    for (ScaledFont& f : VersionBox::PartFonts())
        versionFonts.push_back(f);
    const struct {
        const char* window;
        std::vector<ScaledPart> parts;
        std::vector<ScaledFont> fonts;
        int images;
    } rows[] = {
        {"settings dialog", SettingsParts(), SettingsFonts(), 0},
        {"splash", {}, LabelFonts(Splash::Layout()), 1},
        {"version box", VersionBox::Parts(), versionFonts, 1},
        {"main window", MainWindowParts(), {}, kMainWindowImages},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.window);
        FakeScaledWindow window;
        std::map<int, PixelRect> first;
        {
            DpiScaler scaler(window, r.parts, r.fonts, r.images);
            scaler.Apply({96, 96});
            first = window.placed;
            const size_t objects = window.live.size();
            EXPECT_EQ(objects, r.fonts.size() + static_cast<size_t>(r.images));
            for (int dpi : {144, 192, 96}) {
                window.log.clear();
                const PixelRect suggested{100, 100, 100 + dpi * 4, 100 + dpi * 3};
                scaler.Change({dpi, dpi}, suggested);
                EXPECT_EQ(window.log, (std::vector<std::string>{"rect", "laid-out", "repaint"})) << dpi;
                EXPECT_EQ(window.outer, suggested);
                EXPECT_EQ(window.live.size(), objects) << dpi << " dpi";
                const double halfPixel = PixelsToTwips(1, dpi) / 2;
                for (const ScaledPart& part : r.parts) {
                    const PixelRect at = window.placed[part.id];
                    EXPECT_EQ(at, ToPixels(part.place, {dpi, dpi})) << "part " << part.id << " at " << dpi;
                    const RectTwips back = ToTwips(at, {dpi, dpi});
                    EXPECT_NEAR(back.left, part.place.left, halfPixel) << part.id;
                    EXPECT_NEAR(back.top, part.place.top, halfPixel) << part.id;
                    EXPECT_NEAR(back.width, part.place.width, 2 * halfPixel) << part.id;
                    EXPECT_NEAR(back.height, part.place.height, 2 * halfPixel) << part.id;
                    if (part.font >= 0) {
                        EXPECT_EQ(window.MadeAt(window.partFont[part.id]), dpi)
                            << "part " << part.id << " shows a font made at its DPI and still alive";
                    }
                }
                for (const auto& [index, image] : window.shown)
                    EXPECT_EQ(window.MadeAt(image), dpi) << "image " << index;
            }
            EXPECT_EQ(window.placed, first) << "back at 96 dpi, every part where it began";
        }
        EXPECT_TRUE(window.live.empty()) << window.live.size() << " objects left when the window went";
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

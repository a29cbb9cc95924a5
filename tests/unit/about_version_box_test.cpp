#include "about/version_box.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "tests/fakes/fake_version_box.h"

namespace vitrell {

// Colours print as (r, g, b) in failure messages.
void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

namespace {

std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

struct Box {
    testing::FakeVersionBoxView view;
    testing::FakeVersionBoxSystem system;
    testing::FakeSystemInfo info;
    VersionBox form{view, system, info};

    Rgb Colour(int index) {
        for (const LabelSpec& label : VersionBox::Layout().labels) {
            if (label.index == index)
                return form.InkOf(label).colour;
        }
        ADD_FAILURE() << "no label " << index;
        return {};
    }
    // Five characters, one per link label 10..14: 'h' highlighted, 'r' at rest, '?' anything else.
    std::string Links() {
        std::string out;
        for (int i = 10; i <= 14; ++i) {
            const Rgb c = Colour(i);
            out += c == kLinkHighlight ? 'h' : c == kLinkRest ? 'r' : '?';
        }
        return out;
    }
};

const std::wstring kIe = L"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE";
const std::wstring kNtIe = L"C:\\Program Files\\Plus!\\Microsoft Internet\\IEXPLORE.EXE";
const std::wstring kMail = L"C:\\Program Files\\Outlook Express\\MSIMN.EXE";

TEST(VersionBoxHighlight, EveryLabelIndexFromEachStartingState) {
    // Every index the form has (and a few it has not), moved onto from rest, from a highlighted mail group
    // and from a highlighted home-page group.
    const struct {
        int index;
        const char* fromRest;
        const char* fromMail;
        const char* fromHome;
    } cases[] = {
        {0, "rrrrr", "hhrrr", "rrhhh"},  {1, "rrrrr", "hhrrr", "rrhhh"},  {2, "rrrrr", "hhrrr", "rrhhh"},
        {3, "rrrrr", "hhrrr", "rrhhh"},  {4, "rrrrr", "hhrrr", "rrhhh"},  {5, "rrrrr", "hhrrr", "rrhhh"},
        {18, "rrrrr", "hhrrr", "rrhhh"}, {19, "rrrrr", "hhrrr", "rrhhh"}, {10, "hhrrr", "hhrrr", "hhrrr"},
        {11, "hhrrr", "hhrrr", "hhrrr"}, {12, "rrhhh", "rrhhh", "rrhhh"}, {13, "rrhhh", "rrhhh", "rrhhh"},
        {14, "rrhhh", "rrhhh", "rrhhh"}, {9, "rrrrr", "hhrrr", "rrhhh"},  {15, "rrrrr", "hhrrr", "rrhhh"},
        {-1, "rrrrr", "hhrrr", "rrhhh"},
    };
    for (const auto& c : cases) {
        const struct {
            int setup;
            const char* want;
        } starts[] = {{-1, c.fromRest}, {10, c.fromMail}, {12, c.fromHome}};
        for (const auto& s : starts) {
            Box box;
            if (s.setup >= 0)
                box.form.Label1_MouseMove(s.setup);
            box.form.Label1_MouseMove(c.index);
            EXPECT_EQ(box.Links(), s.want) << "label " << c.index << " after label " << s.setup;
        }
    }
}

TEST(VersionBoxHighlight, BackgroundRestoresAllAndLeavingStraightOutKeepsTheGroup) {
    Box box;
    EXPECT_EQ(box.Links(), "rrrrr") << "at load";

    box.form.Label1_MouseMove(12);  // "URL Address："
    EXPECT_EQ(box.Colour(12), kLinkHighlight);
    EXPECT_EQ(box.Colour(10), kLinkRest);

    // Off the dialog without crossing its background: no event reaches the form, the group stays lit.
    EXPECT_EQ(box.Links(), "rrhhh");

    box.form.Form_MouseMove();
    EXPECT_EQ(box.Links(), "rrrrr") << "background restores all";

    box.form.Label1_MouseMove(11);
    box.form.Form_MouseMove();
    EXPECT_EQ(box.Links(), "rrrrr");
}

TEST(VersionBoxHighlight, OnlyChangedLabelsAreRepainted) {
    Box box;
    box.form.Form_MouseMove();
    EXPECT_TRUE(box.view.colours.empty()) << "rest over rest repainted " << box.view.colours.size() << " labels";
    box.form.Label1_MouseMove(10);
    EXPECT_EQ(box.view.colours.size(), 2u);
    box.view.colours.clear();
    box.form.Label1_MouseMove(11);
    EXPECT_TRUE(box.view.colours.empty()) << "same group repainted " << box.view.colours.size() << " labels";
    box.form.Label1_MouseMove(13);
    EXPECT_EQ(box.view.colours.size(), 5u);
}

TEST(VersionBoxHighlight, StaticLabelsKeepTheirOwnInk) {
    Box box;
    box.form.Label1_MouseMove(12);
    for (const LabelSpec& label : VersionBox::Layout().labels) {
        if (GroupOf(label.index) != LinkGroup::None)
            continue;
        const LabelInk ink = box.form.InkOf(label);
        EXPECT_EQ(ink.buttonText, label.ink.buttonText) << "label " << label.index;
        EXPECT_EQ(ink.colour, label.ink.colour) << "label " << label.index;
    }
}

TEST(BrowserPath, EachWindowsName) {
    const struct {
        OsVersion version;
        const wchar_t* want;  // nullptr: no browser is tried
    } cases[] = {
        {{2, 5, 1}, L"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"},          // XP
        {{2, 5, 0}, L"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"},          // 2000
        {{1, 4, 90}, L"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"},         // Me
        {{1, 4, 10}, L"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"},         // 98
        {{1, 4, 0}, L"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"},          // 95
        {{2, 4, 0}, L"C:\\Program Files\\Plus!\\Microsoft Internet\\IEXPLORE.EXE"},  // NT
        {{0, 0, 0}, nullptr},                                                        // failed query
        {{3, 1, 0}, nullptr},                                                        // unknown platform
    };
    for (const auto& c : cases) {
        const std::wstring name = OsNameFromVersion(c.version);
        const auto got = BrowserPath(name, L"C:\\");
        if (!c.want) {
            EXPECT_FALSE(got) << "name '" << Narrow(name) << "' gave " << Narrow(got.value_or(L""));
            continue;
        }
        EXPECT_EQ(got.value_or(L"<none>"), c.want) << "name " << Narrow(name);
    }
}

TEST(ProgramPresence, OnlyAPlainFileCounts) {
    const struct {
        std::optional<FileAttributes> attributes;
        bool present;
        const char* what;
    } cases[] = {
        {FileAttributes{}, true, "plain file"},
        {FileAttributes{false, true, false}, false, "hidden"},
        {FileAttributes{false, false, true}, false, "system"},
        {FileAttributes{false, true, true}, false, "hidden and system"},
        {FileAttributes{true, false, false}, false, "directory of that name"},
        {std::nullopt, false, "missing"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsProgramPresent(c.attributes), c.present) << c.what;
}

TEST(SystemDrive, FirstThreeCharactersOfWinDir) {
    const struct {
        std::optional<std::wstring> winDir;
        const wchar_t* want;
    } cases[] = {
        {L"C:\\WINDOWS", L"C:\\"}, {L"D:\\WINNT", L"D:\\"}, {L"C:", L"C:"}, {L"", L""}, {std::nullopt, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SystemDrive(c.winDir), c.want) << "WinDir " << (c.winDir ? Narrow(*c.winDir) : "unset");
}

TEST(BrowserCommandLine, ProgramPathIsQuoted) {
    const struct {
        const wchar_t* path;
        const wchar_t* want;
    } cases[] = {
        {L"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE",
         L"\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" http://www.example.org/vitrell/"},
        {L"Program Files\\Plus!\\Microsoft Internet\\IEXPLORE.EXE",
         L"\"Program Files\\Plus!\\Microsoft Internet\\IEXPLORE.EXE\" http://www.example.org/vitrell/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BrowserCommandLine(c.path, kHomePage), c.want);
}

TEST(SplitAfterHost, SplitsAfterTheSlashEndingTheHost) {
    const struct {
        const wchar_t* address;
        const wchar_t* head;
        const wchar_t* tail;
    } cases[] = {
        {L"http://www.example.org/vitrell/", L"http://www.example.org/", L"vitrell/"},
        {L"http://www.example.org/", L"http://www.example.org/", L""},
        {L"http://www.example.org", L"http://www.example.org", L""},
        {L"www.example.org/a/b", L"www.example.org/", L"a/b"},
    };
    for (const auto& c : cases) {
        const SplitAddress got = SplitAfterHost(c.address);
        EXPECT_EQ(got.head, c.head) << Narrow(c.address);
        EXPECT_EQ(got.tail, c.tail) << Narrow(c.address);
    }
}

// Without Outlook Express the address goes to the system's mail handler; only when that fails too does the
// missing client show its message.
TEST(VersionBoxClick, MailGroupOpensOnlyTheFixedAddressAndWarnsWhenNothingTakesIt) {
    const struct {
        int index;
        std::optional<std::wstring> winDir;
        std::optional<FileAttributes> client;  // what lies at C:\...\MSIMN.EXE
        bool handlerWorks, warns;
    } cases[] = {
        {10, L"C:\\WINDOWS", FileAttributes{}, true, false},
        {11, L"C:\\WINDOWS", FileAttributes{}, false, false},  // the designed client: its result is not examined
        {10, L"C:\\WINDOWS", std::nullopt, false, true},
        {10, L"C:\\WINDOWS", std::nullopt, true, false},
        {11, L"C:\\WINDOWS", FileAttributes{false, true, false}, false, true},
        {10, L"C:\\WINDOWS", FileAttributes{true, false, false}, false, true},
        {10, std::nullopt, FileAttributes{}, false, true},  // unset WinDir: the path turns relative
    };
    for (const auto& c : cases) {
        Box box;
        if (c.winDir)
            box.system.environment[L"WinDir"] = *c.winDir;
        if (c.client)
            box.system.files[kMail] = *c.client;
        box.system.handlerWorks = c.handlerWorks;
        box.form.Label1_Click(c.index);
        const std::string what = "label " + std::to_string(c.index) + (c.winDir ? "" : " WinDir unset") +
                                 (c.handlerWorks ? " with a mail handler" : " without a mail handler");
        EXPECT_EQ(box.system.shellOpened, std::vector<std::wstring>{L"mailto:vitrell@example.org"}) << what;
        const std::wstring warning = std::wstring(kMailMissingTitle) + L"|" + std::wstring(kMailMissingText);
        EXPECT_EQ(box.view.warnings, std::vector<std::wstring>(c.warns ? 1 : 0, warning)) << what;
        EXPECT_TRUE(box.system.started.empty()) << what;
        EXPECT_EQ(box.view.unloads, 0) << what << ": the dialog stays open";
    }
}

TEST(VersionBoxClick, WinDirUnsetLooksRelativeToTheCurrentFolder) {
    Box box;
    box.form.Label1_Click(10);
    box.form.Label1_Click(12);
    EXPECT_EQ(box.system.asked, (std::vector<std::wstring>{L"Program Files\\Outlook Express\\MSIMN.EXE",
                                                           L"Program Files\\Internet Explorer\\IEXPLORE.EXE"}));
    EXPECT_EQ(box.view.warnings.size(), 2u);
}

// Without the designed browser the address goes to the system's handler for http:, and only when that fails too
// does the missing browser show its message.
TEST(VersionBoxClick, HomePageGroupStartsTheBrowserForTheWindowsName) {
    const struct {
        int index;
        OsVersion version;
        std::vector<std::wstring> installed;
        bool handlerWorks;
        std::wstring started;  // empty: nothing started
        bool handedToSystem, warns;
    } cases[] = {
        {12, {2, 5, 1}, {kIe}, true, kIe + L"|\"" + kIe + L"\" http://www.example.org/vitrell/", false, false},
        {13, {2, 5, 0}, {kIe}, false, kIe + L"|\"" + kIe + L"\" http://www.example.org/vitrell/", false, false},
        {14, {1, 4, 10}, {kIe}, false, kIe + L"|\"" + kIe + L"\" http://www.example.org/vitrell/", false, false},
        {12, {2, 4, 0}, {kNtIe}, true, kNtIe + L"|\"" + kNtIe + L"\" http://www.example.org/vitrell/", false, false},
        {12, {2, 4, 0}, {kIe}, false, L"", true, true},  // NT with the browser only where 2000/XP keep it
        {12, {2, 4, 0}, {kIe}, true, L"", true, false},
        {12, {2, 5, 1}, {}, false, L"", true, true},
        {13, {2, 5, 1}, {}, true, L"", true, false},
        {14, {2, 5, 0}, {}, false, L"", true, true},
        {14, {1, 4, 0}, {}, true, L"", true, false},
        {13, {0, 0, 0}, {kIe}, true, L"", false, false},  // no Windows name: nothing at all
    };
    for (const auto& c : cases) {
        Box box;
        box.system.environment[L"WinDir"] = L"C:\\WINDOWS";
        box.system.handlerWorks = c.handlerWorks;
        box.info.version = c.version;
        for (const auto& path : c.installed)
            box.system.files[path] = FileAttributes{};
        box.form.Label1_Click(c.index);
        const std::string what = "label " + std::to_string(c.index) + " on " + Narrow(OsNameFromVersion(c.version));
        EXPECT_EQ(box.system.started,
                  c.started.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{c.started})
            << what;
        EXPECT_EQ(box.view.warnings.size(), c.warns ? 1u : 0u) << what;
        if (c.warns) {
            EXPECT_EQ(box.view.warnings[0],
                      std::wstring(kBrowserMissingTitle) + L"|" + std::wstring(kBrowserMissingText))
                << what;
        }
        EXPECT_EQ(box.system.shellOpened, std::vector<std::wstring>(c.handedToSystem ? 1 : 0, std::wstring(kHomePage)))
            << what;
    }
}

TEST(VersionBoxClick, OtherLabelsDoNothingAndOkUnloads) {
    for (int index : {0, 1, 2, 3, 4, 5, 18, 19, -1, 15}) {
        Box box;
        box.system.environment[L"WinDir"] = L"C:\\WINDOWS";
        box.form.Label1_Click(index);
        EXPECT_TRUE(box.system.asked.empty() && box.view.warnings.empty() && box.view.unloads == 0)
            << "label " << index << " asked " << box.system.asked.size() << " warned " << box.view.warnings.size();
    }
    Box box;
    box.form.Command1_Click();
    EXPECT_EQ(box.view.unloads, 1);
}

// Each label's own rectangle, in the layout's order.
std::vector<RectTwips> LayoutAreas(const FormLayout& layout) {
    std::vector<RectTwips> areas;
    for (const LabelSpec& label : layout.labels)
        areas.push_back(label.rect);
    return areas;
}

// The layout with one label's text covering another area, as a face other than the designed one draws it.
std::vector<RectTwips> WithArea(const FormLayout& layout, int index, RectTwips area) {
    std::vector<RectTwips> areas = LayoutAreas(layout);
    for (size_t i = 0; i < layout.labels.size(); ++i) {
        if (layout.labels[i].index == index)
            areas[i] = area;
    }
    return areas;
}

TEST(VersionBoxLayout, HitTestFindsTheTopmostLabelWhoseTextCoversThePoint) {
    const FormLayout& layout = VersionBox::Layout();
    const std::vector<RectTwips> layoutAreas = LayoutAreas(layout);
    const std::vector<RectTwips> wideUrl = WithArea(layout, 12, {480, 2910, 2400, 255});  // runs past its box
    const std::vector<RectTwips> narrowUrl = WithArea(layout, 12, {480, 2910, 900, 150});
    const std::vector<RectTwips> tallMail = WithArea(layout, 10, {480, 2265, 1665, 400});  // into label 11's line
    const std::vector<RectTwips> none;
    const struct {
        const std::vector<RectTwips>* areas;
        const char* what;
        double x, y;
        int want;
    } cases[] = {
        {&layoutAreas, "layout", 500, 2300, 10},
        {&layoutAreas, "layout", 500, 2600, 11},
        {&layoutAreas, "layout", 500, 2950, 12},
        {&layoutAreas, "layout", 500, 3200, 13},
        {&layoutAreas, "layout", 500, 3400, 14},
        {&layoutAreas, "layout", 3000, 3400, -1},  // right of the short last part of the address
        {&layoutAreas, "layout", 300, 300, -1},
        {&layoutAreas, "layout", 2000, 300, 1},   // the product name above its shadow
        {&layoutAreas, "layout", 2750, 1150, 0},  // only the shadow reaches here
        {&layoutAreas, "layout", 5900, 3900, -1},
        {&layoutAreas, "layout", 2500, 2950, -1},
        {&wideUrl, "wide URL text", 2500, 2950, 12},  // lit where it shows, though outside its box
        {&layoutAreas, "layout", 1600, 2950, 12},
        {&narrowUrl, "narrow URL text", 1600, 2950, -1},  // inside its box, but right of its text
        {&layoutAreas, "layout", 1200, 3100, 12},
        {&narrowUrl, "narrow URL text", 1200, 3100, -1},  // below its text
        {&narrowUrl, "narrow URL text", 600, 2950, 12},
        {&tallMail, "tall mail text", 600, 2600, 11},  // both cover it: the later label lies above
        {&tallMail, "tall mail text", 600, 2400, 10},
        {&none, "no areas", 500, 2950, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LabelAt(layout, *c.areas, c.x, c.y), c.want) << c.what << " at (" << c.x << ", " << c.y << ")";
}

TEST(VersionBoxLayout, TooltipsCarryTheAddressWithOneBlankEachSide) {
    const struct {
        int index;
        const wchar_t* want;
    } cases[] = {
        {10, L" vitrell@example.org "},
        {11, L" vitrell@example.org "},
        {12, L" http://www.example.org/vitrell/ "},
        {13, L" http://www.example.org/vitrell/ "},
        {14, L" http://www.example.org/vitrell/ "},
        {1, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionBox::TipFor(c.index), c.want) << "label " << c.index;
}

}  // namespace
}  // namespace vitrell

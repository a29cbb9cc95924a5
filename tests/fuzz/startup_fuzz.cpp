// Start-up over an arbitrary store: whatever both sections hold, Main leaves every setting as the rest of the
// program takes it, writes exactly the defaults of the missing values in their order, and the main window sets
// itself up on the result.
#include <climits>
#include <cmath>
#include <optional>
#include <vector>

#include "tests/fakes/main_window_rig.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vitrell;
using testing::FakeRegistry;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    testing::MainWindowRig rig;
    FakeRegistry& registry = rig.registry;
    AppContext& app = rig.app;
    fuzz::PutArbitraryStore(in, registry);
    const FakeRegistry before = registry;
    const SizeTwips screen = fuzz::ArbitraryScreen(in);
    fuzz::StartupHost host(screen);
    Main(app, host);

    // The window comes back where it shows, or both coordinates take their centred defaults.
    const long long leftDefault = PositionDefault(screen.width, kDefaultWindowWidthTwips);
    const long long topDefault = PositionDefault(screen.height, kDefaultWindowHeightTwips);
    const bool centred =
        app.Settings.T_Left == std::to_wstring(leftDefault) && app.Settings.T_Top == std::to_wstring(topDefault);
    fuzz::Require(centred || PlaceReachable({LeadingNumber(app.Settings.T_Left), LeadingNumber(app.Settings.T_Top),
                                             kDefaultWindowWidthTwips, kDefaultWindowHeightTwips},
                                            host.Monitors()),
                  "a stored place is kept only where the window shows");
    // The designed result, key by key: a stored text is kept, a missing or empty one (or one of another type) is
    // written with its default, in the order start-up reads them; the position and the level are held in range.
    std::vector<FakeRegistry::Write> designed;
    for (const testing::StartupKey& k : testing::kStartupKeys) {
        const std::wstring path = SettingsStore::SectionPath(k.section);
        const auto it = before.values.find({path, std::wstring(k.key)});
        const bool present = it != before.values.end() && it->second.isString && !it->second.text.empty();
        const std::wstring stored = present ? it->second.text : std::wstring();
        const std::wstring& held = app.Settings.*k.field;
        const std::wstring what = std::wstring(k.key) + L" stored " + std::to_wstring(stored.size()) + L" chars '" +
                                  stored.substr(0, 40) + L"', held '" + held.substr(0, 40) + L"'";
        const double v = LeadingNumber(stored);
        if (k.key == L"T_Left" || k.key == L"T_Top") {
            const bool left = k.key == L"T_Left";
            const std::wstring fallback = std::to_wstring(left ? leftDefault : topDefault);
            const bool kept = present && v >= INT_MIN && v <= INT_MAX;
            fuzz::Require(held == (kept ? stored : fallback) || centred,
                          "a position is kept when stored and in range, else held as the centred default", what);
            fuzz::Require(LeadingNumber(held) >= INT_MIN && LeadingNumber(held) <= INT_MAX,
                          "a position lies within int range", what);
        } else if (k.key == L"OptTou") {
            const std::wstring designedLevel = !present ? L"20" : v < 0 ? L"0" : v > 100 ? L"80" : stored;
            fuzz::Require(held == designedLevel, "the level is kept when stored and in range, else repaired", what);
            fuzz::Require(LeadingNumber(held) >= 0 && LeadingNumber(held) <= 100, "the level lies within 0..100", what);
        } else {
            fuzz::Require(held == (present ? stored : std::wstring(k.whenEmpty)),
                          "a setting holds its stored text, or its default when none is stored", what);
        }
        if (!present && k.whenEmpty)
            designed.push_back({path, std::wstring(k.key), k.whenEmpty});
    }
    fuzz::Require(registry.writes == designed, "start-up writes the defaults of the missing values, in order");
    for (const auto& [where, value] : before.values)
        if (value.isString && !value.text.empty())
            fuzz::Require(
                registry.values.at(where).isString == value.isString && registry.values.at(where).text == value.text,
                "a stored value survives start-up unchanged", where.second);

    // The main window's set-up on the result, on any Windows and scheme.
    testing::FakeMainWindowView& view = rig.view;
    view.monitors = {{0, 0, screen.width, screen.height}};
    view.os = std::vector<std::wstring>{L"Windows XP", L"Windows 2000", L"Windows NT", L""}.at(
        in.ConsumeIntegralInRange(0, 3));
    view.scheme = in.ConsumeBool() ? L"" : L"Luna";
    const std::wstring storedSwitch = app.Settings.OptOn_Off;
    rig.form.Form_Load();

    const SettingsRecord& s = app.Settings;
    const WindowLayout row = LayoutFor(FlagOn(s.OptTBar), FlagOn(s.OptMBar), view.os, view.scheme);
    fuzz::Require(view.rect.height == row.heightTwips && view.rect.width == row.widthTwips &&
                      view.menuBarVisible == row.menuBarVisible,
                  "the window takes its row of the layout table");
    fuzz::Require(view.menuBarVisible || FlagOn(s.OptTBar), "the window never shows neither bar");
    const double top = FlagOn(s.OptCent) ? (screen.height - row.heightTwips) / 2 : LeadingNumber(s.T_Top);
    const double left = FlagOn(s.OptCent) ? (screen.width - row.widthTwips) / 2 : LeadingNumber(s.T_Left);
    fuzz::Require(view.rect.top == top && view.rect.left == left && std::isfinite(top) && std::isfinite(left),
                  "the window is placed at the stored position, or centred");
    fuzz::Require(view.interval <= 65535, "the tracking period is one the timer takes");
    fuzz::Require(s.OptOn_Off == FlagText(!EngineSwitchOn(storedSwitch)) &&
                      registry.Get(SettingsStore::SectionPath(kConfig), L"OptOn_Off") == s.OptOn_Off,
                  "the load switches the engine to the inverse of the stored switch, and stores it");
    return 0;
}

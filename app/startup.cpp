#include "app/startup.h"

#include <cmath>
#include <limits>

#include "core/text.h"

namespace vitrell {

namespace {

// Reads a key; when it is empty, writes the default and holds it.
std::wstring ReadOrWriteDefault(SettingsStore& store,
                                std::wstring_view section,
                                std::wstring_view key,
                                std::wstring_view fallback) {
    std::wstring text = store.ReadSetting(section, key);
    if (text.empty()) {
        text = fallback;
        store.WriteSetting(section, key, text);
    }
    return text;
}

// A stored position is used when present and within what a window position can be (an edited value may lie past
// it); otherwise the centred default, in memory only.
std::wstring PositionOrDefault(SettingsStore& store, std::wstring_view key, const std::wstring& fallback) {
    std::wstring text = store.ReadSetting(kPosition, key);
    const double position = LeadingNumber(text);
    if (!text.empty() && position >= std::numeric_limits<int>::min() && position <= std::numeric_limits<int>::max())
        return text;
    return fallback;
}

std::wstring RepairedLevel(std::wstring text) {
    const double level = LeadingNumber(text);
    if (level < 0)
        return L"0";
    if (level > 100)
        return L"80";
    return text;
}

}  // namespace

long long PositionDefault(double screenTwips, double windowTwips) {
    const double half = RoundHalfEven((screenTwips - windowTwips) / 2);
    constexpr double kLimit = static_cast<double>(std::numeric_limits<int>::max());
    if (!std::isfinite(half))
        return 0;
    return static_cast<long long>(std::fmax(-kLimit, std::fmin(kLimit, half)));
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        return folder + name;  // a drive's root already ends in a separator
    return folder + L'\\' + name;
}

bool Main(AppContext& app, IStartupHost& host) {
    // Two copies would each toggle the stored engine switch and write their own position: one is enough.
    if (!host.FirstCopy()) {
        host.ShowRunningCopy();
        return false;
    }
    SettingsStore& store = app.Store;
    SettingsRecord& s = app.Settings;

    const std::wstring folder = host.ApplicationFolder();
    host.ChangeDirectory(folder);
    app.HelpFilePath = JoinPath(folder, L"VITRELL.HLP");
    app.HtmlHelpFilePath = JoinPath(folder, L"VITRELL.chm");

    s.OptLogo = ReadOrWriteDefault(store, kConfig, L"OptLogo", L"1");
    if (FlagOn(s.OptLogo))
        host.ShowSplashModal();

    s.OptCent = ReadOrWriteDefault(store, kPosition, L"OptCent", L"0");

    const SizeTwips screen = host.ScreenSize();
    const std::wstring topDefault = std::to_wstring(PositionDefault(screen.height, kDefaultWindowHeightTwips));
    const std::wstring leftDefault = std::to_wstring(PositionDefault(screen.width, kDefaultWindowWidthTwips));
    s.T_Left = PositionOrDefault(store, L"T_Left", leftDefault);
    s.T_Top = PositionOrDefault(store, L"T_Top", topDefault);
    // Left or above the primary monitor is a place like any other, as long as the window would show there: a
    // window of the default size must be reachable on the monitors connected now, or it comes back centred.
    const RectTwips stored{LeadingNumber(s.T_Left), LeadingNumber(s.T_Top), kDefaultWindowWidthTwips,
                           kDefaultWindowHeightTwips};
    if (!PlaceReachable(stored, host.Monitors())) {
        s.T_Left = leftDefault;
        s.T_Top = topDefault;
    }

    s.OptTemae = ReadOrWriteDefault(store, kConfig, L"OptTemae", L"1");
    s.OptJib = ReadOrWriteDefault(store, kConfig, L"OptJib", L"0");
    s.OptMBar = ReadOrWriteDefault(store, kConfig, L"OptMBar", L"1");
    s.OptTBar = ReadOrWriteDefault(store, kConfig, L"OptTBar", L"1");
    s.OptTBar2 = ReadOrWriteDefault(store, kConfig, L"OptTBar2", L"1");
    s.OptLAct = ReadOrWriteDefault(store, kConfig, L"OptLAct", L"1");
    s.OptLATab = ReadOrWriteDefault(store, kConfig, L"OptLATab", L"0");
    s.OptNin = ReadOrWriteDefault(store, kConfig, L"OptNin", L"1");

    s.OptTou = RepairedLevel(ReadOrWriteDefault(store, kConfig, L"OptTou", L"20"));
    s.OptTou2 = ReadOrWriteDefault(store, kConfig, L"OptTou2", L"0");
    s.OptOn_Off = ReadOrWriteDefault(store, kConfig, L"OptOn_Off", L"0");

    app.Toolbar = InitialToolbarTables(s.OptTou);

    s.OptWinS = ReadOrWriteDefault(store, kConfig, L"OptWinS", L"0");
    host.ShowMainWindow(!FlagOn(s.OptWinS));
    return true;
}

}  // namespace vitrell

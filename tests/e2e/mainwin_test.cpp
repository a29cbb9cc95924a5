// The main window end to end: its size per layout row, the toolbar, the arrow keys, the tray icon, the menus,
// iconify and show, and every way of ending the program.
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "core/product.h"
#include "tests/e2e/harness.h"

namespace vitrell::e2e {
namespace {

constexpr wchar_t kToolbarClass[] = L"ToolbarWindow32";
constexpr wchar_t kMenuClass[] = L"#32768";
constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\VITRELL.exe";
constexpr wchar_t kAppearance[] = L"Control Panel\\Appearance";
// Wine reads a process's DPI and non-client metrics from these when the process starts.
constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
constexpr wchar_t kWindowMetrics[] = L"Control Panel\\Desktop\\WindowMetrics";
// Windows 10's caption, menu and borders at 96 DPI, in twentieths of a point.
constexpr const wchar_t* kWindows10Metrics[][2] = {
    {L"CaptionHeight", L"-345"}, {L"CaptionWidth", L"-345"},     {L"MenuHeight", L"-300"},
    {L"MenuWidth", L"-300"},     {L"PaddedBorderWidth", L"-60"}, {L"BorderWidth", L"-15"},
};

// Settings for a quick start: no splash.
void QuickStart() {
    PutString(L"Config", L"OptLogo", L"0");
}

// The lamp of button 4: green while on, grey while off.
std::string LampColour(POINT p) {
    const COLORREF c = ScreenPixel(p);
    if (c == RGB(0, 255, 0))
        return "green";
    if (c == RGB(128, 128, 128))
        return "grey";
    char text[32];
    snprintf(text, sizeof(text), "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

bool WriteFileBytes(const std::wstring& path, const void* data, DWORD bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, data, bytes, &written, nullptr) && written == bytes;
    CloseHandle(file);
    return ok;
}

// Saves what the screen shows of a window as a BMP (for looking at the layout rows).
void SaveShot(HWND window, const std::wstring& path) {
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left + 16, h = r.bottom - r.top + 16;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left - 8, r.top - 8, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((w * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + stride * h),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::string data(reinterpret_cast<const char*>(&file), sizeof(file));
    data.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    data.append(static_cast<const char*>(bits), stride * h);
    (void)WriteFileBytes(path, data.data(), static_cast<DWORD>(data.size()));  // a missing picture is seen
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

// The point of a window's close box, found by asking the window itself.
std::optional<POINT> CloseBoxPoint(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    for (int y = r.top + 1; y < r.top + 30; ++y) {
        for (int x = r.right - 2; x > r.right - 40; --x) {
            DWORD_PTR hit = 0;
            if (SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, 1000, &hit) &&
                hit == HTCLOSE)
                return POINT{x - 3, y + 3};
        }
    }
    return std::nullopt;
}

// Stores a toolbar arrangement under the settings key the way the toolbar control itself does: a toolbar of
// the driver with buttons of those command ids saves it.
bool StoreArrangement(const std::vector<int>& commands) {
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD, 0, 0, 0, 0, host, nullptr, nullptr, nullptr);
    if (!bar)
        return false;
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    for (int id : commands) {
        TBBUTTON b{};
        b.iBitmap = 0;
        b.idCommand = id;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON;
        b.iString = -1;
        SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
    }
    const std::wstring key = SectionPath(L"Config");
    TBSAVEPARAMSW params{HKEY_CURRENT_USER, key.c_str(), L"Toolbar"};
    SendMessageW(bar, TB_SAVERESTOREW, TRUE, reinterpret_cast<LPARAM>(&params));
    DestroyWindow(host);
    return GetTypeAt(key, L"Toolbar") == static_cast<DWORD>(REG_BINARY);
}

class MainWindowE2E : public VitrellTest {
  protected:
    void SetUp() override {
        VitrellTest::SetUp();
        QuickStart();
    }
    void TearDown() override {
        DeleteKeyTree(kAppDefaults);
        DeleteValueAt(kAppearance, L"Current");
        DeleteValueAt(kDesktop, L"LogPixels");
        for (const auto& metric : kWindows10Metrics)
            DeleteValueAt(kWindowMetrics, metric[0]);
        SetEnvironmentVariableW(L"VITRELL_EXE", nullptr);
        VitrellTest::TearDown();
    }
    // Started, shown and past its first activation; `currentDirectory` as Vitrell::Start takes it.
    void StartShown(Vitrell& app, const std::wstring& currentDirectory = {}) {
        ASSERT_TRUE(app.Start(15000, Vitrell::Shown::kAuto, currentDirectory)) << app.Error();
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(app.MainWindow()) != FALSE; }, 5000));
        toolbar = ChildOf(app.MainWindow(), kToolbarClass);
        picture = ChildOf(app.MainWindow(), kPictureClass);
        ASSERT_NE(toolbar, nullptr);
        ASSERT_NE(picture, nullptr);
        // Past the first activation, which makes the window topmost when it is to be kept in front.
        const bool inFront = GetString(L"Config", L"OptTemae").value_or(L"1") == L"1";
        ASSERT_TRUE(WaitUntil(
            [&] {
                return GetForegroundWindow() == app.MainWindow() &&
                       (!inFront || (ExStyleOf(app.MainWindow()) & WS_EX_TOPMOST) != 0);
            },
            3000))
            << "no first activation";
    }
    // Started with OptWinS "1": loaded, hidden, its icon in the tray.
    void StartHidden(Vitrell& app) {
        ASSERT_TRUE(app.Start()) << app.Error();
        ASSERT_TRUE(WaitUntil([&] { return (picture = ChildOf(app.MainWindow(), kPictureClass)) != nullptr; }, 3000));
        ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(picture, kTrayIconId); }, 3000));
        // The icon comes first in the load; the toolbar's buttons come with the switch, later in it.
        toolbar = ChildOf(app.MainWindow(), kToolbarClass);
        ASSERT_TRUE(WaitUntil([&] { return ToolbarButtonCount(toolbar) == 6; }, 3000));
    }
    // Starts the program again while `app` runs: the second copy ends at once with exit code 0 and no window, and
    // `app` shows its window as the tray's show item does, which stores OptWinS "0" and nothing else.
    void StartASecondCopy(Vitrell& app) {
        const auto store = [] {
            std::wstring text;
            for (const wchar_t* section : {L"Config", L"Position"})
                for (const std::wstring& name : ValueNames(section))
                    text += name + L"=" + GetString(section, name).value_or(L"?") + L"\n";
            return Narrow(text);
        };
        ASSERT_TRUE(PutString(L"Config", L"OptWinS", L"0"));  // as the show will store it
        const std::string before = store();
        Vitrell second;
        EXPECT_FALSE(second.Start(5000)) << "a second main window came up";
        EXPECT_EQ(second.ExitCode(), std::optional<DWORD>(0));
        const HWND main = app.MainWindow();
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && GetForegroundWindow() == main; }, 3000))
            << "not shown in front";
        EXPECT_EQ(store(), before);
        EXPECT_EQ(FindWindowExW(nullptr, main, kMainWindowClass, nullptr), nullptr) << "two main windows";
        EXPECT_TRUE(TrayIconExists(picture, kTrayIconId));
    }
    // A left click on the tray icon, then from the pop-up the item with access key `item` of the sub-menu
    // with access key `menu`.
    void ChooseFromTrayMenu(Vitrell& app, WORD item, WORD menu = 'F') {
        ASSERT_TRUE(vitrell::e2e::ChooseFromTrayMenu(app.Pid(), picture, {menu, item}));
    }
    POINT Button(Vitrell& app, int index) {
        const auto r = ToolbarButtonRect(app.Process(), toolbar, index);
        EXPECT_TRUE(r.has_value()) << "no rectangle for button " << index;
        return r ? CentreOf(*r) : POINT{0, 0};
    }
    // Waits until button `index` shows the lamp in `colour` ("green" while on, "grey" while off).
    ::testing::AssertionResult LampShows(Vitrell& app, int index, const std::string& colour) {
        std::string seen;
        if (WaitUntil([&] { return (seen = LampColour(Button(app, index))) == colour; }, 3000))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "button " << index + 1 << " shows " << seen << ", not " << colour;
    }
    // Clicks and waits until the store holds `want`; says where the click went when it does not.
    bool ClickUntilStored(POINT p, const wchar_t* key, const std::wstring& want) {
        if (!ClickAt(p))
            return false;
        if (WaitUntil([&] { return GetString(L"Config", key) == want; }, 5000))
            return true;
        const POINT at = CursorPos();
        ADD_FAILURE() << "clicked " << p.x << "," << p.y << "; cursor " << at.x << "," << at.y << " over "
                      << Narrow(ClassNameOf(WindowFromPoint(at))) << "; " << Narrow(key) << " is '"
                      << Narrow(GetString(L"Config", key).value_or(L"(none)")) << "', want '" << Narrow(want) << "'";
        return false;
    }

    HWND toolbar = nullptr;
    HWND picture = nullptr;
};

TEST_F(MainWindowE2E, WindowSizePerLayoutRow) {
    struct Row {
        const wchar_t* version;  // Wine's version for the exe
        const wchar_t* scheme;   // nullptr: no scheme stored
        const wchar_t* toolbar;
        const wchar_t* menu;
        double height, width;
        bool menuBar;
        const wchar_t* shot;
    };
    const Row rows[] = {
        {L"winxp", nullptr, L"1", L"1", 1140, 1830, true, L"xp-classic-toolbar-menu"},
        {L"winxp", L"Windows Standard", L"1", L"1", 1000, 1830, true, L"xp-scheme-toolbar-menu"},
        {L"win2k", nullptr, L"1", L"1", 1000, 1810, true, L"w2000-toolbar-menu"},
        {L"winxp", nullptr, L"1", L"0", 840, 1830, false, L"xp-classic-toolbar"},
        {L"winxp", L"Windows Standard", L"1", L"0", 700, 1830, false, L"xp-scheme-toolbar"},
        {L"win2k", nullptr, L"1", L"0", 700, 1810, false, L"w2000-toolbar"},
        {L"winxp", nullptr, L"0", L"0", 740, 1830, true, L"xp-classic-menu"},
        {L"winxp", L"Windows Standard", L"0", L"1", 620, 1580, true, L"xp-scheme-menu"},
        {L"win2k", nullptr, L"0", L"0", 620, 1620, true, L"w2000-menu"},
    };
    wchar_t shots[MAX_PATH] = L"";
    const bool save = GetEnvironmentVariableW(L"VITRELL_SHOTS", shots, MAX_PATH) > 0;
    const double tolerance = PixelsToTwips(1, ScreenDpi().y) / 2 + 0.01;  // half a pixel
    for (const Row& r : rows) {
        DeleteSettings();
        QuickStart();
        PutString(L"Config", L"OptTBar", r.toolbar);
        PutString(L"Config", L"OptMBar", r.menu);
        PutStringAt(kAppDefaults, L"Version", r.version);
        if (r.scheme)
            PutStringAt(kAppearance, L"Current", r.scheme);
        else
            DeleteValueAt(kAppearance, L"Current");
        Vitrell app;
        StartShown(app);
        const std::string where = Narrow(r.shot);
        const RectTwips t = WindowTwips(app.MainWindow());
        EXPECT_NEAR(t.height, r.height, tolerance) << where;
        EXPECT_NEAR(t.width, r.width, tolerance) << where;
        EXPECT_EQ(GetMenu(app.MainWindow()) != nullptr, r.menuBar) << where;
        if (save)
            SaveShot(app.MainWindow(), std::wstring(shots) + L"\\" + r.shot + L".bmp");
        EXPECT_TRUE(app.Close()) << where << ": " << app.Error();
    }
}

// Where the table was not measured (another DPI, another system), the window fits its bars: the client area ends
// at the toolbar's bottom edge, or at the menu bar's when the toolbar is off; the buttons hold the pictures of the
// DPI, the last one whole; Picture1 lies outside.
TEST_F(MainWindowE2E, WindowFitsItsBarsAtEveryDpi) {
    struct Row {
        DWORD dpi;
        const wchar_t* toolbar;
        int button;              // its side in pixels: the small-icon size of the DPI and its padding
        const wchar_t* version;  // Wine's version for the exe; nullptr: the prefix's own
        bool windows10;          // Windows 10's caption and menu heights and its padded border
        const wchar_t* shot;
    };
    const Row rows[] = {
        {96, L"1", 19, nullptr, false, L"dpi96-toolbar"},    {96, L"0", 19, nullptr, false, L"dpi96-menu"},
        {120, L"1", 24, nullptr, false, L"dpi120-toolbar"},  {120, L"0", 24, nullptr, false, L"dpi120-menu"},
        {144, L"1", 29, nullptr, false, L"dpi144-toolbar"},  {144, L"0", 29, nullptr, false, L"dpi144-menu"},
        {192, L"1", 38, nullptr, false, L"dpi192-toolbar"},  {192, L"0", 38, nullptr, false, L"dpi192-menu"},
        {96, L"1", 19, nullptr, true, L"windows10-toolbar"}, {96, L"1", 19, L"nt40", false, L"nt4-toolbar"},
        {96, L"0", 19, L"nt40", false, L"nt4-menu"},
    };
    wchar_t shots[MAX_PATH] = L"";
    const bool save = GetEnvironmentVariableW(L"VITRELL_SHOTS", shots, MAX_PATH) > 0;
    for (const Row& r : rows) {
        const std::string where = Narrow(r.shot);
        DeleteSettings();
        QuickStart();
        PutString(L"Config", L"OptTBar", r.toolbar);
        PutValueAt(kDesktop, L"LogPixels", REG_DWORD, &r.dpi, sizeof(r.dpi));
        for (const auto& metric : kWindows10Metrics) {
            if (r.windows10)
                PutStringAt(kWindowMetrics, metric[0], metric[1]);
            else
                DeleteValueAt(kWindowMetrics, metric[0]);
        }
        if (r.version)
            PutStringAt(kAppDefaults, L"Version", r.version);
        else
            DeleteKeyTree(kAppDefaults);
        Vitrell app;
        StartShown(app);
        RECT client{};
        GetClientRect(app.MainWindow(), &client);
        MapWindowPoints(app.MainWindow(), nullptr, reinterpret_cast<POINT*>(&client), 2);
        RECT bar{}, pictureRect{};
        GetWindowRect(toolbar, &bar);
        GetWindowRect(picture, &pictureRect);
        if (r.toolbar[0] == L'1') {
            EXPECT_EQ(bar.top, client.top) << where;
            EXPECT_EQ(bar.bottom, client.bottom) << where << ": no band below the toolbar, nothing of it cut off";
            const LRESULT size = SendBounded(toolbar, TB_GETBUTTONSIZE, 0, 0, "TB_GETBUTTONSIZE");
            EXPECT_EQ(LOWORD(size), r.button) << where;
            EXPECT_EQ(HIWORD(size), r.button) << where;
            const auto last = ToolbarButtonRect(app.Process(), toolbar, ToolbarButtonCount(toolbar) - 1);
            ASSERT_TRUE(last.has_value()) << where;
            EXPECT_LE(last->right, client.right) << where << ": the last button whole";
        } else {
            EXPECT_EQ(client.bottom, client.top) << where << ": the client area ends at the menu bar";
        }
        EXPECT_GE(pictureRect.top, client.bottom) << where << ": Picture1 out of sight";
        if (save)
            SaveShot(app.MainWindow(), std::wstring(shots) + L"\\" + r.shot + L".bmp");
        EXPECT_TRUE(app.Close()) << where << ": " << app.Error();
    }
}

TEST_F(MainWindowE2E, ToolbarButtonsDoWhatTheyShow) {
    PutString(L"Config", L"OptTou2", L"7");
    Vitrell app;
    app.TraceChannels(kHtmlHelpTrace);
    StartShown(app);
    ASSERT_EQ(ToolbarButtonCount(toolbar), 6);
    EXPECT_EQ(GetString(L"Config", L"OptOn_Off"), L"1") << "a first start comes up on";
    EXPECT_TRUE(LampShows(app, 3, "green"));

    // The store follows each click while the program runs (how fast is the benchmark's affair).
    EXPECT_TRUE(ClickUntilStored(Button(app, 0), L"OptTou", L"19")) << "level down";
    EXPECT_TRUE(ClickUntilStored(Button(app, 1), L"OptTou", L"20")) << "level up";
    EXPECT_TRUE(ClickUntilStored(Button(app, 5), L"OptTou", L"7")) << "reset";
    EXPECT_TRUE(ClickUntilStored(Button(app, 3), L"OptOn_Off", L"0")) << "switch";
    EXPECT_TRUE(LampShows(app, 3, "grey")) << "after the toggle";

    ASSERT_TRUE(ClickAt(Button(app, 4)));
    EXPECT_EQ(ViewerOfCall(app, 1), "HH_DISPLAY_TOC overview.htm");

    ASSERT_TRUE(ClickAt(Button(app, 2)));
    HWND dialog = WaitForSettingsDialog(app, 3000);
    EXPECT_NE(dialog, nullptr) << "button 3 did not open the settings dialog";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(app.MainWindow()); }, 2000)) << "the dialog is modal";
    // A second request (the tray's right click) brings the open one forward, never a second dialog.
    PostMessageW(picture, WM_MOUSEMOVE, 0, WM_RBUTTONUP);
    PumpFor(500);
    EXPECT_EQ(SettingsDialogsOf(app).size(), 1u);
    if (dialog)
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != FALSE; }, 3000));
    EXPECT_TRUE(app.Healthy());
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, TooltipsShowTheLevelAndTheSwitch) {
    PutString(L"Config", L"OptTou", L"35");
    Vitrell app;
    StartShown(app);
    const auto shownTip = [&] {
        for (HWND tip : TopLevelWindowsOf(app.Pid(), L"tooltips_class32"))
            if (IsWindowVisible(tip))
                return tip;
        return HWND{};
    };
    auto tipText = [&](int index) {
        std::wstring text;
        BringToFront(app.MainWindow());  // tooltips show while the program is active
        // A tip shows for a cursor that arrives, not one resting after a click; and the last one has to go first.
        MoveCursor({5, 5});
        WaitUntil([&] { return shownTip() == nullptr; }, 3000, "the last tooltip to go");
        MoveCursor(Button(app, index));
        WaitUntil(
            [&] {
                HWND tip = shownTip();
                return tip && !(text = ControlText(tip)).empty();
            },
            3000);
        return text;
    };
    EXPECT_EQ(tipText(1), L" 現在の透明度 35 ") << Narrow(tipText(1));
    EXPECT_EQ(tipText(3), L" 透明化：On ");
    ASSERT_TRUE(ClickAt(Button(app, 3)));
    ASSERT_TRUE(WaitUntil([&] { return GetString(L"Config", L"OptOn_Off") == L"0"; }, 1000));
    const std::wstring off = tipText(3);
    EXPECT_EQ(off, L" 透明化：Off ") << Narrow(off);
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, ARestartAfterAnExitWhileOffComesUpOff) {
    {
        Vitrell app;
        StartShown(app);
        ASSERT_TRUE(ClickAt(Button(app, 3)));
        ASSERT_TRUE(WaitUntil([&] { return GetString(L"Config", L"OptOn_Off") == L"0"; }, 1000));
        ASSERT_TRUE(app.Close()) << app.Error();
        EXPECT_EQ(GetString(L"Config", L"OptOn_Off"), L"1") << "stored inverted at exit";
    }
    Vitrell again;
    StartShown(again);
    EXPECT_EQ(GetString(L"Config", L"OptOn_Off"), L"0");
    EXPECT_TRUE(LampShows(again, 3, "grey"));
    EXPECT_TRUE(again.Close()) << again.Error();
}

TEST_F(MainWindowE2E, HoldingUpRaisesTheLevelUntilTheRangeMessage) {
    PutString(L"Config", L"OptTou", L"96");
    Vitrell app;
    StartShown(app);
    ASSERT_TRUE(BringToFront(app.MainWindow()));
    HWND box = nullptr;
    (void)WaitHoldingKeys(
        {VK_UP}, [&] { return (box = FindMessageBox(app.Pid(), kRangeTitle)) != nullptr; }, 5000);
    KeyUp(VK_UP);
    ASSERT_NE(box, nullptr) << "no range message; level " << Narrow(GetString(L"Config", L"OptTou").value_or(L"?"));
    EXPECT_EQ(MessageBoxText(box), L"透明度は 「0\uFF5E100」 の範囲で設定可能です。");
    PumpFor(300);
    EXPECT_EQ(TopLevelWindowsOf(app.Pid(), L"#32770").size(), 1u) << "one range message, however long the key is held";
    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return GetString(L"Config", L"OptTou") == L"100"; }, 1000))
        << Narrow(GetString(L"Config", L"OptTou").value_or(L"?"));
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, BothArrowKeysHeldLeaveTheLevel) {
    PutString(L"Config", L"OptTou", L"50");
    Vitrell app;
    StartShown(app);
    ASSERT_TRUE(BringToFront(app.MainWindow()));
    // The level may take a step while the second key is still on its way: it is read once both are down.
    ASSERT_TRUE(HoldKeysSteady({VK_UP, VK_DOWN}, 300, 5000)) << "the keys did not stay down";
    const auto level = GetString(L"Config", L"OptTou");
    (void)WaitHoldingKeys(
        {VK_UP, VK_DOWN}, [] { return false; }, 600);  // held for 600 ms more, a dozen display ticks
    EXPECT_EQ(GetString(L"Config", L"OptTou"), level);
    KeyUp(VK_DOWN);
    KeyUp(VK_UP);
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, TrayIconFromStartToExitAndItsPopupShowsAndHides) {
    // Stored on a monitor that has gone, far off this desktop: the window comes up whole on the screen.
    ASSERT_TRUE(PutString(L"Position", L"T_Left", L"300000") && PutString(L"Position", L"T_Top", L"200000"));
    Vitrell app;
    StartShown(app);
    EXPECT_TRUE(TrayIconExists(picture, kTrayIconId));
    RECT shown{};
    ASSERT_TRUE(GetWindowRect(app.MainWindow(), &shown));
    EXPECT_TRUE(shown.left >= 0 && shown.top >= 0 && shown.right <= GetSystemMetrics(SM_CXSCREEN) &&
                shown.bottom <= GetSystemMetrics(SM_CYSCREEN))
        << "at " << shown.left << "," << shown.top << " to " << shown.right << "," << shown.bottom;
    const RectTwips before = WindowTwips(app.MainWindow());

    // Left click on the icon: the main menu pops up; its file menu iconifies the window.
    ChooseFromTrayMenu(app, 'I');
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.MainWindow()); }, 3000)) << "not iconified";
    EXPECT_TRUE(WaitUntil([&] { return GetString(L"Config", L"OptWinS") == L"1"; }, 1000));
    EXPECT_TRUE(GetString(L"Position", L"T_Top").has_value());
    EXPECT_TRUE(TrayIconExists(picture, kTrayIconId));

    // Hidden: the pop-up again, and its show item brings the window back where it was.
    ChooseFromTrayMenu(app, 'S');
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(app.MainWindow()) != FALSE; }, 3000)) << "not shown";
    EXPECT_TRUE(WaitUntil([&] { return GetString(L"Config", L"OptWinS") == L"0"; }, 1000));
    const RectTwips after = WindowTwips(app.MainWindow());
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);

    // Ctrl+I works again: the iconify item is enabled once more.
    ASSERT_TRUE(BringToFront(app.MainWindow()));
    KeyDown(VK_CONTROL);
    PressKey('I');
    KeyUp(VK_CONTROL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.MainWindow()); }, 3000)) << "Ctrl+I did not iconify";

    // The exit while hidden stores the place the window had, whatever the store held meanwhile.
    ASSERT_TRUE(WaitUntil([&] { return GetString(L"Config", L"OptWinS") == L"1"; }, 1000));
    ASSERT_TRUE(PutString(L"Position", L"T_Top", L"0") && PutString(L"Position", L"T_Left", L"0"));
    ASSERT_TRUE(app.Close()) << app.Error();
    EXPECT_FALSE(TrayIconExists(picture, kTrayIconId)) << "the icon outlives the program";
    const auto stored = [](const wchar_t* key) { return std::stod(GetString(L"Position", key).value_or(L"nan")); };
    EXPECT_NEAR(stored(L"T_Top"), after.top, 0.01);
    EXPECT_NEAR(stored(L"T_Left"), after.left, 0.01);
}

TEST_F(MainWindowE2E, PopupWorksWithTheMenuBarHidden) {
    PutString(L"Config", L"OptMBar", L"0");
    Vitrell app;
    StartShown(app);
    EXPECT_EQ(GetMenu(app.MainWindow()), nullptr);
    ChooseFromTrayMenu(app, 'I');
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.MainWindow()); }, 3000)) << "not iconified";
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, StartsHiddenWithTheIconWhenLeftIconifiedAndASecondStartShowsIt) {
    PutString(L"Config", L"OptWinS", L"1");
    Vitrell app;
    StartHidden(app);
    EXPECT_FALSE(IsWindowVisible(app.MainWindow()));
    // Hidden in the tray, the program still treats the window under the cursor.
    TargetWindow target({40, 560, 440, 860});
    ASSERT_TRUE(MoveCursor(target.TitleBarPoint()));
    EXPECT_TRUE(WaitUntil([&] { return AlphaOf(target.Window()) == 204; }, 2500)) << AlphaText(target.Window());
    // Starting the program again brings this copy's window out of the tray; once more while it shows.
    StartASecondCopy(app);
    StartASecondCopy(app);
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, CloseBoxCancelKeepsEverythingOkStoresAndEnds) {
    Vitrell app;
    StartShown(app);
    const auto close = CloseBoxPoint(app.MainWindow());
    ASSERT_TRUE(close.has_value()) << "no close box";
    ASSERT_TRUE(ClickAt(*close));
    HWND box = WaitForMessageBox(app.Pid(), kExitTitle);
    ASSERT_NE(box, nullptr) << "no question";
    EXPECT_EQ(MessageBoxText(box), L"「ビトレル for Windows」 を終了しますか？");
    AnswerMessageBox(box, IDCANCEL);
    PumpFor(500);
    EXPECT_TRUE(app.Healthy());
    EXPECT_TRUE(TrayIconExists(picture, kTrayIconId));
    EXPECT_FALSE(GetString(L"Position", L"T_Top").has_value()) << "Cancel stores nothing";

    const RectTwips place = WindowTwips(app.MainWindow());
    ASSERT_TRUE(ClickAt(*close));
    box = WaitForMessageBox(app.Pid(), kExitTitle);
    ASSERT_NE(box, nullptr);
    AnswerMessageBox(box, IDOK);
    // No second question: the process ends on its own.
    EXPECT_EQ(WaitForSingleObject(app.Process(), 5000), WAIT_OBJECT_0);
    EXPECT_FALSE(TrayIconExists(picture, kTrayIconId));
    EXPECT_EQ(GetString(L"Config", L"OptOn_Off"), L"0") << "the running state was on";
    const auto top = GetString(L"Position", L"T_Top");
    ASSERT_TRUE(top.has_value());
    EXPECT_NEAR(std::stod(*top), place.top, 0.01);
}

TEST_F(MainWindowE2E, LogOffAnsweredCancelIsRefused) {
    Vitrell app;
    StartShown(app);
    // The log-off question blocks the sender until it is answered.
    SendFromThread logOff(app.MainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    HWND box = WaitForMessageBox(app.Pid(), kExitTitle);
    EXPECT_NE(box, nullptr) << "no question for the log-off";
    if (box)
        AnswerMessageBox(box, IDCANCEL);
    EXPECT_EQ(logOff.Answer(20000), FALSE) << "the log-off was not refused";
    EXPECT_TRUE(app.Healthy());
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, F1AndContentsOpenTheHelpFileBesideTheExe) {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    // Started in its own folder or in another current directory, it finds what lies beside the exe: the help
    // file and the toolbar's icons in "resource\". Windows 7 has no WinHelp: F1 and 目次 open VITRELL.chm in
    // HTML Help, on its index and its contents, both at its first page.
    for (const std::wstring& current : {std::wstring(), std::wstring(temp)}) {
        SCOPED_TRACE("started in " + (current.empty() ? "the exe's folder" : Narrow(current)));
        DeleteSettings();
        QuickStart();
        Vitrell app;
        app.TraceChannels(kHtmlHelpTrace);
        StartShown(app, current);
        EXPECT_TRUE(LampShows(app, 3, "green")) << "no icon from resource\\";
        ASSERT_TRUE(BringToFront(app.MainWindow()));
        PressKey(VK_F1);
        EXPECT_EQ(ViewerOfCall(app, 1), "HH_DISPLAY_INDEX overview.htm");
        ASSERT_TRUE(BringToFront(app.MainWindow()));
        KeyDown(VK_MENU);
        PressKey('M');
        KeyUp(VK_MENU);
        ASSERT_TRUE(ChooseFromMenus(app.Pid(), {'H', 'C'}));
        EXPECT_EQ(ViewerOfCall(app, 2), "HH_DISPLAY_TOC overview.htm");
        EXPECT_TRUE(app.Close()) << app.Error();
        const auto calls = HtmlHelpCalls(app);
        EXPECT_TRUE(!calls.empty() && calls.back() == "HH_CLOSE_ALL") << "the exit closes HTML Help";
    }
}

TEST_F(MainWindowE2E, BadToolbarValuesLeaveTheDefaultArrangement) {
    struct Row {
        const char* what;
        void (*put)();
    };
    const Row rows[] = {
        {"garbage bytes",
         [] {
             PutBinary(L"Config", L"Toolbar", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
         }},
        {"odd length",
         [] {
             PutBinary(L"Config", L"Toolbar", {0x65, 0, 0});
         }},
        {"a text", [] { PutString(L"Config", L"Toolbar", L"abc"); }},
        {"a number", [] { PutDword(L"Config", L"Toolbar", 7); }},
    };
    for (const Row& r : rows) {
        DeleteSettings();
        QuickStart();
        r.put();
        Vitrell app;
        StartShown(app);
        PumpFor(500);
        EXPECT_EQ(ToolbarButtonCount(toolbar), 6) << r.what;
        EXPECT_TRUE(app.Healthy()) << r.what;
        EXPECT_TRUE(app.Close()) << r.what << ": " << app.Error();
    }
}

TEST_F(MainWindowE2E, MissingOrCorruptIconsStillBuildTheToolbar) {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring exe = VitrellExePath();
    const struct {
        bool corrupt;
        DWORD dpi;  // the pictures are asked for at 16 and at 32 px
    } rows[] = {{false, 96}, {true, 96}, {false, 192}, {true, 192}};
    for (const auto& [corrupt, dpi] : rows) {
        const std::string what = std::string(corrupt ? "corrupt" : "missing") + " at " + std::to_string(dpi) + " dpi";
        PutValueAt(kDesktop, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
        const std::wstring folder = std::wstring(temp) + (corrupt ? L"vt-corrupt" : L"vt-noicons");
        CreateDirectoryW(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(exe.c_str(), (folder + L"\\VITRELL.exe").c_str(), FALSE));
        if (corrupt) {
            CreateDirectoryW((folder + L"\\resource").c_str(), nullptr);
            for (const wchar_t* name : {L"arrow_down.ico", L"arrow_up.ico", L"property.ico", L"on.ico", L"off.ico",
                                        L"help.ico", L"undo.ico"}) {
                const char junk[] = "not an icon at all";
                ASSERT_TRUE(WriteFileBytes(folder + L"\\resource\\" + name, junk, sizeof(junk)));
            }
        }
        SetEnvironmentVariableW(L"VITRELL_EXE", (folder + L"\\VITRELL.exe").c_str());
        DeleteSettings();
        QuickStart();
        Vitrell app;
        StartShown(app);
        EXPECT_EQ(ToolbarButtonCount(toolbar), 6) << what;
        EXPECT_TRUE(ClickUntilStored(Button(app, 1), L"OptTou", L"21"))
            << "the level-up button without its picture, " << what;
        EXPECT_TRUE(app.Close()) << app.Error();
    }
}

TEST_F(MainWindowE2E, ResetToAnEditedInitialLevelNeverCrashes) {
    for (const wchar_t* initial : {L"250", L"abc", L"-5"}) {
        DeleteSettings();
        QuickStart();
        PutString(L"Config", L"OptTou2", initial);
        Vitrell app;
        StartShown(app);
        EXPECT_TRUE(ClickUntilStored(Button(app, 5), L"OptTou", initial)) << Narrow(initial);
        PumpFor(1500);  // a tracking tick with that level
        EXPECT_TRUE(app.Healthy()) << Narrow(initial);
        EXPECT_TRUE(app.Close()) << app.Error();
    }
}

TEST_F(MainWindowE2E, FiveHundredFastClicksOnALevelButton) {
    Vitrell app;
    StartShown(app);
    for (int i = 0; i < 500; ++i)
        PostMessageW(app.MainWindow(), WM_COMMAND, MAKEWPARAM(kFirstToolbarCommand + 1, BN_CLICKED),
                     reinterpret_cast<LPARAM>(toolbar));
    HWND box = WaitForMessageBox(app.Pid(), kRangeTitle, 10000);
    ASSERT_NE(box, nullptr) << "no range message at 100";
    PumpFor(500);
    EXPECT_EQ(TopLevelWindowsOf(app.Pid(), L"#32770").size(), 1u);
    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return GetString(L"Config", L"OptTou") == L"100"; }, 2000));
    PumpFor(300);
    EXPECT_EQ(FindMessageBox(app.Pid(), kRangeTitle), nullptr) << "a second range message";
    EXPECT_TRUE(app.Healthy());
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, SystemMenuEntryOpensTheDialogModelessOnce) {
    Vitrell app;
    StartShown(app);
    for (int i = 0; i < 2; ++i)
        PostMessageW(app.MainWindow(), WM_SYSCOMMAND, 1000, 0);
    EXPECT_TRUE(WaitUntil([&] { return !SettingsDialogsOf(app).empty(); }, 3000));
    PumpFor(500);
    EXPECT_EQ(SettingsDialogsOf(app).size(), 1u);
    EXPECT_TRUE(IsWindowEnabled(app.MainWindow())) << "modeless: the main window stays usable";
    // A modal request meanwhile (toolbar button 3) brings the same dialog forward and does not fail.
    ASSERT_TRUE(ClickAt(Button(app, 2)));
    PumpFor(500);
    EXPECT_EQ(SettingsDialogsOf(app).size(), 1u);
    EXPECT_TRUE(app.Healthy());
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, AStoredArrangementComesBackAtTheFirstActivationUntilTheNextToggle) {
    // Reversed: reset first, the lamp third.
    ASSERT_TRUE(StoreArrangement({106, 105, 104, 103, 102, 101}));
    PutString(L"Config", L"OptTou2", L"3");
    Vitrell app;
    StartShown(app);
    ASSERT_TRUE(LampShows(app, 2, "green")) << "the lamp is not where the stored arrangement puts it";
    EXPECT_EQ(ToolbarButtonCount(toolbar), 6);
    // A button does what its picture shows, wherever it stands.
    EXPECT_TRUE(ClickUntilStored(Button(app, 0), L"OptTou", L"3")) << "the first button is the reset now";
    EXPECT_TRUE(ClickUntilStored(Button(app, 4), L"OptTou", L"4")) << "the fifth button raises the level now";
    // The toggle builds the default arrangement again.
    EXPECT_TRUE(ClickUntilStored(Button(app, 2), L"OptOn_Off", L"0"));
    EXPECT_TRUE(LampShows(app, 3, "grey"));
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, AnArrangementWithButtonsRemovedStillWorks) {
    ASSERT_TRUE(StoreArrangement({102, 104}));
    Vitrell app;
    StartShown(app);
    ASSERT_TRUE(WaitUntil([&] { return ToolbarButtonCount(toolbar) == 2; }, 3000)) << ToolbarButtonCount(toolbar);
    EXPECT_TRUE(ClickUntilStored(Button(app, 0), L"OptTou", L"21"));
    PumpFor(300);  // display ticks refresh the tooltips of a level-down button that is not there
    EXPECT_TRUE(app.Healthy());
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, TheCustomiseDialogRemovesAndResetsButtons) {
    Vitrell app;
    StartShown(app);
    const auto customiseDialog = [&] { return WaitForCustomizeDialog(app, 3000); };
    // What the settings dialog's "..." button asks of the main window.
    ASSERT_TRUE(PostMessageW(toolbar, TB_CUSTOMIZE, 0, 0));
    HWND dialog = customiseDialog();
    ASSERT_NE(dialog, nullptr) << "no customise dialog";
    constexpr int kRemove = 204, kReset = 202, kCurrentList = 203;
    SendBounded(GetDlgItem(dialog, kCurrentList), LB_SETCURSEL, 0, 0, "LB_SETCURSEL");
    SendBounded(dialog, WM_COMMAND, MAKEWPARAM(kRemove, BN_CLICKED), 0, "the customise dialog's Remove");
    EXPECT_TRUE(WaitUntil([&] { return ToolbarButtonCount(toolbar) == 5; }, 2000)) << ToolbarButtonCount(toolbar);
    EXPECT_EQ(SendBounded(GetDlgItem(dialog, 201), LB_GETCOUNT, 0, 0, "LB_GETCOUNT"), 2)
        << "the removed button is offered again";
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 2000));
    EXPECT_TRUE(ClickUntilStored(Button(app, 0), L"OptTou", L"21")) << "the level-up button comes first now";

    // A double click on the bare end of the bar opens the dialog again.
    const auto last = ToolbarButtonRect(app.Process(), toolbar, 4);
    ASSERT_TRUE(last.has_value());
    ASSERT_TRUE(DoubleClickAt({last->right + 6, (last->top + last->bottom) / 2}));
    dialog = customiseDialog();
    ASSERT_NE(dialog, nullptr) << "no customise dialog from the double click";
    SendBounded(dialog, WM_COMMAND, MAKEWPARAM(kReset, BN_CLICKED), 0, "the customise dialog's Reset");
    EXPECT_TRUE(WaitUntil([&] { return ToolbarButtonCount(toolbar) == 6; }, 2000)) << ToolbarButtonCount(toolbar);

    // Ending the program from the tray meanwhile closes the dialog and ends cleanly.
    ChooseFromTrayMenu(app, 'X');
    HWND box = WaitForMessageBox(app.Pid(), kExitTitle);
    ASSERT_NE(box, nullptr) << "the end item did not ask";
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(WaitForSingleObject(app.Process(), 5000), WAIT_OBJECT_0) << "still running";
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_FALSE(TrayIconExists(picture, kTrayIconId));
    EXPECT_EQ(GetString(L"Config", L"OptOn_Off"), L"0") << "on at the exit, stored inverted";
}

TEST_F(MainWindowE2E, TheIconComesBackWhenTheNotificationAreaIsRecreated) {
    Vitrell app;
    StartShown(app);
    ASSERT_TRUE(TrayIconExists(picture, kTrayIconId));
    // What a restarted shell finds: no icon, then the "TaskbarCreated" broadcast.
    NOTIFYICONDATAW gone{};
    gone.cbSize = sizeof(gone);
    gone.hWnd = picture;
    gone.uID = kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_FALSE(TrayIconExists(picture, kTrayIconId));
    PostMessageW(app.MainWindow(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(picture, kTrayIconId); }, 3000)) << "the icon stayed away";
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, RightClickOnTheIconOpensTheSettingsWhileHidden) {
    PutString(L"Config", L"OptWinS", L"1");
    Vitrell app;
    StartHidden(app);
    PostMessageW(picture, WM_MOUSEMOVE, 0, WM_MOUSEMOVE);  // a plain move over the icon does nothing
    PumpFor(300);
    EXPECT_TRUE(SettingsDialogsOf(app).empty());
    PostMessageW(picture, WM_MOUSEMOVE, 0, WM_RBUTTONUP);
    EXPECT_NE(WaitForSettingsDialog(app, 3000), nullptr) << "no settings dialog";
    EXPECT_FALSE(IsWindowVisible(app.MainWindow()));
    EXPECT_TRUE(CloseSettingsDialogs(app));
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(MainWindowE2E, ShortcutsWorkWhileTheMenuBarShows) {
    {
        Vitrell app;
        StartShown(app);
        ASSERT_TRUE(BringToFront(app.MainWindow()));
        KeyDown(VK_CONTROL);
        PressKey('K');
        KeyUp(VK_CONTROL);
        EXPECT_TRUE(WaitUntil([&] { return !SettingsDialogsOf(app).empty(); }, 3000))
            << "Ctrl+K did not open the settings dialog";
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(app.MainWindow()); }, 2000)) << "modal from Ctrl+K";
        EXPECT_TRUE(CloseSettingsDialogs(app));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != FALSE; }, 3000));
        EXPECT_TRUE(app.Close()) << app.Error();
    }
    // Without the menu bar the shortcuts rest.
    DeleteSettings();
    QuickStart();
    PutString(L"Config", L"OptMBar", L"0");
    Vitrell bare;
    bare.TraceChannels(kHtmlHelpTrace);
    StartShown(bare);
    ASSERT_TRUE(BringToFront(bare.MainWindow()));
    PressKey(VK_F1);
    KeyDown(VK_CONTROL);
    PressKey('I');
    KeyUp(VK_CONTROL);
    PumpFor(600);
    EXPECT_TRUE(HtmlHelpCalls(bare).empty()) << "F1 asked for help without the menu bar";
    EXPECT_TRUE(IsWindowVisible(bare.MainWindow())) << "Ctrl+I iconified without the menu bar";
    EXPECT_TRUE(bare.Close()) << bare.Error();
}

TEST_F(MainWindowE2E, TheVersionItemOpensTheVersionBoxAndEndingFromTheTrayAsksFirst) {
    Vitrell app;
    StartShown(app);
    ChooseFromTrayMenu(app, 'A', 'H');
    EXPECT_TRUE(WaitUntil([&] { return !TopLevelWindowsOf(app.Pid(), kVersionBoxClass).empty(); }, 3000))
        << "no version box";
    for (HWND box : TopLevelWindowsOf(app.Pid(), kVersionBoxClass))
        PostMessageW(box, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return TopLevelWindowsOf(app.Pid(), kVersionBoxClass).empty(); }, 3000));
    ChooseFromTrayMenu(app, 'X');
    HWND box = WaitForMessageBox(app.Pid(), kExitTitle);
    ASSERT_NE(box, nullptr) << "the end item did not ask";
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(WaitForSingleObject(app.Process(), 5000), WAIT_OBJECT_0);
    EXPECT_FALSE(TrayIconExists(picture, kTrayIconId));
}

}  // namespace
}  // namespace vitrell::e2e

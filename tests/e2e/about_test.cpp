// The splash INITDISP and the version box INFO_VER, driven from outside under Wine.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/product.h"
#include "tests/e2e/fonts.h"
#include "tests/e2e/harness.h"

namespace vitrell::e2e {
namespace {

constexpr wchar_t kStandInRecord[] = L"vitrell-e2e-command-line.txt";
constexpr COLORREF kLinkRest = RGB(192, 255, 192);
constexpr COLORREF kLinkHighlight = RGB(0, 255, 0);
constexpr double kBoxWidthTwips = 5925;
constexpr double kBoxHeightTwips = 3915;

std::wstring FileNameOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// This driver doubles as the stand-in browser: copied to where VITRELL expects IEXPLORE.EXE, it writes the
// command line it was given beside itself and ends before any test runs.
[[maybe_unused]] const bool kRanAsStandInBrowser = [] {
    wchar_t self[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0 || lstrcmpiW(FileNameOf(self).c_str(), L"IEXPLORE.EXE") != 0)
        return false;
    const std::wstring record = FolderOf(self) + L"\\" + kStandInRecord;
    HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const wchar_t* line = GetCommandLineW();
        DWORD written = 0;
        (void)WriteFile(file, line, static_cast<DWORD>(lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
        (void)CloseHandle(file);
    }
    ExitProcess(0);
}();

std::wstring SystemDrive() {
    wchar_t windir[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"WinDir", windir, MAX_PATH);
    return std::wstring(windir, n < 3 ? n : 3);
}

std::wstring BrowserPath() {
    return SystemDrive() + L"Program Files\\Internet Explorer\\IEXPLORE.EXE";
}

std::wstring ReadRecord(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        (void)file.release();
        return std::wstring();
    }
    std::wstring text(4096, L'\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr))
        return std::wstring();
    text.resize(read / sizeof(wchar_t));
    return text;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Puts a copy of this driver (or nothing) where the browser is expected, or at `path`, and puts back what was there.
class BrowserStandIn {
  public:
    explicit BrowserStandIn(bool install, std::wstring path = BrowserPath())
        : path_(std::move(path)), saved_(path_ + L".vitrell-e2e-saved") {
        record_ = FolderOf(path_) + L"\\" + kStandInRecord;
        (void)DeleteFileW(record_.c_str());  // a record from an earlier run would pass for this one
        if (Exists(path_))
            moved_ = MoveFileW(path_.c_str(), saved_.c_str()) != FALSE;
        if (install) {
            (void)CreateDirectoryW(FolderOf(path_).c_str(), nullptr);  // usually there already
            wchar_t self[MAX_PATH] = {};
            installed_ = GetModuleFileNameW(nullptr, self, MAX_PATH) != 0 && CopyFileW(self, path_.c_str(), FALSE);
        }
    }
    ~BrowserStandIn() {
        (void)DeleteFileW(path_.c_str());
        (void)DeleteFileW(record_.c_str());
        if (moved_)
            (void)MoveFileW(saved_.c_str(), path_.c_str());
    }
    BrowserStandIn(const BrowserStandIn&) = delete;
    BrowserStandIn& operator=(const BrowserStandIn&) = delete;

    bool Ready(bool install) const { return install ? installed_ : !Exists(path_); }
    const std::wstring& Path() const { return path_; }
    std::wstring Record() const { return ReadRecord(record_); }

  private:
    std::wstring path_;
    std::wstring saved_;
    std::wstring record_;
    bool moved_ = false;
    bool installed_ = false;
};

// Makes `command` the system's handler for a URL scheme, and puts back the one there was. Wine 8 looks only at the
// machine's classes (HKEY_CLASSES_ROOT), not at the user's.
struct SchemeHandler {
    SchemeHandler(std::wstring_view scheme, const std::wstring& command)
        : path(std::wstring(scheme) + L"\\shell\\open\\command") {
        DWORD bytes = sizeof(saved);
        hadOne = RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, saved, &bytes) == 0;
        ready = Put(command.c_str());
    }
    ~SchemeHandler() { (void)(hadOne && Put(saved)); }
    bool Put(const wchar_t* text) const {
        const auto bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
        return RegSetKeyValueW(HKEY_CLASSES_ROOT, path.c_str(), nullptr, REG_SZ, text, bytes) == ERROR_SUCCESS;
    }
    std::wstring path;
    wchar_t saved[1024] = {};
    bool hadOne = false, ready = false;
};

// A point of the version box's client area given in twips, on the screen.
POINT BoxPoint(HWND box, double xTwips, double yTwips) {
    RECT client{};
    GetClientRect(box, &client);
    POINT p{static_cast<LONG>(xTwips * client.right / kBoxWidthTwips),
            static_cast<LONG>(yTwips * client.bottom / kBoxHeightTwips)};
    ClientToScreen(box, &p);
    return p;
}

// A real pointer move, so the window under it gets WM_MOUSEMOVE as from the hand of a user.
bool HoverAt(POINT p) {
    if (!MoveCursor(p))
        return false;
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((p.x * 65535.0) / (GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>((p.y * 65535.0) / (GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendInput(1, &in, sizeof(in)) == 1;
}

// How many screen pixels of a label's rectangle (twips) have exactly this colour.
int PixelsOf(HWND box, double left, double top, double width, double height, COLORREF colour) {
    const POINT a = BoxPoint(box, left, top);
    const POINT b = BoxPoint(box, left + width, top + height);
    const std::vector<COLORREF> pixels = ScreenPixels({a.x, a.y, b.x, b.y});
    if (pixels.empty())
        return -1;
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour));
}

struct LinkRect {
    int index;
    double left, top, width, height;
};
// The link labels' rectangles; only their upper part is read, where a tooltip under the pointer never lies.
constexpr LinkRect kMailLabel{10, 480, 2265, 1665, 255};
constexpr LinkRect kUrlLabel{12, 480, 2910, 1425, 255};

int Highlighted(HWND box, const LinkRect& r) {
    return PixelsOf(box, r.left, r.top, r.width, r.height, kLinkHighlight);
}
int AtRest(HWND box, const LinkRect& r) {
    return PixelsOf(box, r.left, r.top, r.width, r.height, kLinkRest);
}
// Pixels of the links' part of the box that show the highlight, also where the highlight colour is blended into the
// background at the edges of letters (or of boxes drawn for missing letters): far greener than the rest colour blended
// the same way, and as much red as blue. A link's text may run past its label's rectangle.
int HighlightTintedInLinks(HWND box) {
    const POINT a = BoxPoint(box, 0, 2100);
    const POINT b = BoxPoint(box, kBoxWidthTwips, kBoxHeightTwips);
    int count = 0;
    for (COLORREF c : ScreenPixels({a.x, a.y, b.x, b.y})) {
        const int r = GetRValue(c), g = GetGValue(c), bl = GetBValue(c);
        count += g - r > 255 - 192 && std::abs(bl - r) < 32 ? 1 : 0;
    }
    return count;
}

// The link labels' texts, and the part of the box they are drawn in (twips), to its right edge.
constexpr const wchar_t* kLinkTexts[] = {L"E-Mail Address：", L"vitrell@example.org", L"URL Address：",
                                         L"http://www.example.org/", L"vitrell/"};
constexpr RECT kLinkArea{450, 2250, static_cast<LONG>(kBoxWidthTwips) - 30, 3620};

// How many different shapes the box shows in a part of it (twips): 8-connected runs of pixels unlike the background,
// told apart by size, form and colour. Text drawn with glyphs shows about one shape per different character; text
// drawn as boxes shows the same box for every character.
int DistinctShapes(HWND box, const RECT& twips) {
    const POINT a = BoxPoint(box, twips.left, twips.top);
    const POINT b = BoxPoint(box, twips.right, twips.bottom);
    const int w = b.x - a.x;
    const int h = b.y - a.y;
    const std::vector<COLORREF> pixels = ScreenPixels({a.x, a.y, b.x, b.y});
    if (pixels.empty())
        return -1;
    std::map<COLORREF, int> counts;
    for (COLORREF c : pixels)
        ++counts[c];
    COLORREF background = pixels.front();
    for (const auto& [colour, count] : counts) {
        if (count > counts[background])
            background = colour;
    }
    std::vector<int> component(pixels.size(), -1);
    std::set<std::vector<COLORREF>> shapes;
    for (int start = 0; start < w * h; ++start) {
        if (pixels[start] == background || component[start] >= 0)
            continue;
        std::vector<int> members{start};
        component[start] = start;
        for (size_t i = 0; i < members.size(); ++i) {
            const int x = members[i] % w;
            const int y = members[i] / w;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                        continue;
                    const int n = ny * w + nx;
                    if (pixels[n] != background && component[n] < 0) {
                        component[n] = start;
                        members.push_back(n);
                    }
                }
            }
        }
        int left = w, top = h, right = 0, bottom = 0;
        for (int m : members) {
            left = std::min(left, m % w);
            right = std::max(right, m % w);
            top = std::min(top, m / w);
            bottom = std::max(bottom, m / w);
        }
        // The shape: its size, then each pixel of its bounding box, its own colour or a mark for any other.
        std::vector<COLORREF> shape{static_cast<COLORREF>(right - left), static_cast<COLORREF>(bottom - top)};
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x)
                shape.push_back(component[y * w + x] == start ? pixels[y * w + x] : 0xFFFFFFFF);
        }
        shapes.insert(std::move(shape));
    }
    return static_cast<int>(shapes.size());
}

// The different characters with ink in the link labels.
int DistinctLinkCharacters() {
    std::set<wchar_t> characters;
    for (const wchar_t* text : kLinkTexts) {
        for (const wchar_t* c = text; *c; ++c) {
            if (*c != L' ')
                characters.insert(*c);
        }
    }
    return static_cast<int>(characters.size());
}

HWND OpenVersionBox(Vitrell& app) {
    // Through the menu bar as a user would: 総合ﾒﾆｭｰ(&M) > ﾍﾙﾌﾟ(&H) > ﾊﾞｰｼﾞｮﾝ情報(&A)...
    if (!BringToFront(app.MainWindow()))
        return nullptr;
    KeyDown(VK_MENU);
    PressKey('M');
    KeyUp(VK_MENU);
    if (!ChooseFromMenus(app.Pid(), {'H', 'A'}))
        return nullptr;
    HWND box = nullptr;
    (void)WaitUntil(
        [&] {
            const auto found = TopLevelWindowsOf(app.Pid(), kVersionBoxClass);
            box = found.empty() || !IsWindowVisible(found.front()) ? nullptr : found.front();
            return box != nullptr;
        },
        5000, "the version box to show");
    return box;
}

class AboutTest : public VitrellTest {
  protected:
    // Starts the program without its splash and opens the version box; null (with a failure) when either fails.
    static HWND StartWithVersionBox(Vitrell& app) {
        if (!PutString(L"Config", L"OptLogo", L"0") || !app.Start()) {
            ADD_FAILURE() << "start: " << app.Error();
            return nullptr;
        }
        HWND box = OpenVersionBox(app);
        if (!box)
            ADD_FAILURE() << "no version box after the help menu";
        return box;
    }

    static void CloseBoxAndProgram(Vitrell& app, HWND box) {
        PostMessageW(box, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 3000)) << "the close box did not close it";
        EXPECT_TRUE(app.Close()) << app.Error();
    }

    // A warning with this title and text appears, OK answers it, and the version box stays open.
    static void ExpectWarning(Vitrell& app, HWND box, std::wstring_view title, std::wstring_view text) {
        HWND warning = WaitForMessageBox(app.Pid(), title);
        ASSERT_NE(warning, nullptr) << "no message box " << Narrow(title);
        EXPECT_EQ(Narrow(MessageBoxText(warning)), Narrow(text));
        EXPECT_TRUE(AnswerMessageBox(warning, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(warning); }, 3000));
        EXPECT_TRUE(IsWindow(box)) << "the box closed after the warning";
    }
};

struct StartArgs {
    Vitrell* app;
    bool ok;
};

DWORD WINAPI StartThread(void* param) {
    auto* args = static_cast<StartArgs*>(param);
    args->ok = args->app->Start(30000);
    return 0;
}

TEST_F(AboutTest, SplashShowsFiveSecondsBeforeTheMainWindowAndIgnoresClicksAndKeys) {
    ASSERT_TRUE(PutString(L"Config", L"OptLogo", L"1"));
    Vitrell app;
    StartArgs args{&app, false};
    // Start waits for the main window; the splash is watched from here meanwhile.
    UniqueHandle starter(CreateThread(nullptr, 0, StartThread, &args, 0, nullptr));
    ASSERT_TRUE(starter);

    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (splash = FindWindowW(kSplashClass, nullptr)) != nullptr; }, 15000))
        << "no splash appeared";
    const ULONGLONG shown = GetTickCount64();
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr) << "main window exists while the splash shows";

    const LONG style = GetWindowLongW(splash, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_DLGFRAME) << "style 0x" << std::hex << style << ": no caption, a dialog frame";
    RECT client{};
    GetClientRect(splash, &client);
    const Dpi dpi = ScreenDpi();
    EXPECT_NEAR(client.right, 8205.0 * dpi.x / 1440, 1.0);
    EXPECT_NEAR(client.bottom, 3675.0 * dpi.y / 1440, 1.0);
    RECT outer{};
    GetWindowRect(splash, &outer);
    EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred";
    EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1) << "centred";

    // A click, Escape, Return and Alt+F4 on the splash: none of them may close it.
    PumpFor(500);
    const POINT middle{(outer.left + outer.right) / 2, (outer.top + outer.bottom) / 2};
    EXPECT_TRUE(ClickAt(middle));
    (void)SetForegroundWindow(splash);
    PressKey(VK_ESCAPE);
    PressKey(VK_RETURN);
    KeyDown(VK_MENU);
    PressKey(VK_F4);
    KeyUp(VK_MENU);
    PumpFor(1000);
    EXPECT_TRUE(IsWindow(splash)) << "closed by input after " << GetTickCount64() - shown << " ms";

    bool mainBeforeClose = false;
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (!IsWindow(splash))
                return true;
            mainBeforeClose = mainBeforeClose || FindWindowW(kMainWindowClass, nullptr) != nullptr;
            return false;
        },
        10000))
        << "splash still open after " << GetTickCount64() - shown << " ms";
    const ULONGLONG closed = GetTickCount64();
    EXPECT_GE(closed - shown, 4700u);
    EXPECT_LE(closed - shown, 6500u);
    EXPECT_FALSE(mainBeforeClose) << "the main window appeared before the splash closed";

    ASSERT_EQ(WaitForSingleObject(starter.get(), 20000), WAIT_OBJECT_0);
    ASSERT_TRUE(args.ok) << app.Error();
    EXPECT_TRUE(app.Close()) << app.Error();
}

TEST_F(AboutTest, VersionBoxFromTheHelpMenuHighlightsAGroupAndTheBackgroundRestoresAll) {
    // With the designed faces, and without them (the program then draws with a face of the system that has glyphs,
    // which may run wider than the labels' rectangles).
    for (bool aside : {false, true}) {
        SCOPED_TRACE(aside ? "font replacements aside" : "font replacements in place");
        FontReplacements replacements(aside);
        ASSERT_TRUE(replacements.Ready());
        Vitrell app;
        HWND box = StartWithVersionBox(app);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Narrow(ControlText(box)), Narrow(L"ﾊﾞｰｼﾞｮﾝ情報"));
        EXPECT_FALSE(IsWindowEnabled(app.MainWindow())) << "the box is modal";

        // Letters, not boxes: the links at rest and painted, with no tooltip over them, and the OK button's caption.
        ASSERT_TRUE(HoverAt(BoxPoint(box, 5000, 3500)));
        int shapes = -1;
        (void)WaitUntil(
            [&] {
                const int now = DistinctShapes(box, kLinkArea);
                const bool settled = now == shapes && now > 0 && HighlightTintedInLinks(box) == 0;
                shapes = now;
                return settled;
            },
            2000);
        EXPECT_GE(2 * shapes, DistinctLinkCharacters())
            << shapes << " different shapes for " << DistinctLinkCharacters() << " different characters";
        HWND ok = FindWindowExW(box, nullptr, L"Button", nullptr);
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(Narrow(MissingGlyphs(ok, L"OK")), "") << "drawn as boxes on the OK button";

        ASSERT_TRUE(HoverAt(BoxPoint(box, 600, 2940)));  // on "URL Address："
        EXPECT_TRUE(WaitUntil([&] { return Highlighted(box, kUrlLabel) > 0; }, 2000))
            << "URL label: " << Highlighted(box, kUrlLabel) << " highlighted pixels, " << AtRest(box, kUrlLabel)
            << " at rest";
        EXPECT_EQ(Highlighted(box, kMailLabel), 0) << "the mail group lit with the home-page group";
        EXPECT_GT(AtRest(box, kMailLabel), 0);
        // Whatever uncovers the box while the group is lit (its own tooltip going, another window) repaints all of it
        // lit, also where a wider face runs past the labels' rectangles.
        (void)RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // the pixels tell
        int lit = -1;
        (void)WaitUntil(
            [&] {
                const int now = HighlightTintedInLinks(box);
                const bool settled = now == lit && now > 0;
                lit = now;
                return settled;
            },
            2000);

        ASSERT_TRUE(HoverAt(BoxPoint(box, 5000, 3500)));  // the dialog's own background
        EXPECT_TRUE(WaitUntil([&] { return Highlighted(box, kUrlLabel) == 0 && AtRest(box, kUrlLabel) > 0; }, 2000))
            << "URL label: " << Highlighted(box, kUrlLabel) << " highlighted pixels after the background";
        EXPECT_TRUE(WaitUntil([&] { return HighlightTintedInLinks(box) == 0; }, 2000))
            << HighlightTintedInLinks(box) << " pixels still highlighted after the background";
        EXPECT_EQ(Highlighted(box, kMailLabel), 0);

        ASSERT_TRUE(HoverAt(BoxPoint(box, 600, 2290)));  // on "E-Mail Address："
        EXPECT_TRUE(
            WaitUntil([&] { return Highlighted(box, kMailLabel) > 0 && Highlighted(box, kUrlLabel) == 0; }, 2000))
            << "mail label: " << Highlighted(box, kMailLabel) << " highlighted pixels";

        // OK closes the box and gives the main window back.
        EXPECT_EQ(Narrow(ControlText(ok)), "OK");
        RECT r{};
        GetWindowRect(ok, &r);
        EXPECT_TRUE(ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 3000)) << "OK did not close the box";
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != FALSE; }, 2000));
        EXPECT_TRUE(app.Close()) << app.Error();
    }
}

TEST_F(AboutTest, HomePageLinkStartsTheBrowserWithTheAddressAsItsArgument) {
    BrowserStandIn browser(true);
    ASSERT_TRUE(browser.Ready(true)) << "could not place the stand-in at " << Narrow(browser.Path());
    Vitrell app;
    HWND box = StartWithVersionBox(app);
    ASSERT_NE(box, nullptr);

    EXPECT_TRUE(ClickAt(BoxPoint(box, 600, 3160)));  // the first part of the address
    std::wstring line;
    EXPECT_TRUE(WaitUntil([&] { return !(line = browser.Record()).empty(); }, 10000)) << "the stand-in never ran";
    // The program path quoted: a path with blanks never starts "C:\Program.exe".
    EXPECT_EQ(Narrow(line), Narrow(L"\"" + browser.Path() + L"\" " + std::wstring(kHomePage)));
    EXPECT_EQ(FindMessageBox(app.Pid()), nullptr) << "a warning although the browser is there";
    EXPECT_TRUE(IsWindow(box));

    CloseBoxAndProgram(app, box);
}

// Without the designed program (a Wine prefix has no Outlook Express; Internet Explorer is moved aside) a link goes
// to the system's handler for its scheme: a copy of this driver that records its command line, or a command naming a
// program that is not there, and only then the designed warning. The box stays open throughout.
TEST_F(AboutTest, WithoutTheDesignedProgramALinkGoesToTheSystemsHandlerAndWarnsOnlyWhenThatFails) {
    ASSERT_FALSE(Exists(SystemDrive() + L"Program Files\\Outlook Express\\MSIMN.EXE")) << "this prefix has one";
    BrowserStandIn noBrowser(false);
    ASSERT_TRUE(noBrowser.Ready(false)) << "could not move " << Narrow(noBrowser.Path()) << " aside";
    const std::wstring handler = DriverFolder() + L"\\scheme-handler\\IEXPLORE.EXE";
    const struct {
        const wchar_t* scheme;
        double y;  // the label clicked, in twips on the box
        bool handlerThere;
        std::wstring_view address, title, text;  // what the handler gets; else the warning when it cannot start
    } rows[] = {
        {L"mailto", 2300, true, L"mailto:vitrell@example.org", {}, {}},  // "E-Mail Address："
        {L"mailto", 2520, false, {}, L"OE ｲﾝｽﾄｰﾙ 確認", L"「Outlook Express」 が ｲﾝｽﾄｰﾙ されていません。"},
        {L"http", 3380, false, {}, L"IE ｲﾝｽﾄｰﾙ 確認", L"「Internet Explorer」 が ｲﾝｽﾄｰﾙ されていません。"},
    };
    Vitrell app;
    HWND box = StartWithVersionBox(app);
    ASSERT_NE(box, nullptr);
    for (const auto& r : rows) {
        SCOPED_TRACE(Narrow(r.scheme) + (r.handlerThere ? " with its handler" : " with a missing handler"));
        BrowserStandIn stub(r.handlerThere, handler);
        SchemeHandler registered(r.scheme, L"\"" + handler + L"\" \"%1\"");
        ASSERT_TRUE(stub.Ready(r.handlerThere) && registered.ready);
        EXPECT_TRUE(ClickAt(BoxPoint(box, 600, r.y)));
        if (!r.handlerThere) {
            ExpectWarning(app, box, r.title, r.text);
            continue;
        }
        std::wstring line;
        EXPECT_TRUE(WaitUntil([&] { return !(line = stub.Record()).empty(); }, 10000)) << "the handler never ran";
        EXPECT_EQ(Narrow(line), Narrow(L"\"" + handler + L"\" \"" + std::wstring(r.address) + L"\""));
        PumpFor(500);
        EXPECT_EQ(FindMessageBox(app.Pid()), nullptr) << "a warning although the handler ran";
    }
    CloseBoxAndProgram(app, box);
}

}  // namespace
}  // namespace vitrell::e2e

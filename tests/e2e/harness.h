#pragma once
// The end-to-end harness: drives the real VITRELL.exe from a second Win32 process under Wine.
//
// Writing a test (tests/e2e/NAME_test.cpp; every TEST_F there becomes one CTest entry "e2e.Suite.Name"):
//
//     class MyTest : public vitrell::e2e::VitrellTest {};      // scratch settings key, no leftover VITRELL
//     TEST_F(MyTest, LevelReachesTitleBar) {
//         PutString(L"Config", L"OptTou", L"50");               // before the start: start-up reads it once
//         Vitrell app;
//         ASSERT_TRUE(app.Start()) << app.Error();             // waits until the main window is loaded and shown
//         TargetWindow target({100, 500, 500, 800});            // a window of its own class, own thread
//         ASSERT_TRUE(MoveCursor(target.TitleBarPoint()));
//         EXPECT_TRUE(WaitUntil([&] { return AlphaOf(target.Window()) == 128; }, 2500))
//             << "alpha " << AlphaText(target.Window());
//         EXPECT_TRUE(app.Close());                            // answers the exit question with OK
//     }
//
// Rules of thumb: poll with WaitUntil instead of sleeping; read another process's control texts with
// ControlText (GetWindowTextW returns nothing across processes); post, do not send, messages that open a
// modal loop in VITRELL (a send would block the driver until the loop ends).
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "core/product.h"
#include "platform/twips.h"
#include "platform/unique_resource.h"

namespace vitrell::e2e {

// ---- Kernel handles ----------------------------------------------------------------------------------------

using UniqueHandle = UniqueResource<Closes<HANDLE, CloseHandle>>;

// ---- Stalls --------------------------------------------------------------------------------------------------

// Names what the driver is waiting on while it lives. A test that runs past 100 s is ended by a watchdog that
// prints the test and the innermost call named here ("[  STALLED ]"), before CTest's own timeout would end it
// without a word.
class BlockingCall {
  public:
    explicit BlockingCall(const char* what);
    ~BlockingCall();
    BlockingCall(const BlockingCall&) = delete;
    BlockingCall& operator=(const BlockingCall&) = delete;

  private:
    const char* previous_;
};

// ---- Waiting -------------------------------------------------------------------------------------------------

// Pumps the calling thread's messages for about `ms` milliseconds (never a bare Sleep: windows this thread
// owns must keep answering).
void PumpFor(DWORD ms);

// Prints that a wait for `what` ran out after `timeoutMs`.
void ReportWaitRanOut(const char* what, DWORD timeoutMs);

// Polls `condition` every 20 ms (pumping messages in between) until it holds or `timeoutMs` has passed.
// True when it held; the condition is evaluated once more at the deadline. `what` names what is awaited: the
// watchdog names it while the wait lasts, and a wait that runs out prints "[  WAITED  ] <what> ..." (the helpers
// below name theirs; a test's own wait says it in its assertion's message).
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs, const char* what = nullptr) {
    const BlockingCall call(what ? what : "WaitUntil (a condition the test polls)");
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline) {
            if (condition())
                return true;
            if (what)
                ReportWaitRanOut(what, timeoutMs);
            return false;
        }
        PumpFor(20);
    }
}

// ---- Registry (HKEY_CURRENT_USER) ----------------------------------------------------------------------------

// Deletes a key and everything below it. True when it is gone afterwards (also when it never existed).
bool DeleteKeyTree(std::wstring_view path);
// Stores a value of any type under HKCU\path, creating the key.
bool PutValueAt(std::wstring_view path, std::wstring_view name, DWORD type, const void* data, DWORD bytes);
bool PutStringAt(std::wstring_view path, std::wstring_view name, std::wstring_view text, DWORD type = REG_SZ);
// A REG_SZ value's text; nullopt when the key or the value is missing or of another type.
std::optional<std::wstring> GetStringAt(std::wstring_view path, std::wstring_view name);
// The type of a value; nullopt when it is missing.
std::optional<DWORD> GetTypeAt(std::wstring_view path, std::wstring_view name);
// Deletes a value; true when it is gone afterwards (also when it never existed).
bool DeleteValueAt(std::wstring_view path, std::wstring_view name);
// The names of the values under a key (registry order, not write order); empty when the key is missing.
std::vector<std::wstring> ValueNamesAt(std::wstring_view path);

// Lets everybody only read a key (and what is created below it later), or gives full access back.
// The key must exist. False when the system refused.
bool SetKeyReadOnly(std::wstring_view path, bool readOnly);

// The same under the settings key: section is L"Config" or L"Position".
std::wstring SectionPath(std::wstring_view section);
// Deletes the settings key, first giving back full access to a part a test made read-only.
void DeleteSettings();
bool PutString(std::wstring_view section, std::wstring_view name, std::wstring_view text);
bool PutDword(std::wstring_view section, std::wstring_view name, DWORD value);
bool PutBinary(std::wstring_view section, std::wstring_view name, const std::vector<BYTE>& bytes);
std::optional<std::wstring> GetString(std::wstring_view section, std::wstring_view name);
std::vector<std::wstring> ValueNames(std::wstring_view section);

// ---- Processes -----------------------------------------------------------------------------------------------

// The folder of the driver exe (VITRELL.exe and the probes are built beside it).
std::wstring DriverFolder();
// VITRELL.exe: the environment variable VITRELL_EXE when set, otherwise beside the driver.
std::wstring VitrellExePath();
// Ends every VITRELL.exe of the prefix (a leftover of a failed test) and waits until it is gone.
void KillLeftoverVitrell();

// Runs a console program to its end and returns what it printed on stdout (nullopt on failure or timeout).
std::optional<std::string> RunAndCapture(const std::wstring& exePath, DWORD timeoutMs);

// The top-level windows of one process with a given class (hidden ones included).
std::vector<HWND> TopLevelWindowsOf(DWORD pid, std::wstring_view className);

// One running VITRELL.exe. The destructor kills it when a test has left it running.
class Vitrell {
  public:
    Vitrell() = default;
    ~Vitrell();
    Vitrell(const Vitrell&) = delete;
    Vitrell& operator=(const Vitrell&) = delete;

    // How the main window comes up: shown, or only loaded (in the tray). kAuto: as the stored OptWinS says
    // (hidden exactly when it is "1"), read when Start is called.
    enum class Shown { kAuto, kVisible, kHidden };
    // Starts the program and waits up to `timeoutMs` for its main window (class L"VITRELL"). Shown: waits until
    // it is visible, which start-up does only after the window's load has run. Hidden: waits until the window
    // exists and answers a message; its load may still be finishing then, so poll for what it does.
    // `currentDirectory`: the folder the program starts in; empty: the exe's own folder.
    bool Start(DWORD timeoutMs = 15000, Shown shown = Shown::kAuto, const std::wstring& currentDirectory = {});
    // The same, with Wine tracing the program's registry calls into the driver's stderr log (see RegistryWrites).
    bool StartTracingRegistry(DWORD timeoutMs = 15000, Shown shown = Shown::kAuto);
    // Has Wine trace these debug channels (a WINEDEBUG value, which the programs it starts inherit) from the next
    // Start on.
    void TraceChannels(const wchar_t* wineDebug) { channels_ = wineDebug; }
    // What the traces wrote to the driver's stderr log since the start; nullopt without a log.
    std::optional<std::string> TraceSinceStart() const;
    // The value names the program's main thread has written since StartTracingRegistry, in write order.
    // nullopt when no trace is available (the driver runs without $VITRELL_E2E_STDERR, as e2e_run.sh sets it).
    std::optional<std::vector<std::wstring>> RegistryWrites() const;
    // Posts WM_CLOSE to the main window, answers the exit question "終了確認" with OK when it appears, and waits
    // for the process to end. False (see Error) when it did not end in time.
    bool Close(DWORD timeoutMs = 10000);
    void Kill();

    bool Alive() const;
    // Alive and its main window still exists: "did not crash".
    bool Healthy() const;
    DWORD Pid() const { return pid_; }
    HANDLE Process() const { return process_.get(); }
    HWND MainWindow() const { return main_; }
    std::optional<DWORD> ExitCode() const;
    const std::string& Error() const { return error_; }

  private:
    bool Launch(DWORD timeoutMs, Shown shown, const wchar_t* wineDebug, const std::wstring& currentDirectory = {});
    UniqueHandle process_;
    DWORD pid_ = 0;
    DWORD mainThreadId_ = 0;
    std::optional<ULONGLONG> traceOffset_;
    const wchar_t* channels_ = nullptr;
    HWND main_ = nullptr;
    std::string error_;
};

// A message sent from a thread of its own, for a message whose handler opens a modal box in VITRELL (a log-off's
// WM_QUERYENDSESSION asks the exit question): the test answers the box while the send waits.
class SendFromThread {
  public:
    SendFromThread(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    ~SendFromThread();  // waits for the send to end
    SendFromThread(const SendFromThread&) = delete;
    SendFromThread& operator=(const SendFromThread&) = delete;
    // What the handler returned; nullopt when the send failed or has not returned within `timeoutMs`.
    std::optional<LRESULT> Answer(DWORD timeoutMs);

  private:
    static DWORD WINAPI Run(void* self);
    HWND window_;
    UINT msg_;
    WPARAM wParam_;
    LPARAM lParam_;
    std::optional<LRESULT> answer_;
    UniqueHandle thread_;
};

// ---- Windows of the driver -----------------------------------------------------------------------------------

// A window of the driver made and run by a thread of its own with its own message loop, so it answers while the
// test thread waits. The derived class makes the window in Create (on that thread) and calls Stop in its
// destructor, before its own members go.
class WindowThread {
  public:
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;
    HWND Window() const { return window_; }

  protected:
    WindowThread() = default;
    ~WindowThread() { Stop(); }
    // Starts the thread and returns once Create has run there; false when no window came of it.
    bool Launch();
    // Closes the window and waits for the thread to end. Safe to call twice.
    void Stop();
    virtual HWND Create() = 0;

  private:
    static DWORD WINAPI ThreadMain(void* self);
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
    UniqueHandle thread_;
    UniqueHandle ready_;
};

// A top-level window of the driver's own class (so WindowFromPoint finds it), optionally holding one child
// button. Shown without taking the activation.
class TargetWindow final : public WindowThread {
  public:
    explicit TargetWindow(RECT screenRect, bool withButton = false, std::wstring title = L"VITRELL e2e target");
    ~TargetWindow() { Stop(); }

    HWND Button() const { return button_; }
    POINT TitleBarPoint() const;  // on the caption, clear of its buttons
    POINT ClientPoint() const;    // bare client area, clear of the button
    POINT ButtonPoint() const;    // the middle of the button

  private:
    HWND Create() override;
    RECT rect_;
    bool withButton_;
    std::wstring title_;
    HWND button_ = nullptr;
};

// A layered window of the driver that paints itself with per-pixel alpha (UpdateLayeredWindow), as splash
// screens and drop shadows do, and keeps repainting itself every 100 ms on its own thread.
class PerPixelWindow final : public WindowThread {
  public:
    explicit PerPixelWindow(RECT screenRect);
    ~PerPixelWindow() { Stop(); }
    // How many of its own updates have succeeded and failed so far.
    LONG Updates() const { return updates_; }
    LONG FailedUpdates() const { return failed_; }

  private:
    HWND Create() override;
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    void Update(HWND window);
    RECT rect_;
    volatile LONG updates_ = 0;
    volatile LONG failed_ = 0;
    BYTE shade_ = 0;
};

// A top-level window of another process (vitrell_e2e_sleeper.exe beside the driver) whose only thread can be
// put to sleep: a program that has stopped answering.
class SleeperProcess {
  public:
    explicit SleeperProcess(RECT screenRect);
    ~SleeperProcess();
    SleeperProcess(const SleeperProcess&) = delete;
    SleeperProcess& operator=(const SleeperProcess&) = delete;
    HWND Window() const { return window_; }
    // Posts the order to sleep: the thread stops taking messages for `ms` from when it reads it.
    bool Sleep(DWORD ms);

  private:
    UniqueHandle process_;
    DWORD pid_ = 0;
    HWND window_ = nullptr;
};

// A hidden window of class MS_WINHELP: while it exists, WinHelp sends it every request as WM_COPYDATA and
// returns at once instead of starting winhlp32.
class HelpObserver final : public WindowThread {
  public:
    struct Request {
        UINT command = 0;
        LONG data = 0;
        std::string file;     // the help file as passed (ANSI)
        std::string keyword;  // the text data of HELP_KEY/HELP_PARTIALKEY/HELP_COMMAND, else empty
    };
    HelpObserver();
    ~HelpObserver();

    bool Ready() const { return Window() != nullptr; }
    std::vector<Request> Requests() const;  // a copy; safe while requests arrive

  private:
    HWND Create() override;
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    mutable CRITICAL_SECTION lock_;
    std::vector<Request> requests_;
};

// Wine's channel of what a program asks of HTML Help and which page the viewer loads (Vitrell::TraceChannels).
inline constexpr wchar_t kHtmlHelpTrace[] = L"-all,trace+htmlhelp";
// The program's HtmlHelpW calls, each as Wine names its command and then the page the viewer loaded for it:
// "HH_DISPLAY_TOPIC settings_initial.htm"; the command alone when no page was loaded.
std::vector<std::string> HtmlHelpCalls(const Vitrell& app);
// Waits for the `count`-th call to load a page, checks its viewer (class "HH Parent", titled with the .chm's title)
// and that the program shows no message box, then closes the viewer. Returns that call ("" when none came).
std::string ViewerOfCall(const Vitrell& app, size_t count);

// ---- Looking at other windows --------------------------------------------------------------------------------

// Sets the cursor and waits until it has rested there for 200 ms, setting it again when a set is dropped, lags
// while a window activates, or is undone a moment later.
bool MoveCursor(POINT p);
POINT CursorPos();
// The middle of a window's title bar (between its top edge and its client area).
POINT TitleBarPointOf(HWND window);

LONG ExStyleOf(HWND window);
bool IsLayered(HWND window);
// The alpha of a layered window; nullopt when it is not layered or has no alpha set.
std::optional<BYTE> AlphaOf(HWND window);
// "not layered" or "layered, alpha 204": for failure messages.
std::string AlphaText(HWND window);

// Text of any window, also of another process (WM_GETTEXT).
std::wstring ControlText(HWND window);
std::wstring ClassNameOf(HWND window);
// UTF-8 for failure messages.
std::string Narrow(std::wstring_view text);

// A message box (#32770) of process `pid`; with a title, only one with exactly that title.
HWND FindMessageBox(DWORD pid, std::wstring_view title = {});
// Waits for one; nullptr after the timeout.
HWND WaitForMessageBox(DWORD pid, std::wstring_view title = {}, DWORD timeoutMs = 5000);
// The box's message text (the static control 0xFFFF).
std::wstring MessageBoxText(HWND box);
// Presses a button by its id (IDOK, IDCANCEL, IDYES ...): button captions depend on the locale.
bool AnswerMessageBox(HWND box, int id);

// The first child of `parent` with that class, or null.
HWND ChildOf(HWND parent, const wchar_t* className);
// The screen's logical DPI, and a window's outer edges in twips at it.
Dpi ScreenDpi();
RectTwips WindowTwips(HWND window);
// The colour of a screen pixel (CLR_INVALID without a screen DC), and the pixels inside `r` (screen coordinates),
// row by row as 0x00BBGGRR (empty when the screen is unreadable).
COLORREF ScreenPixel(POINT p);
std::vector<COLORREF> ScreenPixels(const RECT& r);

// The program's settings dialogs (one at most, unless a fault makes two).
std::vector<HWND> SettingsDialogsOf(const Vitrell& app);
// Waits until the settings dialog is shown; null after the timeout.
HWND WaitForSettingsDialog(const Vitrell& app, DWORD timeoutMs = 5000);
bool WaitForNoSettingsDialog(const Vitrell& app, DWORD timeoutMs = 5000);
// Closes the settings dialog by its close box (which is Cancel) and waits until it is gone.
bool CloseSettingsDialogs(const Vitrell& app, DWORD timeoutMs = 3000);
// The toolbar's own customise dialog, owned by the main window, once its controls exist (it is found while it is
// still being built); null after the timeout.
HWND WaitForCustomizeDialog(const Vitrell& app, DWORD timeoutMs = 5000);
// The pop-up menus of a process that show now.
int VisiblePopupMenus(DWORD pid);

// The screen rectangle of button `index` (0-based position) of a toolbar of `process`.
std::optional<RECT> ToolbarButtonRect(HANDLE process, HWND toolbar, int index);
// The number of buttons of a toolbar of another process; -1 when it does not answer.
int ToolbarButtonCount(HWND toolbar);
POINT CentreOf(const RECT& r);

// ---- Real input ----------------------------------------------------------------------------------------------

// Moves the cursor there and clicks (left, or right when `right`).
bool ClickAt(POINT p, bool right = false);
// Moves the cursor there and double-clicks the left button.
bool DoubleClickAt(POINT p);
bool KeyDown(WORD vk);
bool KeyUp(WORD vk);
bool PressKey(WORD vk);

// Makes a window the foreground window (allowed under Wine), setting it again until it is.
bool BringToFront(HWND window);
// Walks the pop-up menus of process `pid` by access keys as a user does, once one of them shows: each key but the
// last opens a sub-menu, and the next is pressed once that shows; the last chooses.
bool ChooseFromMenus(DWORD pid, std::initializer_list<WORD> keys);
// The same from the pop-up that a left click on VITRELL's tray icon opens (`picture` is the icon's window).
bool ChooseFromTrayMenu(DWORD pid, HWND picture, std::initializer_list<WORD> keys);

// Holds keys as a keyboard does while polling `condition` like WaitUntil: the key-downs repeat every 100 ms (Wine
// drops the state of a key held only by injected input when its desktop takes the X focus). The keys stay down.
template <typename Condition>
bool WaitHoldingKeys(std::initializer_list<WORD> keys,
                     Condition condition,
                     DWORD timeoutMs,
                     const char* what = nullptr) {
    int polls = 0;
    return WaitUntil(
        [&] {
            if (polls++ % 5 == 0) {
                for (WORD key : keys)
                    (void)KeyDown(key);  // a lost repeat is made up by the next
            }
            return static_cast<bool>(condition());
        },
        timeoutMs, what);
}

// Holds keys as WaitHoldingKeys does until the desktop has had every one of them down for `steadyMs` in a row.
// Pressed one after the other, the keys of a chord reach a program one after the other, and Wine drops their state
// when its desktop takes the X focus (just after a window came to the front): only from here on is the chord held.
// False when the keys did not stay down within the timeout; they stay down either way.
bool HoldKeysSteady(std::initializer_list<WORD> keys, DWORD steadyMs, DWORD timeoutMs);

// True exactly while a tray icon (window, id) exists: NIM_MODIFY with nothing to change. Runs on a probe thread
// with a time limit; a shell that does not answer fails the test with a message that names the call.
bool TrayIconExists(HWND window, UINT id);

// A message sent to a window of another process with a time limit (2 s); a window that does not answer fails the
// test with a message naming `what` instead of stalling it. 0 when it did not answer.
LRESULT SendBounded(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, const char* what);

// ---- Fixture -------------------------------------------------------------------------------------------------

// Every end-to-end test starts and ends with no settings key and no VITRELL.exe running.
class VitrellTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace vitrell::e2e

#pragma once
// What more than one place must spell alike: the settings key, the window classes, the command and control ids,
// and the captions and messages the user sees. The program and its end-to-end driver both include this header.
#include <string_view>

namespace vitrell {

// ---- The settings store --------------------------------------------------------------------------------------

inline constexpr std::wstring_view kSettingsKey = L"Software\\VB and VBA Program Settings\\VITRELL";
inline constexpr std::wstring_view kConfig = L"Config";
inline constexpr std::wstring_view kPosition = L"Position";
inline constexpr std::wstring_view kToolbarValue = L"Toolbar";  // the toolbar control's own record, in "Config"

// ---- One copy per session -------------------------------------------------------------------------------------

// Held by the running copy for its whole life, in the session's namespace (a plain name: Windows 2000 without
// Terminal Services has no other). The installer opens it by this name to tell whether the program runs.
inline constexpr wchar_t kOneCopyMutexName[] = L"VITRELL.OneCopy";
// Registered window message a second start posts to the running copy's main window: show it, as the tray's
// "show" item does.
inline constexpr wchar_t kShowRequestMessage[] = L"VITRELL.ShowMainWindow";

// ---- Window classes ------------------------------------------------------------------------------------------

inline constexpr wchar_t kMainWindowClass[] = L"VITRELL";
inline constexpr wchar_t kPictureClass[] = L"VITRELL.Picture1";  // the tray icon's callback target
inline constexpr wchar_t kSettingsDialogClass[] = L"VITRELL_SETTEI";
inline constexpr wchar_t kSplashClass[] = L"VITRELL.INITDISP";
inline constexpr wchar_t kVersionBoxClass[] = L"VITRELL.INFO_VER";
inline constexpr wchar_t kHiddenOwnerClass[] = L"VITRELL.Owner";  // keeps a window off the taskbar

// ---- The main window -----------------------------------------------------------------------------------------

inline constexpr std::wstring_view kMainCaption = L"ビトレル";
inline constexpr std::wstring_view kTrayTip = L" ビトレル for Win ";
inline constexpr std::wstring_view kExitQuestion = L"「ビトレル for Windows」 を終了しますか？";
inline constexpr std::wstring_view kExitTitle = L"終了確認";
inline constexpr std::wstring_view kRangeMessage = L"透明度は 「0\uFF5E100」 の範囲で設定可能です。";
inline constexpr std::wstring_view kRangeTitle = L"設定可能範囲";

inline constexpr unsigned kTrayIconId = 100;
inline constexpr int kFirstToolbarCommand = 101;           // the button of table slot n has the command 101 + n
inline constexpr unsigned kSysMenuSettingsCommand = 1000;  // "各種設定(&K)" of the system menu

// The menu tree's commands.
enum MenuCommand : unsigned {
    kCmdHelpKeyWord0 = 200,  // mnuHelpContent_KeyWord(0)
    kCmdHelpKeyWord1 = 201,  // mnuHelpContent_KeyWord(1)
    kCmdHelpAbout = 202,
    kCmdOptSettei = 203,
    kCmdShowHide0 = 204,  // mnuFileShow_Hide(0)
    kCmdShowHide1 = 205,  // mnuFileShow_Hide(1)
    kCmdFileEnd = 206,
};

// ---- The settings dialog -------------------------------------------------------------------------------------

inline constexpr std::wstring_view kSettingsCaption = L"各種設定";
inline constexpr std::wstring_view kBothHiddenText =
    L"「メニューバー」 と 「ツールバー」 の両方を表示しない設定はできません。";
inline constexpr std::wstring_view kBothHiddenTitle = L"設定確認";
inline constexpr std::wstring_view kForcedText = L"強制的に 「メニューバー」 を表示に設定します。";
inline constexpr std::wstring_view kForcedTitle = L"強制設定";

// Control ids; none is IDOK or IDCANCEL, which the dialog takes as Enter and Escape.
inline constexpr int kIdCheck1 = 100;    // Check1(index): 100 + index
inline constexpr int kIdCommand1 = 200;  // Command1(index): OK, キャンセル, 適用, ヘルプ
inline constexpr int kIdCommand2 = 300;  // "..."
inline constexpr int kIdCommand3 = 301;  // "初期値に戻す"
inline constexpr int kIdTab = 400;
inline constexpr int kIdFrame1 = 500;   // Frame1(index)
inline constexpr int kIdUpDown1 = 600;  // UpDown1(index)
inline constexpr int kIdLabel1 = 700;   // Label1(index), the read-outs
inline constexpr int kIdLabel2 = 800;
inline constexpr int kIdLine1 = 801;

// ---- The version box -----------------------------------------------------------------------------------------

inline constexpr std::wstring_view kVersionBoxCaption = L"ﾊﾞｰｼﾞｮﾝ情報";
inline constexpr std::wstring_view kMailAddress = L"vitrell@example.org";
inline constexpr std::wstring_view kHomePage = L"http://www.example.org/vitrell/";
inline constexpr std::wstring_view kMailMissingText = L"「Outlook Express」 が ｲﾝｽﾄｰﾙ されていません。";
inline constexpr std::wstring_view kMailMissingTitle = L"OE ｲﾝｽﾄｰﾙ 確認";
inline constexpr std::wstring_view kBrowserMissingText = L"「Internet Explorer」 が ｲﾝｽﾄｰﾙ されていません。";
inline constexpr std::wstring_view kBrowserMissingTitle = L"IE ｲﾝｽﾄｰﾙ 確認";

}  // namespace vitrell

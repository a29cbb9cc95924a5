#pragma once
// What the main window form reaches of Windows: the window itself, its toolbar and its tray icon.
// Implemented once over Win32 and once in memory for the unit tests.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/monitors.h"
#include "platform/twips.h"
#include "platform/window_system.h"

namespace vitrell {

inline constexpr int kVkUp = 0x26;
inline constexpr int kVkDown = 0x28;

// The window's bars as the system really draws them, in twips at the window's DPI. Where the layout table does not
// hold (it was measured on Windows 2000 and XP at 96 DPI) the window is sized from them.
struct WindowBars {
    bool tableHolds = true;
    SizeTwips nonClient;  // the outer size less the client area: frame, caption, and the menu bar while it shows
    SizeTwips toolbar;    // the full width of the toolbar's buttons, and the toolbar's height
};

class IMainWindowView {
  public:
    virtual ~IMainWindowView() = default;

    // Geometry in twips of the window's outer edges.
    virtual void SetMenuBarVisible(bool visible) = 0;
    virtual void SetHeight(double twips) = 0;
    virtual void SetWidth(double twips) = 0;
    virtual void SetTop(double twips) = 0;
    virtual void SetLeft(double twips) = 0;
    virtual RectTwips WindowRect() = 0;
    virtual MonitorList Monitors() = 0;
    virtual void SetTopmost(bool topmost) = 0;
    // The bars of the window as it is now, for a window `widthTwips` wide (the menu bar may wrap).
    virtual WindowBars MeasureBars(double widthTwips) = 0;
    // The small-icon size in pixels at the window's DPI: the size of the toolbar's pictures.
    virtual int SmallIconPixels() = 0;

    // mnuFileShow_Hide(index).Enabled
    virtual void SetShowHideEnabled(int index, bool enabled) = 0;
    virtual void Show() = 0;  // normal state, shown and activated
    virtual void Hide() = 0;
    virtual void Unload() = 0;

    virtual void SetTrackingInterval(std::uint32_t ms) = 0;  // 0 stops Timer1
    virtual void InstallSystemMenuHook() = 0;
    virtual void DoEvents() = 0;  // lets pending window messages run
    virtual bool KeyDown(int virtualKey) = 0;

    virtual bool AskOkCancel(std::wstring_view text, std::wstring_view title) = 0;  // question icon; true on OK
    virtual void ShowExclamation(std::wstring_view text, std::wstring_view title) = 0;
    virtual WindowHandle HelpOwner() = 0;  // the window help is opened for: this one, visible or not
    virtual void PopupMainMenu() = 0;      // the first drop-down of the menu tree, at the cursor

    virtual void ShowSettingsDialog(bool modal) = 0;
    virtual void CloseSettingsDialog() = 0;
    virtual void ShowVersionBox() = 0;

    virtual std::wstring OSName() = 0;
    virtual std::wstring AppearanceScheme() = 0;
};

// Toolbar1 with ImageList1. A slot is a button's place in the tables (0..5); its index is slot + 1.
class IToolbar {
  public:
    virtual ~IToolbar() = default;
    virtual void RemoveAllButtons() = 0;
    virtual void DetachImageList() = 0;
    virtual void ClearImages() = 0;
    virtual void SetImageSize(int width, int height) = 0;
    virtual void AddImage(std::wstring_view file) = 0;  // "resource\" + file, keyed by file; a bad file adds nothing
    virtual void AttachImageList() = 0;
    virtual void AddButton(int slot, std::wstring_view key, std::wstring_view tip) = 0;
    virtual void SetButtonTip(int slot, std::wstring_view tip) = 0;  // nothing when the button is not there
    virtual void SetDisplayOptions() = 0;                            // tooltips on, wrapping off
    virtual void Restore() = 0;                                      // the arrangement stored under "Config"
    virtual void Save() = 0;
    virtual void Customize() = 0;     // the customise dialog; returns when it closes
    virtual void EndCustomize() = 0;  // closes the open customise dialog as Cancel; nothing when none is open
};

enum class TrayMessage { Add = 0, Modify = 1, Delete = 2 };

class ITray {
  public:
    virtual ~ITray() = default;
    virtual void Notify(TrayMessage message) = 0;
};

}  // namespace vitrell

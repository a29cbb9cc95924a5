#pragma once
// Toolbar1 and ImageList1 over the comctl32 toolbar. The parent routes WM_COMMAND and WM_NOTIFY here.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <array>
#include <functional>
#include <map>
#include <string>

#include "core/product.h"
#include "core/toolbar_tables.h"
#include "mainwin/main_window_view.h"
#include "platform/win32/handles.h"

namespace vitrell {

class Win32Toolbar final : public IToolbar {
  public:
    // Creates the control as a child of `parent`; false when it could not be created. A double click on a bare
    // part of the bar, which opens the customise dialog, calls `customize` instead, so that every customise
    // session is opened the one way the main window knows of.
    bool Create(HWND parent, HINSTANCE instance, std::function<void()> customize);
    HWND Window() const { return toolbar_; }

    void RemoveAllButtons() override;
    void DetachImageList() override;
    void ClearImages() override;
    void SetImageSize(int width, int height) override;
    void AddImage(std::wstring_view file) override;
    void AttachImageList() override;
    void AddButton(int slot, std::wstring_view key, std::wstring_view tip) override;
    void SetButtonTip(int slot, std::wstring_view tip) override;
    void SetDisplayOptions() override;
    void Restore() override;
    void Save() override;
    void Customize() override;
    void EndCustomize() override;

    // The button index (slot + 1) of a toolbar command, or 0 when it is not one.
    static int IndexOfCommand(WPARAM command);
    // Answers the toolbar's notifications; true when `result` holds the answer.
    bool HandleNotify(const NMHDR& header, LRESULT& result);

  private:
    struct Slot {
        bool known = false;  // AddButton has described it since the last rebuild
        std::wstring key;
        std::wstring tip;
    };
    TBBUTTON ButtonFor(int slot) const;
    bool StoredLayoutLooksValid() const;
    void AddDefaultButtons();
    static LRESULT CALLBACK ControlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND toolbar_ = nullptr;
    std::function<void()> customize_;
    HWND customizeDialog_ = nullptr;  // from TBN_INITCUSTOMIZE until TBN_ENDADJUST
    UniqueImageList images_;
    std::map<std::wstring, int> imageIndex_;  // icon file -> image list index
    std::array<Slot, kToolbarSlots> slots_;
    bool restoring_ = false;
    bool restoreFailed_ = false;
};

}  // namespace vitrell

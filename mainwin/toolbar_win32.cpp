#include "mainwin/toolbar_win32.h"

#include <windowsx.h>

#include <set>

#include "core/settings.h"
#include "platform/win32/subclass_win32.h"

namespace vitrell {

namespace {

constexpr DWORD kMaxLayoutBytes = 4096;  // a real arrangement of six buttons is far smaller
constexpr wchar_t kToolbarProp[] = L"VITRELL.Toolbar";

// TBN_INITCUSTOMIZE's record (NMTBCUSTOMIZEDLG, which MinGW's headers lack).
struct CustomizeDialogNotify {
    NMHDR hdr;
    HWND dialog;
};

std::wstring ConfigKeyPath() {
    return SettingsStore::SectionPath(kConfig);
}

TBSAVEPARAMSW SaveParams(const std::wstring& subKey) {
    TBSAVEPARAMSW params{};
    params.hkr = HKEY_CURRENT_USER;
    params.pszSubKey = subKey.c_str();
    params.pszValueName = kToolbarValue.data();
    return params;
}

void CopyText(std::wstring_view text, wchar_t* out, int capacity) {
    if (!out || capacity <= 0)
        return;
    const size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    text.copy(out, n);
    out[n] = L'\0';
}

}  // namespace

bool Win32Toolbar::Create(HWND parent, HINSTANCE instance, std::function<void()> customize) {
    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT |
                                   CCS_ADJUSTABLE | CCS_NODIVIDER | CCS_TOP,
                               0, 0, 0, 0, parent, nullptr, instance, nullptr);
    if (!toolbar_)
        return false;
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    customize_ = std::move(customize);
    // Failing either, a double click still opens the dialog, the control's own way.
    if (SetPropW(toolbar_, kToolbarProp, this) && !Subclass(toolbar_, ControlProc))
        (void)RemovePropW(toolbar_, kToolbarProp);
    images_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, static_cast<int>(kToolbarSlots), 0));
    return true;
}

int Win32Toolbar::IndexOfCommand(WPARAM command) {
    const int id = LOWORD(command);
    if (id < kFirstToolbarCommand || id >= kFirstToolbarCommand + static_cast<int>(kToolbarSlots))
        return 0;
    return id - kFirstToolbarCommand + 1;
}

void Win32Toolbar::RemoveAllButtons() {
    for (LRESULT n = SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0); n > 0; --n)
        SendMessageW(toolbar_, TB_DELETEBUTTON, static_cast<WPARAM>(n - 1), 0);
    for (Slot& s : slots_)
        s.known = false;
}

void Win32Toolbar::DetachImageList() {
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, 0);
}

void Win32Toolbar::ClearImages() {
    if (images_)
        (void)ImageList_RemoveAll(images_.get());  // an empty list is what a failure leaves too
    imageIndex_.clear();
}

void Win32Toolbar::SetImageSize(int width, int height) {
    if (images_)
        (void)ImageList_SetIconSize(images_.get(), width, height);  // also empties the list
    imageIndex_.clear();
}

void Win32Toolbar::AddImage(std::wstring_view file) {
    if (!images_)
        return;
    const std::wstring path = L"resource\\" + std::wstring(file);
    int cx = 16, cy = 16;
    (void)ImageList_GetIconSize(images_.get(), &cx, &cy);  // keeps 16 x 16 if the query fails
    UniqueIcon icon(static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, cx, cy, LR_LOADFROMFILE)));
    if (!icon)
        return;  // a missing or unreadable picture leaves its button without an image, tooltip intact
    const int index = ImageList_AddIcon(images_.get(), icon.get());
    if (index >= 0)
        imageIndex_[std::wstring(file)] = index;
}

void Win32Toolbar::AttachImageList() {
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
}

TBBUTTON Win32Toolbar::ButtonFor(int slot) const {
    TBBUTTON b{};
    const auto it = imageIndex_.find(slots_[slot].key);
    b.iBitmap = it == imageIndex_.end() ? I_IMAGENONE : it->second;
    b.idCommand = kFirstToolbarCommand + slot;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
    b.dwData = static_cast<DWORD_PTR>(slot);
    b.iString = -1;
    return b;
}

void Win32Toolbar::AddButton(int slot, std::wstring_view key, std::wstring_view tip) {
    if (slot < 0 || slot >= static_cast<int>(kToolbarSlots))
        return;
    slots_[slot] = {true, std::wstring(key), std::wstring(tip)};
    const TBBUTTON b = ButtonFor(slot);
    SendMessageW(toolbar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
}

void Win32Toolbar::AddDefaultButtons() {
    for (int slot = 0; slot < static_cast<int>(kToolbarSlots); ++slot) {
        if (!slots_[slot].known)
            continue;
        const TBBUTTON b = ButtonFor(slot);
        SendMessageW(toolbar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
    }
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

void Win32Toolbar::SetButtonTip(int slot, std::wstring_view tip) {
    // Tooltips are asked for when shown (TTN_GETDISPINFOW), so keeping the text is enough; a button
    // the user removed simply never asks.
    if (slot >= 0 && slot < static_cast<int>(kToolbarSlots))
        slots_[slot].tip = tip;
}

void Win32Toolbar::SetDisplayOptions() {
    // ShowTips on, Wrappable off: one row that never grows out of the small window.
    LONG_PTR style = GetWindowLongPtrW(toolbar_, GWL_STYLE);
    style = (style | TBSTYLE_TOOLTIPS) & ~static_cast<LONG_PTR>(TBSTYLE_WRAPABLE);
    (void)SetWindowLongPtrW(toolbar_, GWL_STYLE, style);  // the look only
    // The pictures with three pixels around them at 16 (19-pixel buttons: six fit the window's 1810-twip width at
    // 96 dpi), and the same share of a larger picture.
    int cx = 16, cy = 16;
    if (images_)
        (void)ImageList_GetIconSize(images_.get(), &cx, &cy);  // keeps 16 x 16 if the query fails
    const int padding = (cx * 3 + 8) / 16;
    SendMessageW(toolbar_, TB_SETPADDING, 0, MAKELPARAM(padding, padding));
    SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(cx + padding, cy + padding));
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

bool Win32Toolbar::StoredLayoutLooksValid() const {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ConfigKeyPath().c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), kToolbarValue.data(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
        return false;
    // The control writes binary records of 32-bit words; anything else was not written by it.
    return type == REG_BINARY && bytes > 0 && bytes <= kMaxLayoutBytes && bytes % sizeof(DWORD) == 0;
}

void Win32Toolbar::Restore() {
    if (!StoredLayoutLooksValid())
        return;  // nothing stored, or garbage: the default arrangement stays
    const std::wstring subKey = ConfigKeyPath();
    TBSAVEPARAMSW params = SaveParams(subKey);
    restoring_ = true;
    restoreFailed_ = false;
    const LRESULT restored = SendMessageW(toolbar_, TB_SAVERESTOREW, FALSE, reinterpret_cast<LPARAM>(&params));
    restoring_ = false;
    if (restoreFailed_ || !restored || SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0) <= 0) {
        RemoveAllButtons();
        for (Slot& s : slots_)
            s.known = !s.key.empty();
        AddDefaultButtons();
    }
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

void Win32Toolbar::Save() {
    const std::wstring subKey = ConfigKeyPath();
    TBSAVEPARAMSW params = SaveParams(subKey);
    (void)SendMessageW(toolbar_, TB_SAVERESTOREW, TRUE, reinterpret_cast<LPARAM>(&params));  // nothing to tell
}

void Win32Toolbar::Customize() {
    SendMessageW(toolbar_, TB_CUSTOMIZE, 0, 0);
}

void Win32Toolbar::EndCustomize() {
    // What the dialog's close button does; the dialog's loop ends once the caller has returned to it.
    if (customizeDialog_ && IsWindow(customizeDialog_))
        SendMessageW(customizeDialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(customizeDialog_, IDCANCEL)));
}

LRESULT CALLBACK Win32Toolbar::ControlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Win32Toolbar*>(GetPropW(window, kToolbarProp));
    if (msg == WM_LBUTTONDBLCLK && self && self->customize_) {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (CallOriginal(window, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&at)) < 0) {
            self->customize_();  // may take the window away: nothing of it is touched after this
            return 0;
        }
    }
    if (msg == WM_NCDESTROY)
        (void)RemovePropW(window, kToolbarProp);  // it goes anyway
    return CallOriginal(window, msg, wParam, lParam);
}

bool Win32Toolbar::HandleNotify(const NMHDR& header, LRESULT& result) {
    switch (header.code) {
        case TTN_GETDISPINFOW: {
            auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
            const int index = IndexOfCommand(static_cast<WPARAM>(header.idFrom));
            if (index == 0)
                return false;
            info.hinst = nullptr;
            info.lpszText = const_cast<wchar_t*>(slots_[index - 1].tip.c_str());
            result = 0;
            return true;
        }
        case TBN_GETINFOTIPW: {
            auto& info = const_cast<NMTBGETINFOTIPW&>(reinterpret_cast<const NMTBGETINFOTIPW&>(header));
            const int index = IndexOfCommand(static_cast<WPARAM>(info.iItem));
            if (index == 0)
                return false;
            CopyText(slots_[index - 1].tip, info.pszText, info.cchTextMax);
            result = 0;
            return true;
        }
        case TBN_QUERYINSERT:
        case TBN_QUERYDELETE:
            result = TRUE;  // every button may be moved, removed and added back
            return true;
        case TBN_INITCUSTOMIZE:
            customizeDialog_ = reinterpret_cast<const CustomizeDialogNotify&>(header).dialog;
            result = TBNRF_HIDEHELP;
            return true;
        case TBN_ENDADJUST:
            customizeDialog_ = nullptr;  // also ends a restore, which never had a dialog
            return false;
        case TBN_RESET:
            RemoveAllButtons();
            for (Slot& s : slots_)
                s.known = !s.key.empty();
            AddDefaultButtons();
            result = 0;
            return true;
        case TBN_GETBUTTONINFOW: {
            auto& info = const_cast<NMTOOLBARW&>(reinterpret_cast<const NMTOOLBARW&>(header));
            if (info.iItem < 0 || info.iItem >= static_cast<int>(kToolbarSlots) || slots_[info.iItem].key.empty()) {
                result = FALSE;
                return true;
            }
            info.tbButton = ButtonFor(info.iItem);
            CopyText(slots_[info.iItem].tip, info.pszText, info.cchText);  // the description equals the tooltip
            result = TRUE;
            return true;
        }
        case TBN_RESTORE: {
            auto& info = const_cast<NMTBRESTORE&>(reinterpret_cast<const NMTBRESTORE&>(header));
            result = 0;
            if (!restoring_ || info.iItem < 0)
                return true;  // the header record: go on
            if (info.tbButton.fsStyle & BTNS_SEP)
                return true;  // a separator the user added keeps what the control read
            const int index = IndexOfCommand(static_cast<WPARAM>(info.tbButton.idCommand));
            if (index == 0 || slots_[index - 1].key.empty()) {
                restoreFailed_ = true;  // not one of ours: the stored value is not a layout of this toolbar
                return true;
            }
            info.tbButton = ButtonFor(index - 1);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace vitrell

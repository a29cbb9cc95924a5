#pragma once
// Move-only owners for the Win32 handles the program keeps.
#include <windows.h>

#include <commctrl.h>

#include "platform/unique_resource.h"

namespace vitrell {

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { (void)RegCloseKey(h); }  // nothing to do about a failed close
};
struct IconTraits {
    using Handle = HICON;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { (void)DestroyIcon(h); }
};
struct CursorTraits {
    using Handle = HCURSOR;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { (void)DestroyCursor(h); }
};
struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { (void)ImageList_Destroy(h); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { (void)DeleteObject(h); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { (void)DestroyMenu(h); }
};
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Free(Handle h) { (void)DeleteDC(h); }  // from CreateCompatibleDC
};

using UniqueRegKey = UniqueResource<RegKeyTraits>;
using UniqueIcon = UniqueResource<IconTraits>;
using UniqueCursor = UniqueResource<CursorTraits>;
using UniqueImageList = UniqueResource<ImageListTraits>;
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;
using UniqueMenu = UniqueResource<MenuTraits>;
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;

// Selects an object into a DC for the guard's life and then puts back what was selected before.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_)
            (void)SelectObject(dc_, previous_);  // the DC's own object goes back; nothing to do on failure
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace vitrell

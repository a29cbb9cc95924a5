#pragma once
// Looking at the program's text from outside: a VITRELL.exe that sees no font replacements, the screen's pixels,
// and whether a control draws each character of a text with a real glyph.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/e2e/harness.h"

namespace vitrell::e2e {

// Puts the prefix's font replacements (scripts/wine_prefix.sh) aside while it lives, when `aside`. Wine reads them
// when a process starts, so a VITRELL.exe started meanwhile finds none of the designed Japanese faces, as on a
// Windows without the Japanese font package; the driver's own fonts stay as they were.
class FontReplacements {
  public:
    static constexpr wchar_t kKey[] = L"Software\\Wine\\Fonts\\Replacements";

    explicit FontReplacements(bool aside) {
        if (!aside)
            return;
        for (const std::wstring& name : ValueNamesAt(kKey)) {
            if (auto face = GetStringAt(kKey, name))
                saved_.emplace_back(name, *face);
        }
        ready_ = !saved_.empty() && DeleteKeyTree(kKey);
    }
    ~FontReplacements() {
        for (const auto& [name, face] : saved_)
            (void)PutStringAt(kKey, name, face);  // a lost replacement shows in every later test's pixels
    }
    FontReplacements(const FontReplacements&) = delete;
    FontReplacements& operator=(const FontReplacements&) = delete;

    // Aside as asked: nothing to do, or the key gone with its values kept here.
    bool Ready() const { return saved_.empty() ? !ready_ : ready_; }

  private:
    std::vector<std::pair<std::wstring, std::wstring>> saved_;
    bool ready_ = false;
};

// Gives a control of VITRELL a caption and returns its pixels once they have settled: unlike `before` and alike in
// two looks in a row.
inline std::vector<COLORREF> ShowCaption(HWND control, std::wstring_view caption, const std::vector<COLORREF>& before) {
    RECT r{};
    GetWindowRect(control, &r);
    const std::wstring text(caption);
    DWORD_PTR ignored = 0;
    (void)SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000,
                              &ignored);  // the pixels tell whether it arrived
    std::vector<COLORREF> last = ScreenPixels(r);
    (void)WaitUntil(
        [&] {
            std::vector<COLORREF> now = ScreenPixels(r);
            const bool settled = now == last && now != before;
            last = std::move(now);
            return settled;
        },
        2000, "a new caption's pixels to settle");
    return last;
}

// The characters of `text` that `control` draws as a missing glyph. Each is shown alone as the control's caption and
// compared with U+0378, which no font has: a character drawn exactly like it has no glyph in the face the control
// really uses. Blanks and the mnemonic '&' draw nothing and are skipped. The caption is put back afterwards.
inline std::wstring MissingGlyphs(HWND control, std::wstring_view text) {
    const std::wstring original = ControlText(control);
    RECT r{};
    GetWindowRect(control, &r);
    std::vector<COLORREF> shown = ShowCaption(control, L"", ScreenPixels(r));
    const std::vector<COLORREF> blank = shown;
    const std::vector<COLORREF> noGlyph = ShowCaption(control, L"\u0378", blank);
    shown = noGlyph;
    std::wstring missing;
    std::wstring tried;
    for (wchar_t c : text) {
        if (c == L' ' || c == L'\u3000' || c == L'&' || tried.find(c) != std::wstring::npos)
            continue;
        tried += c;
        shown = ShowCaption(control, L"", shown);  // from blank, so that every character shows as a change
        shown = ShowCaption(control, std::wstring(1, c), shown);
        if (shown == noGlyph)
            missing += c;
    }
    (void)ShowCaption(control, original, shown);
    return missing;
}

}  // namespace vitrell::e2e

#pragma once
// The one way the program makes a font. It is made as designed, unless the face the system gives for the designed
// one has no glyph for a character the caller will draw (the Japanese faces come with an optional font package; a
// system without them falls back to a face that may lack even the Latin letters). Then the same size and style come
// in a substitute: an installed face with Japanese and Latin glyphs, chosen once per process.
#include <windows.h>

#include <string_view>

#include "platform/font_spec.h"
#include "platform/win32/handles.h"

namespace vitrell {

// The font of `spec` at `dpi` for drawing the characters of `text`; null when the system refuses it.
UniqueFont MakeFont(const FontSpec& spec, int dpi, std::wstring_view text);

// True when the font selected into `dc` has a glyph for every character of `text`.
bool HasGlyphs(HDC dc, std::wstring_view text);

}  // namespace vitrell

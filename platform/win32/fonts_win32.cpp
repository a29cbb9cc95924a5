#include "platform/win32/fonts_win32.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace vitrell {

namespace {

// A face that draws all of these draws every text of the program: kana, kanji, half-width katakana, full-width
// signs, Latin letters, digits and punctuation.
constexpr std::wstring_view kJapaneseAndLatin = L"ビトレル各種設定初期値ﾊﾞｰｼﾞｮﾝ情報「」：AZaz09.()/@-";

// Tried in this order before the other installed faces: the Japanese UI faces of Windows, then free ones that other
// systems install. Whatever the system really gives for a name counts, not the name.
constexpr const wchar_t* kWellKnownFaces[] = {
    L"MS UI Gothic", L"ＭＳ Ｐゴシック", L"MS PGothic", L"Meiryo UI",    L"メイリオ",
    L"IPAPGothic",   L"IPAexGothic",     L"VL PGothic", L"TakaoPGothic", L"Noto Sans CJK JP",
};

// How a candidate face is tried: any ordinary size, since glyph coverage does not depend on it.
constexpr FontSpec kProbe{L"", 12, false, false, true};
constexpr int kProbeHeight = -16;

// The one substitute of the process, looked up when a font first needs it: an empty face when the system has none.
struct SubstituteChoice {
    bool chosen = false;
    std::wstring face;
};
SubstituteChoice g_substitute;

int FontHeight(double points, int dpi) {
    // Point sizes like 68.25 keep their quarter points: the height is computed in hundredths of a point.
    const int hundredths = static_cast<int>(std::lround(points * 100));
    return -MulDiv(hundredths, dpi, 7200);
}

// The style of `spec` (its face aside) at a height in pixels, in `face`.
LOGFONTW LogFontOf(const FontSpec& spec, int height, std::wstring_view face) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = spec.underline ? TRUE : FALSE;
    lf.lfCharSet = spec.shiftJis ? SHIFTJIS_CHARSET : DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const size_t n = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::copy_n(face.data(), n, lf.lfFaceName);  // the rest stays zero
    return lf;
}

// The face a font asked for under `name` really gets, when that face has every glyph of `text`.
std::optional<std::wstring> FaceWithGlyphs(HDC dc, std::wstring_view name, std::wstring_view text) {
    const LOGFONTW lf = LogFontOf(kProbe, kProbeHeight, name);
    const UniqueFont font(CreateFontIndirectW(&lf));
    if (!font)
        return std::nullopt;
    const SelectedObject selected(dc, font.get());
    wchar_t face[LF_FACESIZE] = {};
    if (!HasGlyphs(dc, text) || GetTextFaceW(dc, LF_FACESIZE, face) <= 0)
        return std::nullopt;
    return std::wstring(face);
}

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM param) {
    auto* faces = reinterpret_cast<std::vector<std::wstring>*>(param);
    const std::wstring face(font->lfFaceName);
    // '@' names the same face turned for vertical writing.
    if (!face.empty() && face[0] != L'@' && std::find(faces->begin(), faces->end(), face) == faces->end())
        faces->push_back(face);
    return 1;  // go on
}

std::wstring ChooseSubstitute(HDC dc) {
    for (const wchar_t* name : kWellKnownFaces) {
        if (auto face = FaceWithGlyphs(dc, name, kJapaneseAndLatin))
            return *face;
    }
    LOGFONTW all{};
    all.lfCharSet = SHIFTJIS_CHARSET;  // every face with Japanese glyphs, once each
    std::vector<std::wstring> installed;
    (void)EnumFontFamiliesExW(dc, &all, CollectFace, reinterpret_cast<LPARAM>(&installed), 0);  // the last result
    for (const std::wstring& name : installed) {
        if (auto face = FaceWithGlyphs(dc, name, kJapaneseAndLatin))
            return *face;
    }
    return std::wstring();
}

const std::wstring& SubstituteFace(HDC dc) {
    if (!g_substitute.chosen) {
        g_substitute.face = ChooseSubstitute(dc);
        g_substitute.chosen = true;
    }
    return g_substitute.face;
}

}  // namespace

bool HasGlyphs(HDC dc, std::wstring_view text) {
    if (text.empty())
        return true;
    std::vector<WORD> glyphs(text.size());
    if (GetGlyphIndicesW(dc, text.data(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) ==
        GDI_ERROR)
        return true;  // the system cannot tell: the font stays as asked for
    return std::find(glyphs.begin(), glyphs.end(), static_cast<WORD>(0xFFFF)) == glyphs.end();
}

UniqueFont MakeFont(const FontSpec& spec, int dpi, std::wstring_view text) {
    const int height = FontHeight(spec.points, dpi);
    const LOGFONTW designed = LogFontOf(spec, height, spec.face);
    UniqueFont font(CreateFontIndirectW(&designed));
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!font || !dc)
        return font;  // nothing to check with: the font as asked for
    {
        const SelectedObject selected(dc.get(), font.get());
        if (HasGlyphs(dc.get(), text))
            return font;
    }
    const std::wstring& substitute = SubstituteFace(dc.get());
    if (substitute.empty())
        return font;  // no face here does better
    const LOGFONTW replaced = LogFontOf(spec, height, substitute);
    UniqueFont other(CreateFontIndirectW(&replaced));
    return other ? std::move(other) : std::move(font);
}

}  // namespace vitrell

#pragma once
// The settings dialog's window and controls as data: where each control stands (in twips, relative to its
// container), its caption, face, tooltip and the page it belongs to. The Win32 window makes its controls from this.
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/product.h"
#include "platform/dpi_scaler.h"
#include "platform/font_spec.h"
#include "platform/rgb.h"
#include "platform/twips.h"

namespace vitrell {

inline constexpr SizeTwips kSettingsClient{5835, 3930};
inline constexpr Rgb kSettingsBack{128, 128, 128};
inline constexpr Rgb kReadoutText{255, 255, 128};
inline constexpr Rgb kReadoutBack{64, 64, 64};

inline constexpr int kHiddenBox = 3;  // Check1(3): loaded and stored, never shown

enum class ControlKind { Check, Button, Tab, Frame, Spinner, Readout, Caption, Line };
enum class Page { Dialog, Tab0, Tab1 };
enum class Face { Button, TabStrip, CheckBox, FrameCaption, Readout };

// Indexed by Face; all with the Japanese character set.
inline constexpr std::array<FontSpec, 5> kSettingsFonts = {{
    {L"MS UI Gothic", 9, false, false, true},
    {L"MS UI Gothic", 9.75, false, false, true},
    {L"ＭＳ Ｐゴシック", 11.25, false, false, true},
    {L"ＭＳ Ｐゴシック", 9.75, false, false, true},
    {L"ＭＳ ゴシック", 12, true, false, true},
}};
inline constexpr std::array<std::wstring_view, 2> kTabCaptions = {L"環境設定", L"初期設定"};  // in the strip's face
inline constexpr std::wstring_view kReadoutDigits = L"0123456789";  // all a read-out ever shows

struct ControlSpec {
    ControlKind kind;
    int id;
    Page page;
    int frame;  // -1: placed on the tab or the dialog; otherwise Frame1(frame) holds it
    const wchar_t* caption;
    RectTwips place;  // relative to the container
    Face face;
    const wchar_t* tip;  // nullptr: none
};

// In focus order: creation order is the z-order, which is the order Tab walks.
std::span<const ControlSpec> SettingsControls();

// The control of an id of the table; nullptr for any other id.
const ControlSpec* FindControl(int id);

// A control's rectangle on the dialog's client area, in twips.
RectTwips PlaceOnDialog(const ControlSpec& spec);

// Every character drawn in a face: the captions of the controls that use it, the tab strip's captions and the
// read-outs' digits. The '&' of an access key is not drawn.
std::wstring TextsIn(Face face);

// The dialog as the DPI scaler lays it out: every control of the table on the client area in the face it shows, and
// the faces with every character drawn in each (indexed by Face).
std::vector<ScaledPart> SettingsParts();
std::vector<ScaledFont> SettingsFonts();

}  // namespace vitrell

#include "settings_dialog/settings_dialog_layout.h"

#include <algorithm>

namespace vitrell {

namespace {

using K = ControlKind;

constexpr ControlSpec kControls[] = {
    {K::Check,
     kIdCheck1 + 0,
     Page::Tab0,
     -1,
     L"ロゴの表示(&L)",
     {1395, 510, 1695, 345},
     Face::CheckBox,
     L" ロゴの表示 "},
    {K::Check,
     kIdCheck1 + 1,
     Page::Tab0,
     -1,
     L"画面のセンタリング(&C)",
     {1395, 870, 2475, 345},
     Face::CheckBox,
     L" 画面のセンタリング "},
    {K::Check,
     kIdCheck1 + 2,
     Page::Tab0,
     -1,
     L"手前に表示(&F)",
     {1395, 1230, 1725, 345},
     Face::CheckBox,
     L" 手前に表示 "},
    {K::Check,
     kIdCheck1 + 3,
     Page::Tab0,
     -1,
     L"自フォームの透明化(&P)",
     {855, 1590, 2535, 345},
     Face::CheckBox,
     L" 自フォームの透明化 "},
    {K::Check,
     kIdCheck1 + 4,
     Page::Tab0,
     -1,
     L"メニューバーの表示(&M)",
     {1395, 1590, 2535, 345},
     Face::CheckBox,
     L" メニューバーの表示 "},
    {K::Check,
     kIdCheck1 + 5,
     Page::Tab0,
     -1,
     L"ツールバーの表示(&T)",
     {1395, 1950, 2385, 345},
     Face::CheckBox,
     L" ツールバーの表示 "},
    {K::Check,
     kIdCheck1 + 7,
     Page::Tab0,
     -1,
     L"ボタン構成の保存(&B)",
     {1395, 2310, 2355, 345},
     Face::CheckBox,
     L" ボタン構成の保存 "},
    {K::Button, kIdCommand2, Page::Tab0, -1, L"...", {3780, 2310, 325, 300}, Face::TabStrip, L" ツールバーの変更 "},
    {K::Check,
     kIdCheck1 + 6,
     Page::Tab0,
     -1,
     L"最後のアクティブタブ(&A)",
     {1395, 2670, 2565, 345},
     Face::CheckBox,
     L" 最後のアクティブタブ "},
    {K::Button, kIdCommand1 + 0, Page::Dialog, -1, L"OK", {150, 3525, 1300, 300}, Face::Button, L" OK "},
    {K::Button,
     kIdCommand1 + 1,
     Page::Dialog,
     -1,
     L"キャンセル",
     {1560, 3525, 1300, 300},
     Face::Button,
     L" キャンセル "},
    {K::Button, kIdCommand1 + 2, Page::Dialog, -1, L"適用(&A)", {2970, 3525, 1300, 300}, Face::Button, L" 適用 "},
    {K::Button, kIdCommand1 + 3, Page::Dialog, -1, L"ヘルプ", {4380, 3525, 1300, 300}, Face::Button, L" ヘルプ "},
    {K::Tab, kIdTab, Page::Dialog, -1, nullptr, {165, 120, 5505, 3255}, Face::TabStrip, nullptr},
    {K::Frame, kIdFrame1 + 0, Page::Tab1, -1, L" 認知 ", {780, 1275, 1320, 930}, Face::FrameCaption, L" 認知 "},
    {K::Spinner, kIdUpDown1 + 0, Page::Tab1, 0, nullptr, {795, 420, 240, 240}, Face::Readout, L" 認知 "},
    {K::Readout, kIdLabel1 + 0, Page::Tab1, 0, L"", {330, 390, 735, 300}, Face::Readout, L" 認知 "},
    {K::Frame, kIdFrame1 + 1, Page::Tab1, -1, L" 透明度 ", {2835, 615, 1980, 2250}, Face::FrameCaption, L" 透明度 "},
    {K::Spinner, kIdUpDown1 + 1, Page::Tab1, 1, nullptr, {795, 420, 240, 240}, Face::Readout, L" 透明度 "},
    {K::Readout, kIdLabel1 + 1, Page::Tab1, 1, L"", {330, 390, 735, 300}, Face::Readout, L" 透明度 "},
    {K::Button, kIdCommand3, Page::Tab1, 1, L"初期値に戻す", {330, 1680, 1300, 300}, Face::Button, L" 初期値に戻す "},
    {K::Readout, kIdLabel1 + 2, Page::Tab1, 1, L"", {330, 1230, 735, 300}, Face::Readout, L" 初期 透明度 "},
    {K::Spinner, kIdUpDown1 + 2, Page::Tab1, 1, nullptr, {795, 1260, 240, 240}, Face::Readout, L" 初期 透明度 "},
    {K::Caption, kIdLabel2, Page::Tab1, 1, L" 初期値 ", {150, 840, 735, 195}, Face::FrameCaption, nullptr},
    {K::Line, kIdLine1, Page::Tab1, 1, nullptr, {0, 930, 1950, 15}, Face::FrameCaption, nullptr},
};

}  // namespace

std::span<const ControlSpec> SettingsControls() {
    return kControls;
}

const ControlSpec* FindControl(int id) {
    for (const ControlSpec& spec : kControls) {
        if (spec.id == id)
            return &spec;
    }
    return nullptr;
}

RectTwips PlaceOnDialog(const ControlSpec& spec) {
    RectTwips r = spec.place;
    if (spec.frame >= 0) {
        const ControlSpec* frame = FindControl(kIdFrame1 + spec.frame);
        r.left += frame->place.left;
        r.top += frame->place.top;
    }
    if (spec.page != Page::Dialog) {
        const ControlSpec* tab = FindControl(kIdTab);
        r.left += tab->place.left;
        r.top += tab->place.top;
    }
    return r;
}

std::wstring TextsIn(Face face) {
    std::wstring text;
    for (const ControlSpec& spec : kControls) {
        if (spec.face == face && spec.caption)
            text += spec.caption;
    }
    if (face == Face::TabStrip) {
        for (std::wstring_view caption : kTabCaptions)
            text += caption;
    }
    if (face == Face::Readout)
        text += kReadoutDigits;
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    return text;
}

std::vector<ScaledPart> SettingsParts() {
    std::vector<ScaledPart> parts;
    for (const ControlSpec& spec : kControls)
        parts.push_back({spec.id, PlaceOnDialog(spec), static_cast<int>(spec.face)});
    return parts;
}

std::vector<ScaledFont> SettingsFonts() {
    std::vector<ScaledFont> fonts;
    for (size_t i = 0; i < kSettingsFonts.size(); ++i)
        fonts.push_back({kSettingsFonts[i], TextsIn(static_cast<Face>(i))});
    return fonts;
}

}  // namespace vitrell

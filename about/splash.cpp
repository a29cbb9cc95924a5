#include "about/splash.h"

namespace vitrell {

namespace {

constexpr FontSpec kNameFont{L"ＭＳ Ｐ明朝", 68.25, true, false, true};
constexpr FontSpec kNameTailFont{L"ＭＳ Ｐ明朝", 18, true, false, true};
constexpr FontSpec kVersionFont{L"Times New Roman", 18, false, false, false};
constexpr FontSpec kSystemsFont{L"Times New Roman", 20.25, false, false, false};

constexpr LabelInk kShadow{true, {}};
constexpr std::wstring_view kSystems = L"for     Windows 2000/XP";

constexpr LabelSpec kLabels[] = {
    {0, ProductNameHead(), {2520, 450, 4515, 1425}, &kNameFont, kShadow},
    {2, ProductNameTail(), {7200, 1380, 405, 375}, &kNameTailFont, kShadow},
    {4, kVersionText, {750, 1380, 1365, 405}, &kVersionFont, kShadow},
    {15, kSystems, {630, 2010, 4155, 465}, &kSystemsFont, kShadow},
    {1, ProductNameHead(), {2370, 300, 4515, 1425}, &kNameFont, {false, kYellow}},
    {3, ProductNameTail(), {7050, 1230, 405, 375}, &kNameTailFont, {false, kYellow}},
    {6, kVersionText, {630, 1260, 1365, 405}, &kVersionFont, {false, kPaleYellow}},
    {14, kSystems, {480, 1860, 4155, 465}, &kSystemsFont, {false, kYellow}},
};

constexpr LineSpec kLines[] = {
    {90, 90, 8100, 90},
    {90, 90, 90, 3570},
    {8100, 90, 8100, 3580},
    {90, 3570, 8100, 3570},
};

constexpr FormLayout kLayout{{8205, 3675}, kFormGrey, kLabels, kLines, kWhite, {1080, 630, 480, 480}};

}  // namespace

const FormLayout& Splash::Layout() {
    return kLayout;
}

void Splash::Timer1_Timer() {
    // A late tick after the unload must not close anything twice.
    if (unloaded_)
        return;
    unloaded_ = true;
    view_.Unload();
}

}  // namespace vitrell

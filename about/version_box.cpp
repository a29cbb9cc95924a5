#include "about/version_box.h"

namespace vitrell {

namespace {

constexpr FontSpec kNameFont{L"ＭＳ Ｐ明朝", 42, true, false, true};
constexpr FontSpec kNameTailFont{L"ＭＳ Ｐ明朝", 12, true, false, true};
constexpr FontSpec kVersionFont{L"Times New Roman", 14.25, false, false, false};
constexpr FontSpec kLinkFont{L"ＭＳ Ｐ明朝", 11.25, false, true, true};

constexpr LabelInk kShadow{true, {}};
constexpr LabelInk kLinkInk{false, kLinkRest};
constexpr std::wstring_view kSystems = L"for    Windows 2000/XP";

constexpr SplitAddress kHomePageParts = SplitAfterHost(kHomePage);

constexpr LabelSpec kLabels[] = {
    {0, ProductNameHead(), {2100, 360, 2805, 855}, &kNameFont, kShadow},
    {2, ProductNameTail(), {5040, 930, 285, 285}, &kNameTailFont, kShadow},
    {4, kVersionText, {720, 915, 1065, 315}, &kVersionFont, kShadow},
    {19, kSystems, {510, 1350, 2805, 375}, &kVersionFont, kShadow},
    {1, ProductNameHead(), {1980, 240, 2805, 855}, &kNameFont, {false, kYellow}},
    {3, ProductNameTail(), {4920, 810, 285, 285}, &kNameTailFont, {false, kYellow}},
    {5, kVersionText, {630, 825, 1065, 315}, &kVersionFont, {false, kPaleYellow}},
    {18, kSystems, {420, 1260, 2805, 405}, &kVersionFont, {false, kYellow}},
    {10, L"E-Mail Address：", {480, 2265, 1665, 255}, &kLinkFont, kLinkInk},
    {11, kMailAddress, {480, 2490, 2055, 255}, &kLinkFont, kLinkInk},
    {12, L"URL Address：", {480, 2910, 1425, 255}, &kLinkFont, kLinkInk},
    {13, kHomePageParts.head, {480, 3135, 2895, 255}, &kLinkFont, kLinkInk},
    {14, kHomePageParts.tail, {480, 3360, 1065, 255}, &kLinkFont, kLinkInk},
};

constexpr LineSpec kLines[] = {
    {90, 90, 5820, 90}, {220, 2070, 3600, 2070}, {90, 90, 90, 3830}, {5820, 90, 5820, 2190}, {90, 3810, 3600, 3810},
};

constexpr FormLayout kLayout{{5925, 3915}, kFormGrey, kLabels, kLines, kWhite, {930, 330, 480, 480}};

constexpr std::wstring_view kMailProgram = L"Program Files\\Outlook Express\\MSIMN.EXE";
constexpr std::wstring_view kBrowserProgram = L"Program Files\\Internet Explorer\\IEXPLORE.EXE";
constexpr std::wstring_view kNtBrowserProgram = L"Program Files\\Plus!\\Microsoft Internet\\IEXPLORE.EXE";

}  // namespace

LinkGroup GroupOf(int labelIndex) {
    if (labelIndex == 10 || labelIndex == 11)
        return LinkGroup::Mail;
    if (labelIndex >= 12 && labelIndex <= 14)
        return LinkGroup::HomePage;
    return LinkGroup::None;
}

bool IsProgramPresent(const std::optional<FileAttributes>& a) {
    return a && !a->directory && !a->hidden && !a->system;
}

std::wstring SystemDrive(const std::optional<std::wstring>& winDir) {
    if (!winDir)
        return std::wstring();
    return winDir->substr(0, 3);
}

std::optional<std::wstring> BrowserPath(std::wstring_view osName, std::wstring_view systemDrive) {
    constexpr std::wstring_view kIeSystems[] = {L"Windows XP", L"Windows 2000", L"Windows Me", L"Windows 98",
                                                L"Windows 95"};
    for (std::wstring_view name : kIeSystems) {
        if (osName == name)
            return std::wstring(systemDrive) + std::wstring(kBrowserProgram);
    }
    if (osName == L"Windows NT")
        return std::wstring(systemDrive) + std::wstring(kNtBrowserProgram);
    return std::nullopt;
}

std::wstring BrowserCommandLine(std::wstring_view programPath, std::wstring_view address) {
    std::wstring line;
    line.reserve(programPath.size() + address.size() + 3);
    line += L'"';
    line += programPath;
    line += L"\" ";
    line += address;
    return line;
}

VersionBox::VersionBox(IVersionBoxView& view, IVersionBoxSystem& system, ISystemInfo& info)
    : view_(view), system_(system), info_(info) {
    linkColours_.fill(kLinkRest);
}

std::vector<ScaledPart> VersionBox::Parts() {
    return {{kCommand1Id, kCommand1Rect, static_cast<int>(Layout().labels.size())}};
}

std::vector<ScaledFont> VersionBox::PartFonts() {
    return {{kCommand1Font, std::wstring(kCommand1Caption)}};
}

const FormLayout& VersionBox::Layout() {
    return kLayout;
}

std::wstring VersionBox::TipFor(int labelIndex) {
    switch (GroupOf(labelIndex)) {
        case LinkGroup::Mail:
            return L" " + std::wstring(kMailAddress) + L" ";
        case LinkGroup::HomePage:
            return L" " + std::wstring(kHomePage) + L" ";
        case LinkGroup::None:
            break;
    }
    return std::wstring();
}

void VersionBox::Command1_Click() {
    view_.Unload();
}

void VersionBox::Form_MouseMove() {
    SetGroupColours(kLinkRest, kLinkRest);
}

void VersionBox::Label1_MouseMove(int index) {
    switch (GroupOf(index)) {
        case LinkGroup::Mail:
            SetGroupColours(kLinkHighlight, kLinkRest);
            break;
        case LinkGroup::HomePage:
            SetGroupColours(kLinkRest, kLinkHighlight);
            break;
        case LinkGroup::None:
            break;
    }
}

void VersionBox::Label1_Click(int index) {
    switch (GroupOf(index)) {
        case LinkGroup::Mail:
            OpenMail();
            break;
        case LinkGroup::HomePage:
            OpenHomePage();
            break;
        case LinkGroup::None:
            break;
    }
}

LabelInk VersionBox::InkOf(const LabelSpec& label) const {
    if (GroupOf(label.index) == LinkGroup::None)
        return label.ink;
    return {false, linkColours_[label.index - kFirstLink]};
}

void VersionBox::SetGroupColours(Rgb mail, Rgb homePage) {
    for (int i = kFirstLink; i <= kLastLink; ++i)
        SetColour(i, GroupOf(i) == LinkGroup::Mail ? mail : homePage);
}

void VersionBox::SetColour(int index, Rgb colour) {
    Rgb& current = linkColours_[index - kFirstLink];
    if (current == colour)
        return;  // only a change is repainted: the pointer moves often
    current = colour;
    view_.SetLabelColour(index, colour);
}

// Without the designed program the address goes to whatever the system has for it (every Windows since Vista lacks
// Outlook Express); the missing program is reported only when nothing took the address.
void VersionBox::OpenMail() {
    const std::wstring program = SystemDrive(system_.Environment(L"WinDir")) + std::wstring(kMailProgram);
    const bool present = IsProgramPresent(system_.Attributes(program));
    if (!system_.ShellOpen(L"mailto:" + std::wstring(kMailAddress)) && !present)
        view_.ShowWarning(kMailMissingText, kMailMissingTitle);
}

void VersionBox::OpenHomePage() {
    const std::optional<std::wstring> browser =
        BrowserPath(GetOSName(info_), SystemDrive(system_.Environment(L"WinDir")));
    if (!browser)
        return;
    if (IsProgramPresent(system_.Attributes(*browser)))
        system_.StartProcess(*browser, BrowserCommandLine(*browser, kHomePage));
    else if (!system_.ShellOpen(std::wstring(kHomePage)))
        view_.ShowWarning(kBrowserMissingText, kBrowserMissingTitle);
}

}  // namespace vitrell

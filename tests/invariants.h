#pragma once
// What must hold whatever the input: one definition for the unit tests and the fuzz targets (tests/fuzz/).
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "core/text.h"

namespace vitrell::testing {

// Plain decimal as the program writes numbers: an optional minus, digits without a leading zero, and a fraction
// that does not end in 0. No blank, no exponent, no "-0".
inline bool IsPlainDecimal(std::wstring_view text) {
    size_t i = 0;
    if (i < text.size() && text[i] == L'-')
        ++i;
    const auto digit = [&](size_t at) { return at < text.size() && text[at] >= L'0' && text[at] <= L'9'; };
    const size_t start = i;
    while (digit(i))
        ++i;
    if (i == start || (text[start] == L'0' && i - start > 1))
        return false;
    if (i < text.size() && text[i] == L'.') {
        const size_t fraction = ++i;
        while (digit(i))
            ++i;
        if (i == fraction || text[i - 1] == L'0')
            return false;
    }
    return i == text.size() && text != L"-0";
}

// A number as NumberText and SumText write it: plain decimal, and reading it and writing it again gives the same
// text, so it survives a restart unchanged.
inline bool ReadsBackAsWritten(std::wstring_view text) {
    return IsPlainDecimal(text) && NumberText(LeadingNumber(text)) == text;
}

// The keys start-up reads, in its order, with what it writes for a missing or empty one (nullptr: nothing, the
// position is a memory-only default).
struct StartupKey {
    std::wstring_view section;
    std::wstring_view key;
    const wchar_t* whenEmpty;
    std::wstring SettingsRecord::*field;
};
inline const StartupKey kStartupKeys[] = {
    {kConfig, L"OptLogo", L"1", &SettingsRecord::OptLogo},     {kPosition, L"OptCent", L"0", &SettingsRecord::OptCent},
    {kPosition, L"T_Left", nullptr, &SettingsRecord::T_Left},  {kPosition, L"T_Top", nullptr, &SettingsRecord::T_Top},
    {kConfig, L"OptTemae", L"1", &SettingsRecord::OptTemae},   {kConfig, L"OptJib", L"0", &SettingsRecord::OptJib},
    {kConfig, L"OptMBar", L"1", &SettingsRecord::OptMBar},     {kConfig, L"OptTBar", L"1", &SettingsRecord::OptTBar},
    {kConfig, L"OptTBar2", L"1", &SettingsRecord::OptTBar2},   {kConfig, L"OptLAct", L"1", &SettingsRecord::OptLAct},
    {kConfig, L"OptLATab", L"0", &SettingsRecord::OptLATab},   {kConfig, L"OptNin", L"1", &SettingsRecord::OptNin},
    {kConfig, L"OptTou", L"20", &SettingsRecord::OptTou},      {kConfig, L"OptTou2", L"0", &SettingsRecord::OptTou2},
    {kConfig, L"OptOn_Off", L"0", &SettingsRecord::OptOn_Off}, {kConfig, L"OptWinS", L"0", &SettingsRecord::OptWinS},
};

// A value the settings dialog may store: flags "0" or "1", whole numbers within the spinners' ranges, a tab index.
inline bool WithinDialogRange(std::wstring_view key, std::wstring_view text) {
    const auto whole = [&](int min, int max) {
        const double v = LeadingNumber(text);
        return IsPlainDecimal(text) && v >= min && v <= max && v == static_cast<int>(v);
    };
    if (key == L"OptNin")
        return whole(1, 30);
    if (key == L"OptTou" || key == L"OptTou2")
        return whole(0, 100);
    if (key == L"OptLATab")
        return whole(0, 1);
    return text == L"0" || text == L"1";
}

}  // namespace vitrell::testing

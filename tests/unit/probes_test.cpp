#include "core/probes.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_registry.h"

namespace vitrell {
namespace {

TEST(GetOSName, NamesEveryPlatformAndVersionRow) {
    const struct {
        OsVersion v;
        const wchar_t* name;
    } cases[] = {
        {{2, 5, 0}, L"Windows 2000"},
        {{2, 5, 1}, L"Windows XP"},
        {{2, 5, 2}, L"Windows XP"},
        {{2, 6, 1}, L"Windows XP"},
        {{2, 6, 0}, L"Windows 2000"},
        {{2, 4, 0}, L"Windows NT"},
        {{2, 4, 1}, L"Windows NT"},
        {{2, 10, 0}, L"Windows 2000"},
        {{2, 6, 2}, L"Windows XP"},
        {{1, 4, 0}, L"Windows 95"},
        {{1, 4, 10}, L"Windows 98"},
        {{1, 4, 90}, L"Windows Me"},
        {{0, 0, 0}, L""},
        {{3, 5, 1}, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OsNameFromVersion(c.v), c.name)
            << "platform " << c.v.platformId << " version " << c.v.major << "." << c.v.minor;
    }
}

TEST(GetAppearanceScheme, OnlyANonEmptyStringIsAScheme) {
    const std::wstring key = L"Control Panel\\Appearance";
    const struct {
        int kind;  // 0 missing, 1 string, 2 another type
        std::wstring stored;
        std::wstring want;
    } cases[] = {
        {0, L"", L""},
        {1, L"", L""},
        {1, L"Windows Standard", L"Windows Standard"},
        {2, L"", L""},
        {1, std::wstring(255, L'x'), std::wstring(255, L'x')},
        {1, std::wstring(256, L'x'), L""},
    };
    for (const auto& c : cases) {
        testing::FakeRegistry registry;
        if (c.kind == 1)
            registry.Put(key, L"Current", c.stored);
        if (c.kind == 2)
            registry.PutNonString(key, L"Current");
        EXPECT_EQ(GetAppearanceScheme(registry), c.want) << "kind " << c.kind << " length " << c.stored.size();
    }
}

}  // namespace
}  // namespace vitrell

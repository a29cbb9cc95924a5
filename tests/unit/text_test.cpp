#include "core/text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "tests/invariants.h"

namespace vitrell {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText) {
    const struct {
        const wchar_t* text;
        double want;
    } cases[] = {
        {L"", 0},           {L"abc", 0},
        {L"20", 20},        {L"  12.5abc", 12.5},
        {L"-5", -5},        {L"+7", 7},
        {L"   7", 7},       {L"\t3", 3},
        {L"1e999", 1},      {L"nan", 0},
        {L"-0", 0},         {L"0x10", 0},
        {L".5", 0.5},       {L"12.", 12},
        {L"1.2.3", 1.2},    {L"- 5", 0},
        {L"20 %", 20},      {L"１２", 0},
        {L"99.5", 99.5},    {L"007", 7},
        {L"0.00002", 2e-5}, {L"1.999999999990898e-05", 1.999999999990898},
        {L"-.25", -0.25},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingNumber(c.text), c.want) << "for \"" << std::wstring(c.text).size() << "-char text\"";
}

TEST(LeadingNumber, HugeAndTinyTextsStayFinite) {
    const std::wstring huge(5000, L'9');
    EXPECT_EQ(LeadingNumber(huge), DBL_MAX);
    EXPECT_EQ(LeadingNumber(L"-" + huge), -DBL_MAX);
    EXPECT_EQ(LeadingNumber(L"1" + std::wstring(400, L'0')), DBL_MAX);
    EXPECT_EQ(LeadingNumber(L"0." + std::wstring(500, L'0') + L"1"), 0.0);
    EXPECT_EQ(LeadingNumber(std::wstring(5000, L' ') + L"3"), 3.0);
    // Leading zeros carry no digit, however many there are.
    EXPECT_EQ(LeadingNumber(std::wstring(400, L'0') + L"1"), 1.0);
    EXPECT_EQ(LeadingNumber(std::wstring(400, L'0') + L".5"), 0.5);
    EXPECT_EQ(LeadingNumber(L"-" + std::wstring(5000, L'0') + L"20.25"), -20.25);
    EXPECT_EQ(LeadingNumber(L"0." + std::wstring(400, L'0') + L"1"), 0.0);
    EXPECT_EQ(LeadingNumber(std::wstring(100, L'1') + L"." + std::wstring(400, L'1')), 1.1111111111111111e99);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const struct {
        double value, want;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.4, 2}, {2.6, 3}, {229.5, 230}, {178.5, 178}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.value), c.want) << "for " << c.value;
}

TEST(NumberText, PlainDecimalAsAPersonWritesIt) {
    const struct {
        double value;
        std::wstring want;
    } cases[] = {
        {21, L"21"},
        {20.5, L"20.5"},
        {0, L"0"},
        {-0.0, L"0"},
        {-300, L"-300"},
        {100, L"100"},
        {7.300000000000001, L"7.3"},
        {2e-5, L"0.00002"},
        {1.999999999990898e-05, L"0.000019999999999909"},
        {0.1 + 0.2, L"0.3"},
        {123456789012345678.0, L"123456789012346000"},
        {1e21, L"1000000000000000000000"},
        {-1.5e-7, L"-0.00000015"},
        {DBL_MAX, L"179769313486232" + std::wstring(294, L'0')},
        {5e-324, L"0." + std::wstring(323, L'0') + L"494065645841247"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberText(c.value), c.want) << "for " << c.value;
}

TEST(NumberText, SumsKeepThePrecisionOfTheirTerms) {
    const struct {
        double a, b;
        const wchar_t* want;
    } cases[] = {
        {20.3, -1, L"19.3"},
        {1.00002, -1, L"0.00002"},
        {0.00002, 1, L"1.00002"},
        {99.5, 1, L"100.5"},
        {20, 1, L"21"},
        {1, -1, L"0"},
        {0.1, 0.2, L"0.3"},
        {1e14, 1, L"100000000000001"},
        {1e15, 1, L"1000000000000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SumText(c.a, c.b), c.want) << c.a << " + " << c.b;
}

TEST(NumberText, SingleValuesTakeTheFewestDigitsThatReadBack) {
    const struct {
        float value;
        const wchar_t* want;
    } cases[] = {{7245.0f, L"7245"}, {4567.5f, L"4567.5"},       {-300.0f, L"-300"},
                 {0.1f, L"0.1"},     {16777217.0f, L"16777216"}, {1e-7f, L"0.0000001"}};
    for (const auto& c : cases) {
        EXPECT_EQ(SingleText(c.value), c.want) << "for " << c.value;
        EXPECT_EQ(static_cast<float>(LeadingNumber(SingleText(c.value))), c.value);
    }
}

// Many values of every size: whatever is written reads back as the same text, with at most 15 significant
// digits and never an exponent.
TEST(NumberText, WhatIsWrittenReadsBackTheSame) {
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-320, 308);
    std::uniform_int_distribution<std::uint64_t> bits;
    int failures = 0;
    for (int i = 0; i < 60000 && failures < 10; ++i) {
        double value = 0;
        switch (i % 3) {
            case 0:
                value = mantissa(random) * std::pow(10.0, exponent(random));
                break;
            case 1:
                value = std::round(mantissa(random) * 1e4) / 100;  // levels as the steps make them
                break;
            default: {
                const std::uint64_t raw = bits(random);
                std::memcpy(&value, &raw, sizeof value);
                break;
            }
        }
        if (!std::isfinite(value))
            continue;
        const std::wstring text = NumberText(value);
        const std::wstring again = NumberText(LeadingNumber(text));
        // Significant digits: from the first non-zero digit to the last one.
        std::wstring digits;
        for (wchar_t c : text)
            if (c >= L'0' && c <= L'9')
                digits += c;
        const size_t first = digits.find_first_not_of(L'0');
        const size_t significant = first == std::wstring::npos ? 0 : digits.find_last_not_of(L'0') - first + 1;
        if (!testing::ReadsBackAsWritten(text) || significant > 15) {
            ++failures;
            ADD_FAILURE() << "value " << value << " wrote '" << std::string(text.begin(), text.end())
                          << "', read back as '" << std::string(again.begin(), again.end()) << "'";
        }
        const double back = LeadingNumber(text);
        if (std::fabs(back - value) > std::fabs(value) * 6e-15 && std::fabs(value) > 1e-300) {
            ++failures;
            ADD_FAILURE() << "value " << value << " read back as " << back;
        }
    }
}

}  // namespace
}  // namespace vitrell

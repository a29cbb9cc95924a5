#include "app/text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <string>

namespace vitrell {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText) {
    const struct {
        const wchar_t* text;
        double want;
    } cases[] = {
        {L"", 0},           {L"abc", 0},         {L"20", 20},       {L"  12.5abc", 12.5}, {L"-5", -5},
        {L"+7", 7},         {L"   7", 7},        {L"\t3", 3},       {L"1e999", 1},        {L"nan", 0},
        {L"-0", 0},         {L"0x10", 0},        {L".5", 0.5},      {L"12.", 12},         {L"1.2.3", 1.2},
        {L"- 5", 0},        {L"20 %", 20},       {L"１２", 0},       {L"99.5", 99.5},      {L"007", 7},
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
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const struct {
        double value, want;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.4, 2}, {2.6, 3}, {229.5, 230}, {178.5, 178}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.value), c.want) << "for " << c.value;
}

TEST(NumberText, PlainDecimalWithoutLeadingBlank) {
    EXPECT_EQ(NumberText(21), L"21");
    EXPECT_EQ(NumberText(20.5), L"20.5");
    EXPECT_EQ(NumberText(0), L"0");
    EXPECT_EQ(NumberText(-0.0), L"0");
    EXPECT_EQ(NumberText(-300), L"-300");
    EXPECT_EQ(NumberText(100), L"100");
    EXPECT_EQ(SingleText(7245.0f), L"7245");
    EXPECT_EQ(SingleText(4567.5f), L"4567.5");
}

}  // namespace
}  // namespace vitrell

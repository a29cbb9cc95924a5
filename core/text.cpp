#include "core/text.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vitrell {

namespace {

// More digits than a double can tell apart: the ones past this only scale the value.
constexpr int kMaxReadDigits = 64;
// A double carries 15 significant decimal digits that survive a trip through text and back.
constexpr int kSignificantDigits = 15;

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// The digits of a number in scientific form: value = 0.d1d2...dn × 10^(exponent + 1), i.e. d1 stands at
// 10^exponent. Trailing zeros are dropped; no digits at all means zero.
struct Digits {
    bool negative = false;
    char digits[kSignificantDigits + 1] = {};
    int count = 0;
    int exponent = 0;
};

Digits ToDigits(double value, int significant) {
    Digits d;
    if (std::isnan(value))
        return d;
    if (std::isinf(value))
        value = std::copysign(DBL_MAX, value);
    significant = std::clamp(significant, 1, kSignificantDigits);
    char buffer[64];
    // "-d.ddde+XX": the C library rounds correctly to the digits asked for.
    const int n = std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, value);
    if (n <= 0 || n >= static_cast<int>(sizeof buffer))
        return d;
    const char* p = buffer;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e' && *p != 'E'; ++p) {
        if (*p >= '0' && *p <= '9' && d.count < kSignificantDigits)
            d.digits[d.count++] = *p;
    }
    if (*p)
        d.exponent = std::atoi(p + 1);
    while (d.count > 0 && d.digits[d.count - 1] == '0')
        --d.count;
    if (d.count == 0)
        d.negative = false;  // "-0" is written as 0
    return d;
}

// Plain decimal text of the digits: no exponent, no trailing zeros, no leading blank.
std::wstring PlainText(const Digits& d) {
    if (d.count == 0)
        return L"0";
    std::wstring text;
    text.reserve(static_cast<size_t>(d.count + std::abs(d.exponent) + 3));
    if (d.negative)
        text += L'-';
    if (d.exponent < 0) {
        text += L"0.";
        text.append(static_cast<size_t>(-d.exponent - 1), L'0');
        for (int i = 0; i < d.count; ++i)
            text += static_cast<wchar_t>(d.digits[i]);
        return text;
    }
    for (int i = 0; i <= d.exponent; ++i)
        text += i < d.count ? static_cast<wchar_t>(d.digits[i]) : L'0';
    if (d.count > d.exponent + 1) {
        text += L'.';
        for (int i = d.exponent + 1; i < d.count; ++i)
            text += static_cast<wchar_t>(d.digits[i]);
    }
    return text;
}

// The power of ten of a value's first significant digit (0 for zero).
int DecimalExponent(double value) {
    return ToDigits(value, kSignificantDigits).exponent;
}

}  // namespace

double LeadingNumber(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t'))
        ++i;

    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }

    // The significant digits as an integer, and the power of ten that scales it. Leading zeros carry no digit,
    // so a text with hundreds of them still reads as the number they lead to.
    char digits[kMaxReadDigits + 24];
    int count = 0;
    long long scale = 0;
    bool sawDigit = false;
    bool sawPoint = false;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (IsDigit(c)) {
            sawDigit = true;
            if (count == 0 && c == L'0') {
                if (sawPoint)
                    --scale;
            } else if (count < kMaxReadDigits) {
                digits[count++] = static_cast<char>(c);
                if (sawPoint)
                    --scale;
            } else if (!sawPoint) {
                ++scale;
            }
        } else if (c == L'.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
    }
    if (!sawDigit || count == 0)
        return 0.0;

    // A scale far outside what a double holds is clamped; the result is then the largest finite value or 0.
    scale = std::clamp(scale, -100000LL, 100000LL);
    std::snprintf(digits + count, sizeof digits - static_cast<size_t>(count), "e%lld", scale);
    // The C library's conversion rounds correctly; the program never changes the C locale, so "." is the point.
    double value = std::strtod(digits, nullptr);
    if (!std::isfinite(value))
        value = DBL_MAX;
    return negative ? -value : value;
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);  // the default rounding mode is to nearest, ties to even
}

std::wstring NumberText(double value) {
    return PlainText(ToDigits(value, kSignificantDigits));
}

std::wstring SumText(double a, double b) {
    const double sum = a + b;
    // The sum is only as precise as the larger term: its 15th digit is the last one that means anything.
    const double larger = std::max({std::fabs(a), std::fabs(b), std::fabs(sum)});
    if (sum == 0 || !std::isfinite(larger))
        return NumberText(sum);
    const int significant = kSignificantDigits - (DecimalExponent(larger) - DecimalExponent(sum));
    if (significant < 1)
        return L"0";  // below what the terms could tell apart
    return PlainText(ToDigits(sum, significant));
}

std::wstring SingleText(float value) {
    // The fewest digits (6 to 9) that give back the same single-precision value.
    for (int significant = 6; significant < 9; ++significant) {
        const Digits d = ToDigits(value, significant);
        const std::wstring text = PlainText(d);
        if (static_cast<float>(LeadingNumber(text)) == value)
            return text;
    }
    return PlainText(ToDigits(value, 9));
}

}  // namespace vitrell

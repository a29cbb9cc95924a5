#include "app/text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace vitrell {

namespace {
bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Shortest round-trip text, with an exponent only where the value is far outside what settings hold.
template <typename Number>
std::wstring ShortestText(Number value) {
    if (value == 0 || std::isnan(value))
        return L"0";
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::wstring(buffer.data(), result.ptr);
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

    // Copy the digits into a narrow buffer for from_chars; digits past its end only scale the value.
    std::array<char, 400> narrow{};
    size_t n = 0;
    long extraIntegerDigits = 0;
    bool sawDigit = false;
    bool sawPoint = false;
    bool integerNonZero = false;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (IsDigit(c)) {
            sawDigit = true;
            integerNonZero = integerNonZero || (!sawPoint && c != L'0');
            if (n < narrow.size())
                narrow[n++] = static_cast<char>(c);
            else if (!sawPoint)
                ++extraIntegerDigits;
        } else if (c == L'.' && !sawPoint) {
            sawPoint = true;
            if (n < narrow.size())
                narrow[n++] = '.';
        } else {
            break;
        }
    }
    if (!sawDigit)
        return 0.0;

    double value = 0.0;
    const auto result = std::from_chars(narrow.data(), narrow.data() + n, value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range || extraIntegerDigits > 0)
        value = integerNonZero ? std::numeric_limits<double>::max() : 0.0;  // overflow, or a tiny fraction
    return negative ? -value : value;
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);  // the default rounding mode is to nearest, ties to even
}

std::wstring NumberText(double value) {
    return ShortestText(value);
}

std::wstring SingleText(float value) {
    return ShortestText(value);
}

}  // namespace vitrell

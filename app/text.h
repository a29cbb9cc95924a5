#pragma once
// How setting texts become numbers and numbers become setting texts.
#include <string>
#include <string_view>

namespace vitrell {

// The decimal number at the start of a text: leading blanks skipped, an optional sign, digits with an
// optional decimal point ("  12.5abc" -> 12.5, "-5" -> -5). A text that does not start with a number
// reads as 0. Exponents and hexadecimal are not numbers here ("1e999" -> 1, "0x10" -> 0). A number too
// large for a double reads as the largest finite double of its sign. Never allocates.
double LeadingNumber(std::wstring_view text);

// Rounds to the nearest integer, a half to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// Plain decimal text of a number, no leading blank, no exponent for the values settings hold
// (21, 20.5, 0, -300). Negative zero is written as 0.
std::wstring NumberText(double value);

// The text form of a single-precision value (window positions are kept as such).
std::wstring SingleText(float value);

}  // namespace vitrell

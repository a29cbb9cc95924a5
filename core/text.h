#pragma once
// How setting texts become numbers and numbers become setting texts.
#include <string>
#include <string_view>

namespace vitrell {

// The decimal number at the start of a text: leading blanks skipped, an optional sign, digits with an
// optional decimal point ("  12.5abc" -> 12.5, "-5" -> -5, "000...0001" -> 1). A text that does not start
// with a number reads as 0. Exponents and hexadecimal are not numbers here ("1e999" -> 1, "0x10" -> 0).
// A number too large for a double reads as the largest finite double of its sign. Never allocates.
double LeadingNumber(std::wstring_view text);

// Rounds to the nearest integer, a half to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// Plain decimal text as a person writes it: at most 15 significant digits, never an exponent, no trailing
// zeros, no leading blank ("21", "20.5", "0", "-300", "0.00002"). Negative zero is written as 0. Reading the
// text back and writing it again gives the same text.
std::wstring NumberText(double value);

// The text of a + b, to the precision the larger term carries: a step of 1 from 20.3 thirteen times gives
// "7.3" and 1.00002 - 1 gives "0.00002", not the binary noise of the sum.
std::wstring SumText(double a, double b);

// The text form of a single-precision value (window positions are kept as such): the fewest digits that
// read back as the same value.
std::wstring SingleText(float value);

}  // namespace vitrell

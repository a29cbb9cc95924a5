// Numbers: whatever text the store holds, the number read from it is written as plain decimal that survives a
// restart unchanged, and so are a level step from it and a window position made of it.
#include <cmath>

#include "tests/fuzz/fuzz_support.h"

using namespace vitrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    // The bytes as Latin-1: digits, signs, points and blanks are one byte each, anything else stops the number.
    std::wstring text;
    for (size_t i = 0; i < size; ++i)
        text += static_cast<wchar_t>(data[i]);

    const double read = LeadingNumber(text);
    fuzz::Require(std::isfinite(read), "a text reads as a finite number", text);

    const std::wstring written = NumberText(read);
    fuzz::Require(testing::ReadsBackAsWritten(written), "what was read is written as text that reads back as it",
                  written);
    fuzz::Require(LeadingNumber(written) == read || std::fabs(LeadingNumber(written) - read) <= std::fabs(read) * 1e-14,
                  "the written text is the number read, to 15 digits", written);

    // A level step of either sign, as the toolbar and the arrow keys make them.
    for (const double step : {-1.0, 1.0}) {
        const std::wstring sum = SumText(read, step);
        fuzz::Require(testing::ReadsBackAsWritten(sum), "a step is written as text that reads back as it", sum);
    }

    // A window position: single precision, written with the fewest digits that give it back.
    const float position = static_cast<float>(read);
    const std::wstring single = SingleText(position);
    fuzz::Require(testing::IsPlainDecimal(single), "a position is written as plain decimal", single);
    fuzz::Require(static_cast<float>(LeadingNumber(single)) == position || std::isinf(position),
                  "a position reads back as the same single value", single);
    return 0;
}

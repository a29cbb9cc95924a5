#pragma once
// A colour as the forms' tables give it.
#include <cstdint>

namespace vitrell {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

}  // namespace vitrell

#pragma once

#include <string>
#include <string_view>

// Decimal text to double and back, exactly as the C++17 character
// conversions do it: the nearest double, and the shortest text that reads
// back to the same double. Where the standard library lacks them for
// floating point (libc++ 13, as emscripten ships it), a portable path gives
// the same results; both are built everywhere so that tests can hold one to
// the other.
namespace proxcred::float_text {

struct Reading {
    double value = 0.0;
    bool outOfRange = false;  // too large for a double, or too small to be anything but 0
};

// `digits`: an unsigned decimal number, digits with at most one point and an
// optional exponent ("12.5", ".5", "1e300"); the caller has checked the shape.
Reading read(std::string_view digits);
Reading readPortably(std::string_view digits);

// The shortest text that reads back as `value` (finite): fixed notation, or
// scientific ("1e+20") where that is shorter, as std::to_chars writes it.
std::string shortest(double value);
std::string shortestPortably(double value);

}  // namespace proxcred::float_text

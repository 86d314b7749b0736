#include "formats/float_text.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <version>

namespace proxcred::float_text {

// Whether the standard library converts floating point itself.
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
#define PROXCRED_LIBRARY_CONVERTS_FLOATS 1
#endif

namespace {

#ifdef PROXCRED_LIBRARY_CONVERTS_FLOATS
Reading readWithLibrary(std::string_view digits) {
    double value = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range) return {0.0, true};
    return {value, false};
}

std::string shortestWithLibrary(double value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}
#endif

// The digits of `value` (finite, not 0) to `precision` significant places,
// correctly rounded, and the power of ten of the first.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal decimalOf(double value, int precision) {
    std::array<char, 40> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*e", precision - 1, value);
    const std::string text = buffer.data();  // d.ddde±xx
    Decimal decimal;
    const std::size_t e = text.find('e');
    for (std::size_t at = 0; at < e; ++at) {
        if (text[at] != '.') decimal.digits.push_back(text[at]);
    }
    decimal.exponent = std::atoi(text.c_str() + e + 1);
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0') decimal.digits.pop_back();
    return decimal;
}

// The fewest significant digits that read back as `value`: at most 17 are
// ever needed for a double.
Decimal shortestDecimal(double value) {
    constexpr int kMostDigits = 17;
    for (int precision = 1; precision < kMostDigits; ++precision) {
        Decimal decimal = decimalOf(value, precision);
        const int lastPlace = decimal.exponent - static_cast<int>(decimal.digits.size()) + 1;
        const std::string text = decimal.digits + "e" + std::to_string(lastPlace);
        if (std::strtod(text.c_str(), nullptr) == value) return decimal;
    }
    return decimalOf(value, kMostDigits);
}

// Fixed notation. A whole number is written with all its digits, exactly
// (21899647263916318720, not ...320000): of the texts of the same length
// that read back, the standard asks for the one nearest the value.
std::string fixedText(double value, const Decimal& decimal) {
    const auto length = static_cast<int>(decimal.digits.size());
    if (decimal.exponent < 0)
        return "0." + std::string(static_cast<std::size_t>(-decimal.exponent - 1), '0') +
               decimal.digits;
    if (length <= decimal.exponent + 1) {
        std::array<char, 320> buffer{};
        std::snprintf(buffer.data(), buffer.size(), "%.0f", value);
        return buffer.data();
    }
    const std::size_t point = static_cast<std::size_t>(decimal.exponent) + 1;
    return decimal.digits.substr(0, point) + "." + decimal.digits.substr(point);
}

std::string scientificText(const Decimal& decimal) {
    std::string text = decimal.digits.substr(0, 1);
    if (decimal.digits.size() > 1) text += "." + decimal.digits.substr(1);
    const int magnitude = std::abs(decimal.exponent);
    text += decimal.exponent < 0 ? "e-" : "e+";
    if (magnitude < 10) text += '0';
    return text + std::to_string(magnitude);
}

}  // namespace

// strtod and snprintf read and write in the C locale, which a program that
// sets another (as Qt does) would change: the portable path serves builds
// without a program of that kind (WebAssembly).
Reading readPortably(std::string_view digits) {
    const std::string text(digits);
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    // strtod answers infinity for a huge number and 0 for a vanishing one,
    // with ERANGE; a subnormal result (also ERANGE) is a value like any other.
    if (errno == ERANGE && (std::isinf(value) || value == 0.0)) return {0.0, true};
    return {value, false};
}

std::string shortestPortably(double value) {
    if (value == 0.0) return std::signbit(value) ? "-0" : "0";
    const std::string sign = value < 0 ? "-" : "";
    const Decimal decimal = shortestDecimal(std::fabs(value));
    const std::string fixed = fixedText(std::fabs(value), decimal);
    const std::string scientific = scientificText(decimal);
    return sign + (fixed.size() <= scientific.size() ? fixed : scientific);
}

Reading read(std::string_view digits) {
#ifdef PROXCRED_LIBRARY_CONVERTS_FLOATS
    return readWithLibrary(digits);
#else
    return readPortably(digits);
#endif
}

std::string shortest(double value) {
#ifdef PROXCRED_LIBRARY_CONVERTS_FLOATS
    return shortestWithLibrary(value);
#else
    return shortestPortably(value);
#endif
}

}  // namespace proxcred::float_text

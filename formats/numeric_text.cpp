#include "formats/numeric_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "formats/float_text.h"

namespace proxcred {

std::string failureMessage(ConversionFailure failure) {
    const FailureInfo info = failureInfo(failure);
    return std::to_string(info.number) + " " + std::string(info.description);
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && isDigit(text[at])) ++at;
    return at;
}

bool hasNumberShape(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const std::size_t intStart = at;
    at = skipDigits(text, at);
    std::size_t digits = at - intStart;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fracStart = ++at;
        at = skipDigits(text, at);
        digits += at - fracStart;
    }
    if (digits == 0) return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        const std::size_t expStart = at;
        at = skipDigits(text, at);
        if (at == expStart) return false;
    }
    return at == text.size();
}

// Whether an out-of-range number text is huge rather than vanishingly small:
// the position of its first significant digit plus its exponent is positive.
bool hasLargeMagnitude(std::string_view unsignedNumber) {
    const std::size_t expAt = std::min(unsignedNumber.find_first_of("eE"), unsignedNumber.size());
    const std::string_view mantissa = unsignedNumber.substr(0, expAt);
    const std::size_t pointAt = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstSignificant =
        std::min(mantissa.find_first_of("123456789"), mantissa.size());
    long long magnitude = firstSignificant < pointAt
                              ? static_cast<long long>(pointAt - firstSignificant)
                              : -static_cast<long long>(firstSignificant - pointAt);
    if (expAt < unsignedNumber.size()) {
        std::string_view exponent = unsignedNumber.substr(expAt + 1);
        const bool negative = !exponent.empty() && exponent.front() == '-';
        if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+')) {
            exponent.remove_prefix(1);
        }
        long long exp = 0;
        constexpr long long kSaturated = 1'000'000'000;
        for (const char c : exponent) exp = std::min(kSaturated, exp * 10 + (c - '0'));
        magnitude += negative ? -exp : exp;
    }
    return magnitude > 0;
}

}  // namespace

bool isNumeric(std::string_view text) {
    return hasNumberShape(trimBlanks(text));
}

Outcome<double> parseNumber(std::string_view text) {
    std::string_view number = trimBlanks(text);
    if (!hasNumberShape(number)) return ConversionFailure::NotANumber;
    const bool negative = number.front() == '-';
    if (number.front() == '+' || negative) number.remove_prefix(1);
    // Plain digits, as nearly every box holds, read exactly as whole numbers:
    // up to 15 digits a double holds them without rounding.
    constexpr std::size_t kExactDigits = 15;
    if (number.size() <= kExactDigits && std::all_of(number.begin(), number.end(), isDigit)) {
        std::uint64_t whole = 0;
        for (const char c : number) whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
        const auto value = static_cast<double>(whole);
        return negative ? -value : value;
    }
    const float_text::Reading reading = float_text::read(number);
    // Out of range: a huge magnitude overflows, a vanishing one is zero as in
    // any double parse.
    if (reading.outOfRange && hasLargeMagnitude(number)) return ConversionFailure::Overflow;
    const double value = reading.outOfRange ? 0.0 : reading.value;
    return negative ? -value : value;
}

double roundHalfEven(double value) {
    // Whole numbers, as nearly every box holds, are their own rounding.
    constexpr double kBeyondFractions = 4503599627370496.0;  // 2^52: no fraction above it
    if (std::fabs(value) < kBeyondFractions &&
        static_cast<double>(static_cast<std::int64_t>(value)) == value)
        return value;
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {

template <class Int>
Outcome<Int> toWhole(double value) {
    if (!std::isfinite(value)) return ConversionFailure::Overflow;
    const double whole = roundHalfEven(value);
    if (whole < static_cast<double>(std::numeric_limits<Int>::min()) ||
        whole > static_cast<double>(std::numeric_limits<Int>::max())) {
        return ConversionFailure::Overflow;
    }
    return static_cast<Int>(whole);
}

template <class Int>
Outcome<Int> textToWhole(std::string_view text) {
    const Outcome<double> number = parseNumber(text);
    if (!number) return number.failure();
    return toWhole<Int>(*number);
}

}  // namespace

Outcome<std::int32_t> textToInt32(std::string_view text) {
    return textToWhole<std::int32_t>(text);
}
Outcome<std::int16_t> textToInt16(std::string_view text) {
    return textToWhole<std::int16_t>(text);
}

std::string numberText(double value) {
    constexpr double kExactWholeLimit = 1e15;
    const bool plainWhole = std::trunc(value) == value && std::fabs(value) < kExactWholeLimit;
    std::string text =
        plainWhole ? std::to_string(static_cast<long long>(value)) : float_text::shortest(value);
    for (char& c : text) {
        if (c == 'e') c = 'E';
    }
    return text;
}

}  // namespace proxcred

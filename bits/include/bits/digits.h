#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "bits/bit_mask.h"

// A value as text in base 2, 8 or 16 (1, 3 or 4 bits a digit), and back.
namespace proxcred::bits {

// How many digits hold `width` bits.
constexpr std::size_t digitCount(int width, int bitsPerDigit) {
    return static_cast<std::size_t>((width + bitsPerDigit - 1) / bitsPerDigit);
}

// Appends the value's lowest `digits` digits, most significant first, in
// upper case; digits above the value's 64 bits are 0. Writes in place: no
// text is built and copied.
inline void appendDigits(std::string& out, std::uint64_t value, int bitsPerDigit,
                         std::size_t digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const std::size_t start = out.size();
    out.resize(start + digits, '0');
    for (std::size_t at = start + digits; at > start && value != 0; value >>= bitsPerDigit)
        out[--at] = kDigits[value & lowBits(bitsPerDigit)];
}

// The digits of the value down from its highest set bit, and at least
// `minDigits`.
inline void appendNumberDigits(std::string& out, std::uint64_t value, int bitsPerDigit,
                               std::size_t minDigits) {
    const std::size_t needed =
        digitCount(static_cast<int>(64 - std::countl_zero(value)), bitsPerDigit);
    appendDigits(out, value, bitsPerDigit, needed > minDigits ? needed : minDigits);
}

struct DigitsRead {
    std::uint64_t value = 0;
    std::size_t badAt = std::string_view::npos;  // the first character not a digit of the base
    bool tooWide = false;                        // the number needs more than 64 bits
    bool ok() const { return badAt == std::string_view::npos && !tooWide; }
};

// The digit's value, or 16 for a character that is no hex digit.
constexpr unsigned digitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    return 16;
}

// Reads digits of the base, most significant first. Stops at the first
// character that is no digit of it, or once the value outgrows 64 bits.
constexpr DigitsRead readDigits(std::string_view text, int bitsPerDigit) {
    DigitsRead read;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const unsigned digit = digitValue(text[at]);
        if (digit >= (1U << bitsPerDigit)) {
            read.badAt = at;
            return read;
        }
        if ((read.value >> (kWordBits - bitsPerDigit)) != 0) {
            read.tooWide = true;
            return read;
        }
        read.value = (read.value << bitsPerDigit) | digit;
    }
    return read;
}

}  // namespace proxcred::bits

#include "split/get_number.h"

#include <algorithm>
#include <vector>

namespace proxcred {
namespace {

// The value of a run of at most 64 significant base-2 digits; nullopt for an
// empty run.
std::optional<std::uint64_t> binaryValue(std::string_view bits) {
    if (bits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char bit : bits) value = (value << 1) | (bit == '0' ? 0U : 1U);
    return value;
}

// Doubling a little-endian row of decimal digits, for runs beyond 64 bits.
std::string wideBinaryToDecimal(std::string_view bits) {
    std::vector<std::uint8_t> digits{0};
    for (const char bit : bits) {
        int carry = bit == '0' ? 0 : 1;
        for (std::uint8_t& digit : digits) {
            const int doubled = digit * 2 + carry;
            digit = static_cast<std::uint8_t>(doubled % 10);
            carry = doubled / 10;
        }
        if (carry != 0) digits.push_back(static_cast<std::uint8_t>(carry));
    }
    std::string text;
    text.reserve(digits.size());
    std::for_each(digits.rbegin(), digits.rend(),
                  [&text](std::uint8_t digit) { text.push_back(static_cast<char>('0' + digit)); });
    return text;
}

}  // namespace

std::string GetNumber(std::string_view sBinaryValue) {
    if (sBinaryValue.empty()) return {};
    const auto firstOne = sBinaryValue.find_first_not_of('0');
    if (firstOne == std::string_view::npos) return "0";
    const std::string_view significant = sBinaryValue.substr(firstOne);
    constexpr std::size_t kWordBits = 64;
    if (significant.size() <= kWordBits) return std::to_string(*binaryValue(significant));
    return wideBinaryToDecimal(significant);
}

}  // namespace proxcred

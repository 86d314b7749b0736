#pragma once

#include <cstdint>

// The one bit numbering of the kernel: a frame or card is held as a whole
// number whose bit 0 is the last bit of the stream (its least significant
// bit, the last character of its bit string), counting up towards the first
// bit sent. Every value is at most 64 bits wide.
namespace proxcred::bits {

inline constexpr int kWordBits = 64;

constexpr std::uint64_t bit(int n) {
    return std::uint64_t{1} << n;
}

// The `count` lowest bits; all 64 for a count of 64.
constexpr std::uint64_t lowBits(int count) {
    return count >= kWordBits ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
}

// Bits `low` to `high`, both included.
constexpr std::uint64_t bitRange(int low, int high) {
    return lowBits(high - low + 1) << low;
}

// The bits from `low` to `high` for which `keep` holds.
constexpr std::uint64_t bitsWhere(int low, int high, bool (*keep)(int)) {
    std::uint64_t mask = 0;
    for (int n = low; n <= high; ++n) {
        if (keep(n)) mask |= bit(n);
    }
    return mask;
}

}  // namespace proxcred::bits

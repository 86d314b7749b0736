#pragma once

#include <bit>
#include <cstdint>

#include "bits/bit_mask.h"

// Parity bits, computed in order and checked.
namespace proxcred::bits {

enum class Parity : std::uint8_t { Even, Odd };

// One parity bit: after it is set, `covers` and the bit itself hold an even
// or odd number of ones. Its own bit is never counted, whether `covers`
// lists it or not.
struct ParityBit {
    int bit = 0;
    std::uint64_t covers = 0;
    Parity parity = Parity::Even;
};

constexpr bool parityBitValue(std::uint64_t value, const ParityBit& parity) {
    const bool oddCount = std::popcount(value & parity.covers & ~bit(parity.bit)) % 2 != 0;
    return parity.parity == Parity::Even ? oddCount : !oddCount;
}

// The value with its parity bits set in the order listed, each counting the
// ones set before it (the value's parity bits start out as 0).
template <class ParityBits>
constexpr std::uint64_t withParity(std::uint64_t value, const ParityBits& parityBits) {
    for (const ParityBit& parity : parityBits) {
        value = (value & ~bit(parity.bit)) |
                (static_cast<std::uint64_t>(parityBitValue(value, parity)) << parity.bit);
    }
    return value;
}

template <class ParityBits>
constexpr std::uint64_t parityMask(const ParityBits& parityBits) {
    std::uint64_t mask = 0;
    for (const ParityBit& parity : parityBits) mask |= bit(parity.bit);
    return mask;
}

// Whether every parity bit reads as the encoder sets it. Where no parity bit
// covers one set after it, this is also each bit checked on the wire against
// the bits it covers as received.
template <class ParityBits>
constexpr bool parityHolds(std::uint64_t value, const ParityBits& parityBits,
                           std::uint64_t parityBitsMask) {
    return withParity(value & ~parityBitsMask, parityBits) == value;
}

}  // namespace proxcred::bits

#pragma once

#include <cstdint>

#include "bits/bit_mask.h"

// A number's place in a value: a run of adjacent bits, or a list of bits
// anywhere, most significant first.
namespace proxcred::bits {

// `width` bits from bit `low` up.
struct BitRun {
    int low = 0;
    int width = 0;

    friend constexpr bool operator==(const BitRun&, const BitRun&) = default;
};

constexpr std::uint64_t readRun(std::uint64_t value, BitRun run) {
    return (value >> run.low) & lowBits(run.width);
}

// The value with the run holding the low `run.width` bits of `number`.
constexpr std::uint64_t writeRun(std::uint64_t value, BitRun run, std::uint64_t number) {
    const std::uint64_t mask = lowBits(run.width) << run.low;
    return (value & ~mask) | ((number << run.low) & mask);
}

// The bits listed, most significant first, as a number.
template <class BitList>
constexpr std::uint64_t readBits(std::uint64_t value, const BitList& bitsMsbFirst) {
    std::uint64_t number = 0;
    for (const int at : bitsMsbFirst) number = (number << 1) | ((value >> at) & 1U);
    return number;
}

// The value with the listed bits holding `number`, its last bit in the last.
template <class BitList>
constexpr std::uint64_t writeBits(std::uint64_t value, const BitList& bitsMsbFirst,
                                  std::uint64_t number) {
    int shift = static_cast<int>(bitsMsbFirst.size());
    for (const int at : bitsMsbFirst) {
        --shift;
        value = (value & ~bit(at)) | (((number >> shift) & 1U) << at);
    }
    return value;
}

}  // namespace proxcred::bits

#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "refusal.h"

// How each format lays its numbers into the card's bits. A layout lists its
// fields in the order their ranges are checked, the bits that are always set
// (marker and fixed bits), and its parity bits in the order they are computed.
namespace proxcred {

constexpr std::uint64_t bitRange(int low, int high) {
    return ((std::uint64_t{1} << (high - low + 1)) - 1) << low;
}

constexpr std::uint64_t bitsWhere(int low, int high, bool (*keep)(int)) {
    std::uint64_t mask = 0;
    for (int bit = low; bit <= high; ++bit) {
        if (keep(bit)) mask |= std::uint64_t{1} << bit;
    }
    return mask;
}

struct FieldSlot {
    InputField field;
    int shift;                        // position of the field's lowest bit
    int width;                        // bits the field holds; higher bits are dropped
    std::optional<std::int64_t> max;  // refused above this
    bool refuseNegative;              // refused below 0, otherwise two's complement
};

enum class Parity : std::uint8_t { Even, Odd };

struct ParityBit {
    int bit;              // the bit that carries the parity
    std::uint64_t group;  // the bits it protects (its own bit included or not)
    Parity parity;        // what the group plus the parity bit hold
};

struct CardLayout {
    std::span<const FieldSlot> fields;
    std::uint64_t fixedOnes;
    std::span<const ParityBit> parityBits;
};

}  // namespace proxcred

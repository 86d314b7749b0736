#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "bits/bit_field.h"
#include "bits/bit_mask.h"
#include "bits/parity.h"
#include "formats/refusal.h"

// The words a card format is described in, on the bit kernel's numbering
// (bits/bit_mask.h): bit 0 is the last bit of the card's bit stream; the
// marker bit of a format is the bit just ahead of its first bit.
namespace proxcred {

using bits::bit;
using bits::bitRange;
using bits::BitRun;
using bits::bitsWhere;
using bits::Parity;
using bits::ParityBit;

// A short list of fixed capacity, so that a format's fields and parity bits
// can be written inside its table row.
template <class Item, std::size_t Capacity>
class FixedList {
  public:
    constexpr FixedList() = default;
    constexpr FixedList(std::initializer_list<Item> items) {
        for (const Item& item : items) items_[size_++] = item;
    }
    constexpr const Item* begin() const { return items_.data(); }
    constexpr const Item* end() const { return items_.data() + size_; }
    constexpr std::size_t size() const { return size_; }

  private:
    std::array<Item, Capacity> items_{};
    std::size_t size_ = 0;
};

// Encoding: an input field written into the card's bits.
struct FieldSlot {
    InputField field = InputField::Hotstamp;
    BitRun at;
    std::optional<std::int64_t> max;  // refused above this; none: a wider value keeps its low bits
    bool refuseNegative = false;      // refused below 0; otherwise its 32-bit two's complement
};

// How a format lays its numbers into the card's bits: its fields in the order
// their ranges are checked, the bits that are always set (marker and fixed
// bits), and its parity bits in the order they are computed.
struct CardLayout {
    FixedList<FieldSlot, 3> fields;
    std::uint64_t fixedOnes = 0;
    FixedList<ParityBit, 3> parityBits;
};

// What recognising a card of the format checks besides the encoder's fixed
// ones and parity bits (which must read as the encoder would set them).
struct FrameRule {
    std::size_t shortest = 0;              // fewer bits are no card of the format
    std::optional<std::size_t> clearFrom;  // no "1" at or ahead of this bit; none: anything may
    std::uint64_t fixedZeros = 0;          // bits that are always 0
};

// Splitting: where the numbers are read from a recognised card.
struct FieldReading {
    BitRun hotstamp;
    BitRun facilityCode;
    std::optional<BitRun> third;  // the version, or the number without facility code
};

}  // namespace proxcred

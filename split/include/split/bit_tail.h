#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bits/bit_mask.h"

namespace proxcred {

// The right-hand end of a bit string as a number, with where its leftmost "1"
// lies. Every format is recognised and read from its last 48 bits and the
// zeros to their left, so this is all the splitter needs, whatever the
// string's length.
class BitTail {
  public:
    // From a bit string; any character other than "0" counts as a one.
    static BitTail ofBits(std::string_view bits);
    // From octal card data known to hold only "0" to "7".
    static BitTail ofOctal(std::string_view digits);

    std::size_t length() const { return length_; }
    // Bits `low` to `high` counted from the end (0 is the last character);
    // bits left of the string's start read as 0. `high` - `low` < 64.
    std::uint64_t bits(std::size_t low, std::size_t high) const {
        if (low >= kTailBits) return 0;
        return (tail_ >> low) & bits::lowBits(static_cast<int>(high - low + 1));
    }
    // Whether no "1" stands at or left of index `fromEnd` counted from the end.
    bool clearFrom(std::size_t fromEnd) const { return highestOne_ < fromEnd || !anyOne_; }

  private:
    static constexpr std::size_t kTailBits = 64;

    void push(std::uint64_t value, std::size_t width);

    std::uint64_t tail_ = 0;  // the last min(length, 64) bits
    std::size_t length_ = 0;
    std::size_t highestOne_ = 0;  // counted from the end, as the string grows
    bool anyOne_ = false;
};

}  // namespace proxcred

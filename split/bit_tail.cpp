#include "split/bit_tail.h"

#include <bit>

namespace proxcred {

// Appends `width` bits (at most 3) at the right-hand end.
void BitTail::push(std::uint64_t value, std::size_t width) {
    tail_ = (tail_ << width) | value;
    length_ += width;
    if (anyOne_) {
        highestOne_ += width;
    } else if (value != 0) {
        anyOne_ = true;
        highestOne_ = static_cast<std::size_t>(std::bit_width(value)) - 1;
    }
}

BitTail BitTail::ofBits(std::string_view bits) {
    BitTail tail;
    for (const char c : bits) tail.push(c == '0' ? 0U : 1U, 1);
    return tail;
}

BitTail BitTail::ofOctal(std::string_view digits) {
    BitTail tail;
    for (const char digit : digits) tail.push(static_cast<std::uint64_t>(digit - '0') & 7U, 3);
    return tail;
}

}  // namespace proxcred

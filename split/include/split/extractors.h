#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formats/card_format.h"
#include "split/bit_tail.h"

// Cutting the numbers out of a recognised card's bit string, where the format
// table's row says they are. Positions count from the right-hand end of the
// bit string, so shorter or longer card data reads the same fields.
namespace proxcred {

// A field's value; nullopt when none of its bits exist (only short card data
// that a recogniser still accepts lacks bits).
using FieldValue = std::optional<std::uint64_t>;

// As the result boxes show a field: its decimal value, or the empty text.
std::string fieldText(const FieldValue& field);

struct CardFields {
    FieldValue hotstamp;
    FieldValue facilityCode;
    // The version (Proxif) or the number read without facility code (37-bit).
    FieldValue third;

    friend bool operator==(const CardFields&, const CardFields&) = default;
};

// Whether a format has the third field: 37-bit and Proxif.
constexpr bool hasThirdField(CardFormat format) {
    return formatInfo(format).third != ThirdField::None;
}

// The extractor of each format (Split26Bit, ..., SplitCasi in the form's
// design): the fields where the format table's row says they are.
CardFields extractFields(CardFormat format, const BitTail& tail);

}  // namespace proxcred

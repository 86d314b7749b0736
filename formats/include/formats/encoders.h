#pragma once

#include <cstdint>
#include <variant>

#include "formats/card_format.h"
#include "formats/card_layout.h"
#include "formats/conversion_failure.h"
#include "formats/refusal.h"

namespace proxcred {

// A card's bits as a whole number, bit 0 the last bit of the card's stream,
// marker bit included where the format has one. Every format fits 48 bits.
using CardValue = std::uint64_t;

// The card, the refusal of one input, or a value that could not be made a
// 32-bit whole number (the Xceed ID, Proxif and Casi formats).
using EncodeResult = std::variant<CardValue, Refusal, ConversionFailure>;

struct EncodeInput {
    double hotstamp = 0.0;
    std::int32_t facilityCode = 0;
    std::int32_t version = 0;
};

// The layout behind a key; the 37-bit key has none for facility code when the
// facility code is 0.
const CardLayout& cardLayout(CardFormat format, std::int32_t facilityCode = 1);

// The encoder of a key; the 37-bit key takes the encoder without facility code
// when the facility code is 0.
EncodeResult encodeCard(CardFormat format, const EncodeInput& input);

}  // namespace proxcred

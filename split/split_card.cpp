#include "split/split_card.h"

#include "split/card_bits.h"
#include "split/recognisers.h"

namespace proxcred {

std::optional<SplitResult> splitCardData(std::string_view cardData, std::size_t* badCharacterAt) {
    CardBits converted = cardDataToBits(cardData);
    if (converted.badCharacterAt) {
        if (badCharacterAt != nullptr) *badCharacterAt = *converted.badCharacterAt;
        return std::nullopt;
    }
    const BitTail tail = BitTail::ofOctal(cardData);
    std::optional<SplitResult> result(std::in_place);
    result->bits = std::move(converted.bits);
    for (const CardFormatInfo& info : kCardFormats) {
        FormatReading& reading = result->readings[static_cast<std::size_t>(info.format)];
        reading.format = info.format;
        reading.match = recognises(info.format, tail);
        if (reading.match) reading.fields = extractFields(info.format, tail);
    }
    return result;
}

}  // namespace proxcred

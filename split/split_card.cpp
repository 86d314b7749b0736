#include "split_card.h"

#include "card_bits.h"
#include "recognisers.h"

namespace proxcred {

std::optional<SplitResult> splitCardData(std::string_view cardData, std::size_t* badCharacterAt) {
    CardBits converted = cardDataToBits(cardData);
    if (converted.badCharacterAt) {
        if (badCharacterAt != nullptr) *badCharacterAt = *converted.badCharacterAt;
        return std::nullopt;
    }
    SplitResult result{std::move(converted.bits), {}};
    for (const CardFormatInfo& info : kCardFormats) {
        FormatReading& reading = result.readings[static_cast<std::size_t>(info.format)];
        reading.format = info.format;
        reading.match = recognises(info.format, result.bits);
        if (reading.match) reading.fields = extractFields(info.format, result.bits);
    }
    return result;
}

}  // namespace proxcred

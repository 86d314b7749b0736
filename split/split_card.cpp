#include "split/split_card.h"

#include "split/card_bits.h"
#include "split/recognisers.h"

namespace proxcred {

std::optional<SplitResult> splitCardData(std::string_view cardData, std::size_t* badCharacterAt) {
    if (const std::optional<std::size_t> bad = firstNonOctal(cardData)) {
        if (badCharacterAt != nullptr) *badCharacterAt = *bad;
        return std::nullopt;
    }
    const BitTail tail = BitTail::ofOctal(cardData);
    std::optional<SplitResult> result(std::in_place);
    for (const CardFormatInfo& info : kCardFormats) {
        FormatReading& reading = result->readings[static_cast<std::size_t>(info.format)];
        reading.format = info.format;
        reading.match = recognises(info.format, tail);
        if (reading.match) reading.fields = extractFields(info.format, tail);
    }
    return result;
}

}  // namespace proxcred

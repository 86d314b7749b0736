#include "split/card_bits.h"

#include <algorithm>
#include <cstring>

namespace proxcred {

std::optional<std::size_t> firstNonOctal(std::string_view cardData) {
    const auto bad = std::find_if(cardData.begin(), cardData.end(),
                                  [](char digit) { return digit < '0' || digit > '7'; });
    if (bad == cardData.end()) return std::nullopt;
    return static_cast<std::size_t>(bad - cardData.begin());
}

void writeCardBits(std::string_view octalDigits, std::span<char> out) {
    static constexpr char kTriples[] = "000001010011100101110111";
    char* at = out.data();
    for (const char digit : octalDigits) {
        std::memcpy(at, &kTriples[static_cast<std::size_t>(digit - '0') * 3], 3);
        at += 3;
    }
}

CardBits cardDataToBits(std::string_view cardData) {
    CardBits result;
    result.badCharacterAt = firstNonOctal(cardData);
    if (result.badCharacterAt) return result;
    result.bits.resize(cardData.size() * 3);
    writeCardBits(cardData, result.bits);
    return result;
}

}  // namespace proxcred

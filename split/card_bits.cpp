#include "card_bits.h"

namespace proxcred {

CardBits cardDataToBits(std::string_view cardData) {
    CardBits result;
    result.bits.resize(cardData.size() * 3);
    char* out = result.bits.data();
    for (std::size_t at = 0; at < cardData.size(); ++at) {
        const char digit = cardData[at];
        if (digit < '0' || digit > '7') {
            result.bits.clear();
            result.badCharacterAt = at;
            return result;
        }
        const int value = digit - '0';
        *out++ = (value & 4) != 0 ? '1' : '0';
        *out++ = (value & 2) != 0 ? '1' : '0';
        *out++ = (value & 1) != 0 ? '1' : '0';
    }
    return result;
}

}  // namespace proxcred

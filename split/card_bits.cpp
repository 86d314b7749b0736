#include "split/card_bits.h"

#include <cstring>

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
        static constexpr char kTriples[] = "000001010011100101110111";
        std::memcpy(out, &kTriples[static_cast<std::size_t>(digit - '0') * 3], 3);
        out += 3;
    }
    return result;
}

}  // namespace proxcred

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace proxcred {

// Card data as a bit string: three characters "0"/"1" per octal digit, most
// significant first. Any character other than "0" to "7" stops the conversion.
struct CardBits {
    std::string bits;                           // empty when a character was refused
    std::optional<std::size_t> badCharacterAt;  // index of the first non-octal character
};

CardBits cardDataToBits(std::string_view cardData);

}  // namespace proxcred

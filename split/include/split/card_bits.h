#pragma once

#include <cstddef>
#include <optional>
#include <span>
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

// The bit string of card data known to hold only "0" to "7", written into
// `out`, which has room for three characters a digit.
void writeCardBits(std::string_view octalDigits, std::span<char> out);

// Where the first character other than "0" to "7" stands; nullopt for none.
std::optional<std::size_t> firstNonOctal(std::string_view cardData);

}  // namespace proxcred

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/card_format.h"

// Cutting the numbers out of a recognised card's bit string. Field positions
// are those of 48-bit card data, taken relative to the right-hand end of the
// bit string, so shorter or longer card data reads the same fields.
namespace proxcred {

// The fields as decimal text, as the result boxes show them; a field is the
// empty text when none of its bits exist.
struct CardFields {
    std::string hotstamp;
    std::string facilityCode;
    // The version (Proxif) or the number read without facility code (37-bit);
    // nullopt for the formats that have no third field.
    std::optional<std::string> third;

    friend bool operator==(const CardFields&, const CardFields&) = default;
};

CardFields Split26Bit(std::string_view bits);
CardFields Split34Bit(std::string_view bits);
CardFields Split35Bit(std::string_view bits);
CardFields Split35BitX(std::string_view bits);
CardFields Split36BitX(std::string_view bits);
CardFields Split37BitX(std::string_view bits);
CardFields Split37Bit(std::string_view bits);
CardFields SplitProxif(std::string_view bits);
CardFields SplitCasi(std::string_view bits);

CardFields extractFields(CardFormat format, std::string_view bits);

// B[first..first+width-1] of 48-bit data, moved with the right-hand end of
// `bits` and cut to the characters that exist.
std::string_view cutField(std::string_view bits, int first, int width);

}  // namespace proxcred

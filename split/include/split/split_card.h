#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "formats/card_format.h"
#include "split/extractors.h"

namespace proxcred {

// What a failed recogniser shows in its format's number box.
constexpr std::string_view verdictText(CardFormat format) {
    return formatInfo(format).verdict;
}

struct FormatReading {
    CardFormat format;
    bool match = false;
    CardFields fields;  // filled only when the format matched
};

// Card data split with every format, in the order of the format table.
// (Its bit string, which the page also shows, is cardDataToBits'.)
struct SplitResult {
    std::array<FormatReading, kFormatCount> readings;
};

// nullopt when the card data holds a character other than "0" to "7";
// `badCharacterAt` then says where.
std::optional<SplitResult> splitCardData(std::string_view cardData,
                                         std::size_t* badCharacterAt = nullptr);

}  // namespace proxcred

#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace proxcred {

// The nine card format keys, in the order of the format table.
enum class CardFormat : std::uint8_t {
    Bit26,
    Bit34,
    Bit35,
    Bit35X,
    Bit36X,
    Bit37X,
    Bit37,
    Proxif,
    Casi,
};

struct CardFormatInfo {
    CardFormat format;
    std::string_view key;      // as hosts and the CLI name it, compared exactly
    std::string_view caption;  // the format's option caption
    int bits;                  // card bits the format carries
};

inline constexpr std::array<CardFormatInfo, 9> kCardFormats{{
    {CardFormat::Bit26, "26", "26 Bit", 26},
    {CardFormat::Bit34, "34", "34 Bit", 34},
    {CardFormat::Bit35, "35", "35 Bit", 35},
    {CardFormat::Bit35X, "35X", "35 Bit Xceed ID", 35},
    {CardFormat::Bit36X, "36X", "36 Bit Xceed ID", 36},
    {CardFormat::Bit37X, "37X", "37 Bit Xceed ID", 37},
    {CardFormat::Bit37, "37", "37 Bit", 37},
    {CardFormat::Proxif, "Proxif", "Proxif", 48},
    {CardFormat::Casi, "Casi", "Casi", 48},
}};

constexpr const CardFormatInfo& formatInfo(CardFormat format) {
    return kCardFormats[static_cast<std::size_t>(format)];
}

// The format of a key, compared exactly (letter case included): "35x" is none.
constexpr std::optional<CardFormat> formatForKey(std::string_view key) {
    for (const CardFormatInfo& info : kCardFormats) {
        if (info.key == key) return info.format;
    }
    return std::nullopt;
}

}  // namespace proxcred

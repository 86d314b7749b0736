#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "formats/card_layout.h"

// The translator's card formats: one row of the one table per format, with
// every fact about it. Bit numbers follow card_layout.h: bit 0 is the last
// bit of the card.
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

// The third number some formats carry besides hotstamp and facility code.
enum class ThirdField : std::uint8_t { None, Version, NumberWithoutFacilityCode };

struct CardFormatInfo {
    CardFormat format;
    std::string_view key;      // as hosts and the CLI name it, compared exactly
    std::string_view caption;  // the format's option caption
    int bits;                  // card bits the format carries
    CardLayout layout;         // how the encoder writes the card
    // The layout for facility code 0, where the key has one (37-bit).
    std::optional<CardLayout> layoutWithoutFacilityCode;
    FrameRule frame;           // what the recogniser checks besides the layout
    FieldReading reading;      // where the splitter reads the numbers
    ThirdField third;          // which third number the format has
    std::string_view verdict;  // shown when a card is not of the format
};

namespace format_table {

constexpr auto kHotstamp = InputField::Hotstamp;
constexpr auto kFacility = InputField::FacilityCode;
constexpr auto kVersion = InputField::Version;
constexpr bool kRefused = true;   // negative values are refused
constexpr bool kWrapped = false;  // negative values go in as two's complement
constexpr std::nullopt_t kNoMax = std::nullopt;

}  // namespace format_table

// clang-format off
inline constexpr std::array<CardFormatInfo, 9> kCardFormats{{
    {.format = CardFormat::Bit26, .key = "26", .caption = "26 Bit", .bits = 26,
     .layout = {.fields = {{format_table::kHotstamp, {1, 16}, 65535, format_table::kRefused},
                           {format_table::kFacility, {17, 8}, 255, format_table::kRefused}},
                .fixedOnes = bit(26),
                .parityBits = {{0, bitRange(0, 12), Parity::Odd},
                               {25, bitRange(13, 25), Parity::Even}}},
     .layoutWithoutFacilityCode = std::nullopt,
     .frame = {.shortest = 27, .clearFrom = 27},
     .reading = {.hotstamp = {1, 16}, .facilityCode = {17, 8}},
     .third = ThirdField::None,
     .verdict = "Not 26 Bit"},

    {.format = CardFormat::Bit34, .key = "34", .caption = "34 Bit", .bits = 34,
     .layout = {.fields = {{format_table::kHotstamp, {1, 16}, 65535, format_table::kRefused},
                           {format_table::kFacility, {17, 16}, 65535, format_table::kRefused}},
                .fixedOnes = bit(34),
                .parityBits = {{0, bitRange(0, 16), Parity::Odd},
                               {33, bitRange(17, 33), Parity::Even}}},
     .layoutWithoutFacilityCode = std::nullopt,
     .frame = {.shortest = 35, .clearFrom = 35},
     .reading = {.hotstamp = {1, 16}, .facilityCode = {17, 16}},
     .third = ThirdField::None,
     .verdict = "Not 34 Bit"},

    // Two groups interleaved with a period of three, then odd parity over
    // all; bits ahead of the marker may hold anything.
    {.format = CardFormat::Bit35, .key = "35", .caption = "35 Bit", .bits = 35,
     .layout = {.fields = {{format_table::kHotstamp, {1, 20}, 1048575, format_table::kRefused},
                           {format_table::kFacility, {21, 12}, 4095, format_table::kRefused}},
                .fixedOnes = bit(35),
                .parityBits = {{33, bitsWhere(0, 34, [](int n) { return n % 3 != 0; }),
                                Parity::Even},
                               {0, bitsWhere(0, 34, [](int n) { return n % 3 != 1; }),
                                Parity::Odd},
                               {34, bitRange(0, 33), Parity::Odd}}},
     .layoutWithoutFacilityCode = std::nullopt,
     .frame = {.shortest = 36, .clearFrom = std::nullopt},
     .reading = {.hotstamp = {1, 20}, .facilityCode = {21, 12}},
     .third = ThirdField::None,
     .verdict = "Not 35 Bit"},

    // The Xceed ID formats check no range: a value too wide for its field
    // keeps its low bits, a negative one its two's complement. The splitter
    // reads a 13-bit facility code.
    {.format = CardFormat::Bit35X, .key = "35X", .caption = "35 Bit Xceed ID", .bits = 35,
     .layout = {.fields = {{format_table::kHotstamp, {1, 20}, format_table::kNoMax,
                            format_table::kWrapped},
                           {format_table::kFacility, {21, 12}, format_table::kNoMax,
                            format_table::kWrapped}},
                .fixedOnes = bit(35),
                .parityBits = {{34, bitRange(17, 34), Parity::Even},
                               {0, bitRange(0, 17), Parity::Odd}}},
     .layoutWithoutFacilityCode = std::nullopt,
     .frame = {.shortest = 35, .clearFrom = 36},
     .reading = {.hotstamp = {1, 20}, .facilityCode = {21, 13}},
     .third = ThirdField::None,
     .verdict = "Not 35X"},

    // Bit 1 is a fixed "1"; the even group reaches bit 36, one ahead of the
    // frame, where the bit is 0; bit 18 belongs to neither group.
    {.format = CardFormat::Bit36X, .key = "36X", .caption = "36 Bit Xceed ID", .bits = 36,
     .layout = {.fields = {{format_table::kHotstamp, {2, 21}, format_table::kNoMax,
                            format_table::kWrapped},
                           {format_table::kFacility, {23, 12}, format_table::kNoMax,
                            format_table::kWrapped}},
                .fixedOnes = bit(1),
                .parityBits = {{35, bitRange(19, 36), Parity::Even},
                               {0, bitRange(0, 17), Parity::Odd}}},
     .layoutWithoutFacilityCode = std::nullopt,
     .frame = {.shortest = 36, .clearFrom = 36},
     .reading = {.hotstamp = {2, 21}, .facilityCode = {23, 12}},
     .third = ThirdField::None,
     .verdict = "Not 36 Bit X"},

    {.format = CardFormat::Bit37X, .key = "37X", .caption = "37 Bit Xceed ID", .bits = 37,
     .layout = {.fields = {{format_table::kHotstamp, {1, 19}, format_table::kNoMax,
                            format_table::kWrapped},
                           {format_table::kFacility, {20, 16}, format_table::kNoMax,
                            format_table::kWrapped}},
                .fixedOnes = 0,
                .parityBits = {{36, bitRange(18, 36), Parity::Even},
                               {0, bitRange(0, 18), Parity::Odd}}},
     .layoutWithoutFacilityCode = std::nullopt,
     .frame = {.shortest = 37, .clearFrom = 37},
     .reading = {.hotstamp = {1, 19}, .facilityCode = {20, 16}},
     .third = ThirdField::None,
     .verdict = "Not 37 Bit X"},

    // Bit 18 belongs to both parity groups. With facility code 0 the key
    // encodes one 35-bit number; the splitter reads both ways.
    {.format = CardFormat::Bit37, .key = "37", .caption = "37 Bit", .bits = 37,
     .layout = {.fields = {{format_table::kHotstamp, {1, 19}, 524287, format_table::kRefused},
                           {format_table::kFacility, {20, 16}, 65535, format_table::kRefused}},
                .fixedOnes = 0,
                .parityBits = {{0, bitRange(0, 18), Parity::Odd},
                               {36, bitRange(18, 35), Parity::Even}}},
     .layoutWithoutFacilityCode =
         CardLayout{.fields = {{format_table::kHotstamp, {1, 35}, 34359738367,
                                format_table::kRefused}},
                    .fixedOnes = 0,
                    .parityBits = {{0, bitRange(0, 18), Parity::Odd},
                                   {36, bitRange(18, 35), Parity::Even}}},
     .frame = {.shortest = 37, .clearFrom = 37},
     .reading = {.hotstamp = {1, 19}, .facilityCode = {20, 16}, .third = BitRun{1, 35}},
     .third = ThirdField::NumberWithoutFacilityCode,
     .verdict = "Not 37 Bit"},

    // Proxif and Casi: octal fields side by side, checked against their
    // maxima only, negative values as their 32-bit two's complement; no
    // parity. The recogniser wants the bits a valid value leaves 0.
    {.format = CardFormat::Proxif, .key = "Proxif", .caption = "Proxif", .bits = 48,
     .layout = {.fields = {{format_table::kHotstamp, {0, 21}, 1048575, format_table::kWrapped},
                           {format_table::kFacility, {21, 15}, 32767, format_table::kWrapped},
                           {format_table::kVersion, {36, 12}, 7, format_table::kWrapped}},
                .fixedOnes = 0,
                .parityBits = {}},
     .layoutWithoutFacilityCode = std::nullopt,
     .frame = {.shortest = 48, .clearFrom = 39, .fixedZeros = bit(20)},
     .reading = {.hotstamp = {0, 20}, .facilityCode = {21, 15}, .third = BitRun{36, 3}},
     .third = ThirdField::Version,
     .verdict = "Not Proxif"},

    {.format = CardFormat::Casi, .key = "Casi", .caption = "Casi", .bits = 48,
     .layout = {.fields = {{format_table::kHotstamp, {0, 36}, 4294967295,
                            format_table::kWrapped},
                           {format_table::kFacility, {36, 12}, 255, format_table::kWrapped}},
                .fixedOnes = 0,
                .parityBits = {}},
     .layoutWithoutFacilityCode = std::nullopt,
     .frame = {.shortest = 48, .clearFrom = 44, .fixedZeros = bitRange(32, 35)},
     .reading = {.hotstamp = {0, 32}, .facilityCode = {36, 8}},
     .third = ThirdField::None,
     .verdict = "Not Casi"},
}};
// clang-format on

inline constexpr std::size_t kFormatCount = kCardFormats.size();

// Tables kept elsewhere in the format order use this to prove it at compile
// time: the entry at index i must be of format i.
template <class Table, class FormatOf>
constexpr bool inFormatOrder(const Table& table, FormatOf formatOf) {
    std::size_t index = 0;
    for (const auto& entry : table) {
        if (static_cast<std::size_t>(formatOf(entry)) != index++) return false;
    }
    return index == kFormatCount;
}

// Tables kept in an order of their own (the order a handler fills the boxes
// in) use this instead: each format appears exactly once.
template <class Table, class FormatOf>
constexpr bool coversEveryFormatOnce(const Table& table, FormatOf formatOf) {
    std::array<int, kFormatCount> seen{};
    std::size_t entries = 0;
    for (const auto& entry : table) {
        ++seen[static_cast<std::size_t>(formatOf(entry))];
        ++entries;
    }
    return entries == kFormatCount &&
           std::all_of(seen.begin(), seen.end(), [](int count) { return count == 1; });
}

static_assert(inFormatOrder(kCardFormats, [](const CardFormatInfo& info) { return info.format; }),
              "the format table is indexed by CardFormat");
static_assert(std::none_of(kCardFormats.begin(), kCardFormats.end(),
                           [](const CardFormatInfo& info) {
                               return info.key.empty() || info.caption.empty() ||
                                      info.verdict.empty();
                           }),
              "every format has its key, caption and verdict");

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

#include "extractors.h"

#include <algorithm>
#include <array>

#include "get_number.h"

namespace proxcred {
namespace {

struct FieldAt {
    int first;  // position in 48-bit card data, counted from 1 at the left
    int width;
};

struct FieldLayout {
    FieldAt hotstamp;
    FieldAt facilityCode;
    std::optional<FieldAt> third;
};

constexpr int kReferenceBits = 48;

// Indexed by CardFormat, in the order of the format table.
constexpr std::array<FieldLayout, 9> kFieldLayouts{{
    {{32, 16}, {24, 8}, std::nullopt},   // 26-bit
    {{32, 16}, {16, 16}, std::nullopt},  // 34-bit
    {{28, 20}, {16, 12}, std::nullopt},  // 35-bit: two parity bits ahead of the facility code
    {{28, 20}, {15, 13}, std::nullopt},  // 35-bit Xceed ID: a 13-bit facility field
    {{26, 21}, {14, 12}, std::nullopt},  // 36-bit Xceed ID: 47 is a fixed "1"
    {{29, 19}, {13, 16}, std::nullopt},  // 37-bit Xceed ID
    {{29, 19}, {13, 16}, FieldAt{13, 35}},  // 37-bit, also read without facility code
    {{29, 20}, {13, 15}, FieldAt{10, 3}},   // Proxif: version in front; no parity
    {{17, 32}, {5, 8}, std::nullopt},       // Casi: no parity
}};

std::string fieldText(std::string_view bits, FieldAt field) {
    return GetNumber(cutField(bits, field.first, field.width));
}

}  // namespace

std::string_view cutField(std::string_view bits, int first, int width) {
    const auto length = static_cast<long long>(bits.size());
    const long long start = first + length - kReferenceBits;  // 1-based
    const long long from = std::max(start, 1LL);
    const long long to = std::min(start + width - 1, length);
    if (from > to) return {};
    return bits.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
}

CardFields extractFields(CardFormat format, std::string_view bits) {
    const FieldLayout& layout = kFieldLayouts[static_cast<std::size_t>(format)];
    CardFields fields{fieldText(bits, layout.hotstamp), fieldText(bits, layout.facilityCode),
                      std::nullopt};
    if (layout.third) fields.third = fieldText(bits, *layout.third);
    return fields;
}

CardFields Split26Bit(std::string_view bits) { return extractFields(CardFormat::Bit26, bits); }
CardFields Split34Bit(std::string_view bits) { return extractFields(CardFormat::Bit34, bits); }
CardFields Split35Bit(std::string_view bits) { return extractFields(CardFormat::Bit35, bits); }
CardFields Split35BitX(std::string_view bits) { return extractFields(CardFormat::Bit35X, bits); }
CardFields Split36BitX(std::string_view bits) { return extractFields(CardFormat::Bit36X, bits); }
CardFields Split37BitX(std::string_view bits) { return extractFields(CardFormat::Bit37X, bits); }
CardFields Split37Bit(std::string_view bits) { return extractFields(CardFormat::Bit37, bits); }
CardFields SplitProxif(std::string_view bits) { return extractFields(CardFormat::Proxif, bits); }
CardFields SplitCasi(std::string_view bits) { return extractFields(CardFormat::Casi, bits); }

}  // namespace proxcred

#include "extractors.h"

#include <array>

namespace proxcred {
namespace {

// Positions are those of 48-bit card data, counted from 1 at the left; they
// are taken from the right-hand end, so they hold for any length.
struct FieldAt {
    int first;
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
    {{32, 16}, {24, 8}, std::nullopt},      // 26-bit
    {{32, 16}, {16, 16}, std::nullopt},     // 34-bit
    {{28, 20}, {16, 12}, std::nullopt},     // 35-bit: two parity bits ahead of the facility code
    {{28, 20}, {15, 13}, std::nullopt},     // 35-bit Xceed ID: a 13-bit facility field
    {{26, 21}, {14, 12}, std::nullopt},     // 36-bit Xceed ID: 47 is a fixed "1"
    {{29, 19}, {13, 16}, std::nullopt},     // 37-bit Xceed ID
    {{29, 19}, {13, 16}, FieldAt{13, 35}},  // 37-bit, also read without facility code
    {{29, 20}, {13, 15}, FieldAt{10, 3}},   // Proxif: version in front; no parity
    {{17, 32}, {5, 8}, std::nullopt},       // Casi: no parity
}};

// Bits of a field that run past the start of the string read as 0.
FieldValue fieldValue(const BitTail& tail, FieldAt field) {
    const auto last = static_cast<std::size_t>(kReferenceBits - field.first);
    const std::size_t first = last + 1 - static_cast<std::size_t>(field.width);
    if (first >= tail.length()) return std::nullopt;
    return tail.bits(first, last);
}

}  // namespace

std::string fieldText(const FieldValue& field) {
    return field ? std::to_string(*field) : std::string();
}

CardFields extractFields(CardFormat format, const BitTail& tail) {
    const FieldLayout& layout = kFieldLayouts[static_cast<std::size_t>(format)];
    CardFields fields{fieldValue(tail, layout.hotstamp), fieldValue(tail, layout.facilityCode),
                      std::nullopt};
    if (layout.third) fields.third = fieldValue(tail, *layout.third);
    return fields;
}

CardFields extractFields(CardFormat format, std::string_view bits) {
    return extractFields(format, BitTail::ofBits(bits));
}

CardFields Split26Bit(std::string_view bits) {
    return extractFields(CardFormat::Bit26, bits);
}
CardFields Split34Bit(std::string_view bits) {
    return extractFields(CardFormat::Bit34, bits);
}
CardFields Split35Bit(std::string_view bits) {
    return extractFields(CardFormat::Bit35, bits);
}
CardFields Split35BitX(std::string_view bits) {
    return extractFields(CardFormat::Bit35X, bits);
}
CardFields Split36BitX(std::string_view bits) {
    return extractFields(CardFormat::Bit36X, bits);
}
CardFields Split37BitX(std::string_view bits) {
    return extractFields(CardFormat::Bit37X, bits);
}
CardFields Split37Bit(std::string_view bits) {
    return extractFields(CardFormat::Bit37, bits);
}
CardFields SplitProxif(std::string_view bits) {
    return extractFields(CardFormat::Proxif, bits);
}
CardFields SplitCasi(std::string_view bits) {
    return extractFields(CardFormat::Casi, bits);
}

}  // namespace proxcred

#include "formats/encoders.h"

#include <array>
#include <cmath>
#include <limits>

#include "formats/numeric_text.h"

namespace proxcred {
namespace {

double inputFor(InputField field, const EncodeInput& input) {
    switch (field) {
        case InputField::Hotstamp:
            return input.hotstamp;
        case InputField::FacilityCode:
            return input.facilityCode;
        case InputField::Version:
            return input.version;
    }
    return 0.0;
}

std::optional<Refusal> checkRange(const FieldSlot& slot, double value) {
    if (slot.max && value > static_cast<double>(*slot.max)) {
        return Refusal{slot.field, value, *slot.max, Refusal::Bound::TooLarge};
    }
    if (slot.refuseNegative && value < 0.0) {
        return Refusal{slot.field, value, 0, Refusal::Bound::TooSmall};
    }
    return std::nullopt;
}

// The field's bits: the nearest whole number (ties to even) as a 32-bit
// two's complement, or unsigned where the field's maximum is wider.
Outcome<std::uint64_t> fieldBits(const FieldSlot& slot, double value) {
    constexpr auto kInt32Min = static_cast<double>(std::numeric_limits<std::int32_t>::min());
    const double upper = std::max(static_cast<double>(std::numeric_limits<std::int32_t>::max()),
                                  static_cast<double>(slot.max.value_or(0)));
    const double whole = roundHalfEven(value);
    if (!std::isfinite(whole) || whole < kInt32Min || whole > upper) {
        return ConversionFailure::Overflow;
    }
    const auto asInteger = static_cast<std::int64_t>(whole);
    const auto pattern =
        static_cast<std::uint64_t>(asInteger < 0 ? asInteger + (std::int64_t{1} << 32) : asInteger);
    return pattern & bits::lowBits(slot.at.width);
}

EncodeResult encodeWith(const CardLayout& layout, const EncodeInput& input) {
    for (const FieldSlot& slot : layout.fields) {
        if (auto refusal = checkRange(slot, inputFor(slot.field, input))) return *refusal;
    }
    CardValue value = layout.fixedOnes;
    for (const FieldSlot& slot : layout.fields) {
        const Outcome<std::uint64_t> bits = fieldBits(slot, inputFor(slot.field, input));
        if (!bits) return bits.failure();
        value |= *bits << slot.at.low;
    }
    return bits::withParity(value, layout.parityBits);
}

}  // namespace

const CardLayout& cardLayout(CardFormat format, std::int32_t facilityCode) {
    const CardFormatInfo& info = formatInfo(format);
    if (facilityCode == 0 && info.layoutWithoutFacilityCode) return *info.layoutWithoutFacilityCode;
    return info.layout;
}

EncodeResult encodeCard(CardFormat format, const EncodeInput& input) {
    return encodeWith(cardLayout(format, input.facilityCode), input);
}

}  // namespace proxcred

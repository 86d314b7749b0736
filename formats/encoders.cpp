#include "encoders.h"

#include <array>
#include <bit>
#include <cmath>
#include <limits>

#include "card_layout.h"
#include "numeric_text.h"

namespace proxcred {
namespace {

constexpr auto kHotstamp = InputField::Hotstamp;
constexpr auto kFacility = InputField::FacilityCode;
constexpr auto kVersion = InputField::Version;
constexpr std::nullopt_t kWraps = std::nullopt;

// The numeric formats: both fields range-checked, from 0 to their maximum.
constexpr std::array kFields26{FieldSlot{kHotstamp, 1, 16, 65535, true},
                               FieldSlot{kFacility, 17, 8, 255, true}};
constexpr std::array kFields34{FieldSlot{kHotstamp, 1, 16, 65535, true},
                               FieldSlot{kFacility, 17, 16, 65535, true}};
constexpr std::array kFields35{FieldSlot{kHotstamp, 1, 20, 1048575, true},
                               FieldSlot{kFacility, 21, 12, 4095, true}};
constexpr std::array kFields37{FieldSlot{kHotstamp, 1, 19, 524287, true},
                               FieldSlot{kFacility, 20, 16, 65535, true}};
constexpr std::array kFields37NFC{FieldSlot{kHotstamp, 1, 35, 34359738367, true}};

// The Xceed ID formats check nothing: a value too wide for its field keeps its
// low bits, a negative one its two's complement.
constexpr std::array kFields35X{FieldSlot{kHotstamp, 1, 20, kWraps, false},
                                FieldSlot{kFacility, 21, 12, kWraps, false}};
constexpr std::array kFields36X{FieldSlot{kHotstamp, 2, 21, kWraps, false},
                                FieldSlot{kFacility, 23, 12, kWraps, false}};
constexpr std::array kFields37X{FieldSlot{kHotstamp, 1, 19, kWraps, false},
                                FieldSlot{kFacility, 20, 16, kWraps, false}};

// Proxif and Casi: octal fields side by side, checked against their maxima
// only; negative values go in as their 32-bit two's complement.
constexpr std::array kFieldsProxif{FieldSlot{kHotstamp, 0, 21, 1048575, false},
                                   FieldSlot{kFacility, 21, 15, 32767, false},
                                   FieldSlot{kVersion, 36, 12, 7, false}};
constexpr std::array kFieldsCasi{FieldSlot{kHotstamp, 0, 36, 4294967295, false},
                                 FieldSlot{kFacility, 36, 12, 255, false}};

constexpr std::array kParity26{ParityBit{0, bitRange(0, 12), Parity::Odd},
                               ParityBit{25, bitRange(13, 25), Parity::Even}};
constexpr std::array kParity34{ParityBit{0, bitRange(0, 16), Parity::Odd},
                               ParityBit{33, bitRange(17, 33), Parity::Even}};
// Bit 18 belongs to both groups of the 37-bit formats.
constexpr std::array kParity37{ParityBit{0, bitRange(0, 18), Parity::Odd},
                               ParityBit{36, bitRange(18, 35), Parity::Even}};
// Two groups interleaved with a period of three, then odd parity over all.
constexpr std::array kParity35{
    ParityBit{33, bitsWhere(0, 34, [](int i) { return i % 3 != 0; }), Parity::Even},
    ParityBit{0, bitsWhere(0, 34, [](int i) { return i % 3 != 1; }), Parity::Odd},
    ParityBit{34, bitRange(0, 33), Parity::Odd}};
constexpr std::array kParity35X{ParityBit{34, bitRange(17, 34), Parity::Even},
                                ParityBit{0, bitRange(0, 17), Parity::Odd}};
// The even group starts one bit above the 36-bit frame, where the bit is 0,
// and bit 18 belongs to neither group.
constexpr std::array kParity36X{ParityBit{35, bitRange(19, 36), Parity::Even},
                                ParityBit{0, bitRange(0, 17), Parity::Odd}};
constexpr std::array kParity37X{ParityBit{36, bitRange(18, 36), Parity::Even},
                                ParityBit{0, bitRange(0, 18), Parity::Odd}};
constexpr std::array<ParityBit, 0> kNoParity{};

constexpr std::uint64_t bit(int n) {
    return std::uint64_t{1} << n;
}

constexpr CardLayout kLayout26{kFields26, bit(26), kParity26};
constexpr CardLayout kLayout34{kFields34, bit(34), kParity34};
constexpr CardLayout kLayout35{kFields35, bit(35), kParity35};
constexpr CardLayout kLayout37{kFields37, 0, kParity37};
constexpr CardLayout kLayout37NFC{kFields37NFC, 0, kParity37};
constexpr CardLayout kLayout35X{kFields35X, bit(35), kParity35X};
constexpr CardLayout kLayout36X{kFields36X, bit(1), kParity36X};
constexpr CardLayout kLayout37X{kFields37X, 0, kParity37X};
constexpr CardLayout kLayoutProxif{kFieldsProxif, 0, kNoParity};
constexpr CardLayout kLayoutCasi{kFieldsCasi, 0, kNoParity};

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
    return pattern & bitRange(0, slot.width - 1);
}

CardValue withParity(CardValue value, std::span<const ParityBit> parityBits) {
    for (const ParityBit& parity : parityBits) {
        const bool oddCount = std::popcount(value & parity.group & ~bit(parity.bit)) % 2 != 0;
        const bool setBit = parity.parity == Parity::Even ? oddCount : !oddCount;
        if (setBit) value |= bit(parity.bit);
    }
    return value;
}

EncodeResult encodeWith(const CardLayout& layout, const EncodeInput& input) {
    for (const FieldSlot& slot : layout.fields) {
        if (auto refusal = checkRange(slot, inputFor(slot.field, input))) return *refusal;
    }
    CardValue value = layout.fixedOnes;
    for (const FieldSlot& slot : layout.fields) {
        const Outcome<std::uint64_t> bits = fieldBits(slot, inputFor(slot.field, input));
        if (!bits) return bits.failure();
        value |= *bits << slot.shift;
    }
    return withParity(value, layout.parityBits);
}

}  // namespace

EncodeResult BitFormat26(double iNumber, std::int32_t iFacilityCode) {
    return encodeWith(kLayout26, {iNumber, iFacilityCode});
}
EncodeResult BitFormat34(double iNumber, std::int32_t iFacilityCode) {
    return encodeWith(kLayout34, {iNumber, iFacilityCode});
}
EncodeResult BitFormat35(double iNumber, std::int32_t iFacilityCode) {
    return encodeWith(kLayout35, {iNumber, iFacilityCode});
}
EncodeResult BitFormat35X(double iNumber, std::int32_t iFacilityCode) {
    return encodeWith(kLayout35X, {iNumber, iFacilityCode});
}
EncodeResult BitFormat36X(double iNumber, std::int32_t iFacilityCode) {
    return encodeWith(kLayout36X, {iNumber, iFacilityCode});
}
EncodeResult BitFormat37X(double iNumber, std::int32_t iFacilityCode) {
    return encodeWith(kLayout37X, {iNumber, iFacilityCode});
}
EncodeResult BitFormat37(double iNumber, std::int32_t iFacilityCode) {
    return encodeWith(kLayout37, {iNumber, iFacilityCode});
}
EncodeResult BitFormat37NFC(double iNumber) {
    return encodeWith(kLayout37NFC, {iNumber});
}
EncodeResult BitFormatProxif(double iNumber, std::int32_t iFacilityCode, std::int32_t iVersion) {
    return encodeWith(kLayoutProxif, {iNumber, iFacilityCode, iVersion});
}
EncodeResult BitFormatCasi(double iNumber, std::int32_t iFacilityCode) {
    return encodeWith(kLayoutCasi, {iNumber, iFacilityCode});
}

const CardLayout& cardLayout(CardFormat format, std::int32_t facilityCode) {
    // Indexed by CardFormat, in the order of the format table.
    static constexpr std::array<const CardLayout*, 9> kLayouts{
        &kLayout26,  &kLayout34, &kLayout35,     &kLayout35X,  &kLayout36X,
        &kLayout37X, &kLayout37, &kLayoutProxif, &kLayoutCasi,
    };
    if (format == CardFormat::Bit37 && facilityCode == 0) return kLayout37NFC;
    return *kLayouts[static_cast<std::size_t>(format)];
}

EncodeResult encodeCard(CardFormat format, const EncodeInput& input) {
    return encodeWith(cardLayout(format, input.facilityCode), input);
}

}  // namespace proxcred

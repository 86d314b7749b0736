#include <algorithm>
#include <array>
#include <bit>
#include <utility>

#include "wiegand/field_texts.h"
#include "wiegand/format.h"

namespace proxcred::wiegand {
namespace {

// The bits of a field, most significant first, as a number.
std::uint64_t rawField(std::uint64_t value, const Field& field) {
    return field.run ? bits::readRun(value, *field.run) : bits::readBits(value, field.at);
}

std::uint64_t withRawField(std::uint64_t value, const Field& field, std::uint64_t raw) {
    return field.run ? bits::writeRun(value, *field.run, raw)
                     : bits::writeBits(value, field.at, raw);
}

std::uint64_t toBcd(std::uint64_t value) {
    std::uint64_t bcd = 0;
    for (int shift = 0; value != 0; shift += 4, value /= 10) bcd |= (value % 10) << shift;
    return bcd;
}

std::optional<std::uint64_t> fromBcd(std::uint64_t bcd, std::size_t digits) {
    std::uint64_t value = 0;
    for (std::size_t digit = digits; digit-- > 0;) {
        const std::uint64_t nibble = (bcd >> (4 * digit)) & 0xF;
        if (nibble > 9) return std::nullopt;
        value = value * 10 + nibble;
    }
    return value;
}

}  // namespace

static_assert(std::none_of(kFieldNames.begin(), kFieldNames.end(),
                           [](const auto& names) {
                               return names.first.empty() || names.second.empty();
                           }),
              "every field kind has both its names");

std::string_view parityName(ParityVerdict verdict) {
    constexpr std::array<std::string_view, kParityVerdicts.size()> kVerdicts{"ok", "fail", "none"};
    static_assert(std::none_of(kVerdicts.begin(), kVerdicts.end(),
                               [](std::string_view name) { return name.empty(); }),
                  "every verdict has its name");
    return kVerdicts[static_cast<std::size_t>(verdict)];
}

const Field* Format::field(FieldKind kind) const {
    for (const Field& candidate : fields) {
        if (candidate.kind == kind) return &candidate;
    }
    return nullptr;
}

Encoded encode(const Format& format, const CardNumbers& numbers) {
    for (const FieldKind kind : kFieldKinds) {
        if (numbers[kind] && format.field(kind) == nullptr)
            return {std::nullopt, hasNoField(format, kind)};
    }
    if (format.field(FieldKind::CardNumber) != nullptr && !numbers[FieldKind::CardNumber])
        return {std::nullopt, format.name + " needs a card number"};
    std::uint64_t value = 0;
    for (const Field& field : format.fields) {
        const std::uint64_t number = numbers[field.kind].value_or(0);
        if (number > field.max)
            return {std::nullopt, tooLarge(format, field, std::to_string(number))};
        value = withRawField(value, field, field.bcd ? toBcd(number) : number);
    }
    value = (value & ~format.fixedMask) | format.fixedValue;
    return {Frame{bits::withParity(value, format.parity), format.bits}, {}};
}

bool decodeInto(const Format& format, const Frame& frame, Decoded& decoded) {
    if (frame.bits != format.bits) return false;
    if ((frame.value & format.fixedMask) != format.fixedValue) return false;
    decoded.numbers = {};
    for (const Field& field : format.fields) {
        const std::uint64_t raw = rawField(frame.value, field);
        const std::optional<std::uint64_t> value =
            field.bcd ? fromBcd(raw, field.at.size() / 4) : raw;
        if (!value) return false;
        decoded.numbers[field.kind] = *value;
    }
    decoded.parity = ParityVerdict::None;
    if (format.hasParity()) {
        // The loader keeps a parity bit from covering one set after it, so
        // the parity bits reading as the encoder sets them is each one
        // holding on the wire over the bits it covers, as received.
        const bool holds = bits::parityHolds(frame.value, format.parity, format.parityMask);
        decoded.parity = holds ? ParityVerdict::Ok : ParityVerdict::Fail;
    }
    return true;
}

std::optional<Decoded> decode(const Format& format, const Frame& frame) {
    Decoded decoded;
    if (!decodeInto(format, frame, decoded)) return std::nullopt;
    return decoded;
}

}  // namespace proxcred::wiegand

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <utility>

#include "wiegand/format.h"

namespace proxcred::wiegand {
namespace {

constexpr std::uint64_t bitAt(const Frame& frame, int position) {
    return std::uint64_t{1} << (frame.bits - 1 - position);
}

bool bitSet(const Frame& frame, int position) {
    return (frame.value & bitAt(frame, position)) != 0;
}

void setBit(Frame& frame, int position, bool value) {
    if (value) {
        frame.value |= bitAt(frame, position);
    } else {
        frame.value &= ~bitAt(frame, position);
    }
}

std::uint64_t lowBits(std::size_t count) {
    return count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
}

// The bits of a field, most significant first, as a number.
std::uint64_t rawField(const Frame& frame, const Field& field) {
    if (field.contiguous) return (frame.value >> field.shift) & lowBits(field.positions.size());
    std::uint64_t raw = 0;
    for (const int position : field.positions) raw = (raw << 1) | (bitSet(frame, position) ? 1 : 0);
    return raw;
}

void writeRawField(Frame& frame, const Field& field, std::uint64_t raw) {
    const std::size_t count = field.positions.size();
    for (std::size_t i = 0; i < count; ++i) {
        setBit(frame, field.positions[i], ((raw >> (count - 1 - i)) & 1U) != 0);
    }
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

bool parityBitFor(const Frame& frame, const ParityBit& parity) {
    const bool odd = (std::popcount(frame.value & parity.coverMask) & 1) != 0;
    // Even parity makes the group and its bit even; odd parity makes them odd.
    return parity.kind == ParityKind::Even ? odd : !odd;
}

void setParity(const Format& format, Frame& frame) {
    for (const ParityBit& parity : format.parity) {
        setBit(frame, parity.position, parityBitFor(frame, parity));
    }
}

}  // namespace

// Per field kind, in the order of FieldKind: the name in files and JSON, and
// the name in messages.
constexpr std::array<std::pair<std::string_view, std::string_view>, kFieldKinds.size()> kFieldNames{
    {{"facility", "facility code"},
     {"card", "card number"},
     {"issue", "issue level"},
     {"oem", "OEM code"}}};

std::string_view fieldKey(FieldKind kind) {
    return kFieldNames[static_cast<std::size_t>(kind)].first;
}

std::string_view fieldName(FieldKind kind) {
    return kFieldNames[static_cast<std::size_t>(kind)].second;
}

std::string_view verdictText(ParityVerdict verdict) {
    constexpr std::array<std::string_view, 3> kVerdicts{"ok", "fail", "none"};
    return kVerdicts[static_cast<std::size_t>(verdict)];
}

void prepare(Format& format) {
    const Frame frame{0, format.bits};
    for (Field& field : format.fields) {
        const std::vector<int>& at = field.positions;
        field.contiguous = std::adjacent_find(at.begin(), at.end(),
                                              [](int a, int b) { return b != a + 1; }) == at.end();
        field.shift = format.bits - 1 - at.back();
    }
    format.fixedMask = format.fixedValue = format.parityMask = 0;
    for (const FixedBit& fixed : format.fixed) {
        format.fixedMask |= bitAt(frame, fixed.position);
        if (fixed.value) format.fixedValue |= bitAt(frame, fixed.position);
    }
    for (ParityBit& parity : format.parity) {
        format.parityMask |= bitAt(frame, parity.position);
        parity.coverMask = 0;
        for (const int position : parity.covers) parity.coverMask |= bitAt(frame, position);
    }
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
            return {std::nullopt, format.name + " has no " + std::string(fieldName(kind))};
    }
    if (format.field(FieldKind::CardNumber) != nullptr && !numbers[FieldKind::CardNumber])
        return {std::nullopt, format.name + " needs a card number"};
    Frame frame{0, format.bits};
    for (const Field& field : format.fields) {
        const std::uint64_t value = numbers[field.kind].value_or(0);
        if (value > field.max) {
            std::string name(fieldName(field.kind));
            name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
            return {std::nullopt, name + " " + std::to_string(value) + " is too large for " +
                                      format.name + ". " + std::to_string(field.max) + " is max."};
        }
        writeRawField(frame, field, field.bcd ? toBcd(value) : value);
    }
    for (const FixedBit& fixed : format.fixed) setBit(frame, fixed.position, fixed.value);
    setParity(format, frame);
    return {frame, {}};
}

std::optional<Decoded> decode(const Format& format, const Frame& frame) {
    if (frame.bits != format.bits) return std::nullopt;
    if ((frame.value & format.fixedMask) != format.fixedValue) return std::nullopt;
    Decoded decoded;
    for (const Field& field : format.fields) {
        const std::uint64_t raw = rawField(frame, field);
        const std::optional<std::uint64_t> value =
            field.bcd ? fromBcd(raw, field.positions.size() / 4) : raw;
        if (!value) return std::nullopt;
        decoded.numbers[field.kind] = *value;
    }
    if (format.hasParity()) {
        // As a reader checks it on the wire: each parity bit with the bits it
        // covers, as received. The loader keeps a parity bit from covering one
        // set after it, so this is exactly the parity the encoder set.
        const bool holds =
            std::all_of(format.parity.begin(), format.parity.end(), [&](const ParityBit& parity) {
                const std::uint64_t group = parity.coverMask | bitAt(frame, parity.position);
                const bool odd = (std::popcount(frame.value & group) & 1) != 0;
                return odd == (parity.kind == ParityKind::Odd);
            });
        decoded.parity = holds ? ParityVerdict::Ok : ParityVerdict::Fail;
    }
    return decoded;
}

}  // namespace proxcred::wiegand

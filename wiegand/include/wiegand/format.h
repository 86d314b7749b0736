#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bits/bit_field.h"
#include "bits/bit_mask.h"
#include "bits/parity.h"

// Wiegand card formats as data, and one engine that encodes, decodes and
// checks every one of them. Format files and public descriptions count bit
// positions from 0 at the first bit transmitted; the loader turns them into
// the bit kernel's numbering (bit 0 is the last bit sent), which is all the
// engine knows. Frames are at most 64 bits.
namespace proxcred::wiegand {

inline constexpr int kMaxFrameBits = bits::kWordBits;

// The numbers a format may carry.
enum class FieldKind : std::uint8_t { FacilityCode, CardNumber, IssueLevel, OemCode };
inline constexpr std::array kFieldKinds{FieldKind::FacilityCode, FieldKind::CardNumber,
                                        FieldKind::IssueLevel, FieldKind::OemCode};

// Per field kind, in the order of FieldKind: the name in files, CSV and JSON,
// and the name in messages.
inline constexpr std::array<std::pair<std::string_view, std::string_view>, kFieldKinds.size()>
    kFieldNames{{{"facility", "facility code"},
                 {"card", "card number"},
                 {"issue", "issue level"},
                 {"oem", "OEM code"}}};

// "facility", "card", "issue", "oem".
constexpr std::string_view fieldKey(FieldKind kind) {
    return kFieldNames[static_cast<std::size_t>(kind)].first;
}
// "facility code", "card number", "issue level", "OEM code".
constexpr std::string_view fieldName(FieldKind kind) {
    return kFieldNames[static_cast<std::size_t>(kind)].second;
}

struct Field {
    FieldKind kind = FieldKind::CardNumber;
    std::vector<int> at;              // its bits in the frame's value, most significant first
    std::optional<bits::BitRun> run;  // the same bits, where they lie side by side
    bool bcd = false;                 // decimal digits of 4 bits each, most significant first
    std::uint64_t max = 0;            // the largest value the field takes

    int width() const { return static_cast<int>(at.size()); }
};

// A format as the engine uses it. The loader checks that its fields, fixed
// and parity bits lie inside the frame and never share a bit, that it has a
// card number, and that no parity bit covers one computed after it (so the
// parity a reader checks on the wire is the parity the encoder set).
struct Format {
    std::string name;
    std::string description;
    std::string source;  // where the layout comes from
    int bits = 0;
    std::vector<Field> fields;
    std::uint64_t fixedMask = 0;          // the bits that always hold the same value
    std::uint64_t fixedValue = 0;         // and that value
    std::vector<bits::ParityBit> parity;  // computed in this order
    std::uint64_t parityMask = 0;
    std::uint32_t rank = 0;  // where its readings stand (Library::rankOf), set by the library

    const Field* field(FieldKind kind) const;
    bool hasParity() const { return !parity.empty(); }
};

// The numbers to encode or decoded; a field that is not given is nullopt.
struct CardNumbers {
    std::array<std::optional<std::uint64_t>, kFieldKinds.size()> values{};

    std::optional<std::uint64_t>& operator[](FieldKind kind) {
        return values[static_cast<std::size_t>(kind)];
    }
    const std::optional<std::uint64_t>& operator[](FieldKind kind) const {
        return values[static_cast<std::size_t>(kind)];
    }
};

struct Frame {
    std::uint64_t value = 0;  // bit 0 is the last bit sent
    int bits = 0;
    friend bool operator==(const Frame&, const Frame&) = default;
};

// The frame of a card, or why the numbers cannot be encoded: a value above
// its field's largest, a field the format does not have, no card number.
struct Encoded {
    std::optional<Frame> frame;
    std::string refusal;
};
Encoded encode(const Format& format, const CardNumbers& numbers);

enum class ParityVerdict : std::uint8_t { Ok, Fail, None };
inline constexpr std::array kParityVerdicts{ParityVerdict::Ok, ParityVerdict::Fail,
                                            ParityVerdict::None};
// "ok", "fail", "none".
std::string_view parityName(ParityVerdict verdict);

// A frame read as a format: its numbers and whether its parity holds.
struct Decoded {
    CardNumbers numbers;
    ParityVerdict parity = ParityVerdict::None;
};
// nullopt when the frame is not of the format: another length, a fixed bit
// that does not hold, a BCD digit above 9.
std::optional<Decoded> decode(const Format& format, const Frame& frame);
// The same into a reading kept by the caller (decoding many frames builds no
// value to copy); false when the frame is not of the format.
bool decodeInto(const Format& format, const Frame& frame, Decoded& decoded);

}  // namespace proxcred::wiegand

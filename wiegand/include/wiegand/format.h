#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Wiegand card formats as data, and one engine that encodes, decodes and
// checks every one of them. Bit positions count from 0 at the first bit
// transmitted (the leftmost bit of the frame), as public format
// descriptions and the files users write count them. Frames are at most 64
// bits; a frame is held as a number whose most significant used bit is
// position 0.
namespace proxcred::wiegand {

inline constexpr int kMaxFrameBits = 64;

// The numbers a format may carry.
enum class FieldKind : std::uint8_t { FacilityCode, CardNumber, IssueLevel, OemCode };
inline constexpr std::array kFieldKinds{FieldKind::FacilityCode, FieldKind::CardNumber,
                                        FieldKind::IssueLevel, FieldKind::OemCode};

// "facility", "card", "issue", "oem": the names in format files and JSON.
std::string_view fieldKey(FieldKind kind);
// "facility code", "card number", "issue level", "OEM code": for messages.
std::string_view fieldName(FieldKind kind);

struct Field {
    FieldKind kind = FieldKind::CardNumber;
    std::vector<int> positions;  // most significant bit first
    bool bcd = false;            // decimal digits of 4 bits each, most significant first
    std::uint64_t max = 0;       // the largest value the field takes
    // Set by prepare(): a run of positions is a shift, not a loop over bits.
    bool contiguous = false;
    int shift = 0;  // of the run's lowest bit in the frame's value
};

enum class ParityKind : std::uint8_t { Even, Odd };

struct ParityBit {
    int position = 0;
    ParityKind kind = ParityKind::Even;
    std::vector<int> covers;      // the positions it protects, not its own
    std::uint64_t coverMask = 0;  // set by prepare(): the covered bits of the frame's value
};

struct FixedBit {
    int position = 0;
    bool value = false;
};

// A format as described: checked by the loader, so that its fields, fixed
// and parity bits lie inside the frame and never share a bit, it has a card
// number, and no parity bit covers one computed after it (so the parity a
// reader checks on the wire is the parity the encoder set).
struct Format {
    std::string name;
    std::string description;
    std::string source;  // where the layout comes from
    int bits = 0;
    std::vector<Field> fields;
    std::vector<FixedBit> fixed;
    std::vector<ParityBit> parity;  // computed in this order

    const Field* field(FieldKind kind) const;
    bool hasParity() const { return !parity.empty(); }

    // Set by prepare(): the fixed bits and the parity bits as masks.
    std::uint64_t fixedMask = 0;
    std::uint64_t fixedValue = 0;
    std::uint64_t parityMask = 0;
};

// Works out the masks and shifts the engine uses, once the format's
// positions are known to lie inside its frame.
void prepare(Format& format);

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
    std::uint64_t value = 0;  // position 0 is bit `bits - 1`
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
std::string_view verdictText(ParityVerdict verdict);

// A frame read as a format: its numbers and whether its parity holds.
struct Decoded {
    CardNumbers numbers;
    ParityVerdict parity = ParityVerdict::None;
};
// nullopt when the frame is not of the format: another length, a fixed bit
// that does not hold, a BCD digit above 9.
std::optional<Decoded> decode(const Format& format, const Frame& frame);

}  // namespace proxcred::wiegand

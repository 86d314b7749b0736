#include "split/recognisers.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "bits/parity.h"

namespace proxcred {
namespace {

// Every bit a recogniser looks at lies in the last 48 bits; what stands
// ahead of them only matters through FrameRule::clearFrom.
constexpr std::size_t kCardDataBits = 48;

// Each format's parity bits as one mask, worked out once from the table.
constexpr std::array<std::uint64_t, kFormatCount> kParityMasks = [] {
    std::array<std::uint64_t, kFormatCount> masks{};
    for (const CardFormatInfo& info : kCardFormats)
        masks[static_cast<std::size_t>(info.format)] = bits::parityMask(info.layout.parityBits);
    return masks;
}();

}  // namespace

// A card of a format has enough bits, nothing ahead of its frame (where the
// format says so), its fixed ones and zeros, and parity bits that agree with
// their groups; all counted from the end, so leading zeros never matter.
bool recognises(CardFormat format, const BitTail& tail) {
    const CardFormatInfo& info = formatInfo(format);
    const FrameRule& rule = info.frame;
    if (tail.length() < rule.shortest) return false;
    if (rule.clearFrom && !tail.clearFrom(*rule.clearFrom)) return false;
    const std::uint64_t value = tail.bits(0, kCardDataBits - 1);
    if ((value & info.layout.fixedOnes) != info.layout.fixedOnes) return false;
    if ((value & rule.fixedZeros) != 0) return false;
    // The parity bits must read as the encoder would set them.
    return bits::parityHolds(value, info.layout.parityBits,
                             kParityMasks[static_cast<std::size_t>(format)]);
}

bool recognises(CardFormat format, std::string_view bits) {
    return recognises(format, BitTail::ofBits(bits));
}

}  // namespace proxcred

#include "split/recognisers.h"

#include <cstddef>
#include <cstdint>

#include "formats/encoders.h"

namespace proxcred {
namespace {

// Every bit a recogniser looks at lies in the last 48 bits; what stands
// ahead of them only matters through FrameRule::clearFrom.
constexpr std::size_t kCardDataBits = 48;

bool parityHolds(std::uint64_t value, const CardLayout& layout) {
    std::uint64_t parityMask = 0;
    for (const ParityBit& parity : layout.parityBits) parityMask |= bit(parity.bit);
    // The parity bits must read as the encoder would set them.
    return (withParity(value & ~parityMask, layout) & parityMask) == (value & parityMask);
}

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
    return parityHolds(value, info.layout);
}

bool recognises(CardFormat format, std::string_view bits) {
    return recognises(format, BitTail::ofBits(bits));
}

bool Check26Bit(std::string_view bits) {
    return recognises(CardFormat::Bit26, bits);
}
bool Check34Bit(std::string_view bits) {
    return recognises(CardFormat::Bit34, bits);
}
bool Check35Bit(std::string_view bits) {
    return recognises(CardFormat::Bit35, bits);
}
bool Check35BitX(std::string_view bits) {
    return recognises(CardFormat::Bit35X, bits);
}
bool Check36BitX(std::string_view bits) {
    return recognises(CardFormat::Bit36X, bits);
}
bool Check37BitX(std::string_view bits) {
    return recognises(CardFormat::Bit37X, bits);
}
bool Check37Bit(std::string_view bits) {
    return recognises(CardFormat::Bit37, bits);
}
bool CheckProxif(std::string_view bits) {
    return recognises(CardFormat::Proxif, bits);
}
bool CheckCasi(std::string_view bits) {
    return recognises(CardFormat::Casi, bits);
}

}  // namespace proxcred

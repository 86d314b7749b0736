#include "recognisers.h"

#include <array>
#include <bit>
#include <cstddef>
#include <optional>

#include "formats/card_layout.h"

namespace proxcred {
namespace {

// Bits are counted from the end of the string (0 is the last character), so
// the rules hold for any length; bits left of the string's start read as 0.

struct FixedBits {
    std::size_t fromEnd;  // B[L - fromEnd] and the `count` - 1 characters after it
    std::size_t count;
    bool ones;  // all "1", or all "0"
};

struct Run {
    std::size_t first;  // F[first..last] of the parity window
    std::size_t last;
};

struct FrameRule {
    std::size_t shortest;            // shorter strings are no card of the format
    std::optional<FixedBits> fixed;  // marker, or bits of fixed value
    std::size_t keptAtEnd;           // the lead-in B[1..L - keptAtEnd] must hold no "1"
    std::size_t window;              // F is the last `window` characters; 0: no parity
    Run even;                        // must hold an even number of ones
    Run odd;                         // must hold an odd number of ones
};

constexpr FrameRule kRule26{27, FixedBits{26, 1, true}, 27, 26, {1, 13}, {14, 26}};
constexpr FrameRule kRule34{35, FixedBits{34, 1, true}, 35, 34, {1, 17}, {18, 34}};
constexpr FrameRule kRule35X{35, FixedBits{35, 1, true}, 36, 35, {1, 18}, {18, 35}};
// A window one longer than the 36-bit frame; its character 19 is in no run.
constexpr FrameRule kRule36X{36, FixedBits{1, 1, true}, 36, 37, {1, 18}, {20, 37}};
constexpr FrameRule kRule37{37, std::nullopt, 37, 37, {1, 19}, {19, 37}};
constexpr FrameRule kRuleProxif{48, FixedBits{20, 1, false}, 39, 0, {}, {}};
constexpr FrameRule kRuleCasi{48, FixedBits{35, 4, false}, 44, 0, {}, {}};

int parityOf(std::uint64_t bits) {
    return std::popcount(bits) & 1;
}

std::uint64_t runBits(const BitTail& tail, std::size_t window, Run run) {
    return tail.bits(window - run.last, window - run.first);
}

bool fixedBitsHold(const BitTail& tail, const FixedBits& fixed) {
    const std::uint64_t found = tail.bits(fixed.fromEnd + 1 - fixed.count, fixed.fromEnd);
    const std::uint64_t allOnes = (std::uint64_t{1} << fixed.count) - 1;
    return found == (fixed.ones ? allOnes : 0);
}

bool matchesFrame(const FrameRule& rule, const BitTail& tail) {
    if (tail.length() < rule.shortest) return false;
    if (rule.fixed && !fixedBitsHold(tail, *rule.fixed)) return false;
    if (!tail.clearFrom(rule.keptAtEnd)) return false;
    if (rule.window == 0) return true;
    if (parityOf(runBits(tail, rule.window, rule.even)) != 0) return false;
    return parityOf(runBits(tail, rule.window, rule.odd)) != 0;
}

// The 35-bit frame has three parity bits over interleaved groups and no
// lead-in test: bits left of its marker may hold anything. F[j] is bit 35 - j.
bool matches35Bit(const BitTail& tail) {
    constexpr std::size_t kFrame = 35;
    // F[3..34] with j mod 3 != 2, guarded by F[2]; F[2..33] with j mod 3 != 1,
    // guarded by F[35].
    constexpr std::uint64_t kEvenGroup =
        bitsWhere(1, 32, [](int bit) { return (35 - bit) % 3 != 2; });
    constexpr std::uint64_t kOddGroup =
        bitsWhere(2, 33, [](int bit) { return (35 - bit) % 3 != 1; });
    if (tail.length() < kFrame + 1 || tail.bits(kFrame, kFrame) != 1) return false;
    const std::uint64_t frame = tail.bits(0, kFrame - 1);
    const auto bitAt = [frame](std::size_t j) {
        return static_cast<int>((frame >> (kFrame - j)) & 1U);
    };
    if (bitAt(2) != parityOf(frame & kEvenGroup)) return false;
    if (bitAt(35) == parityOf(frame & kOddGroup)) return false;
    return bitAt(1) != parityOf(frame & bitRange(0, 33));
}

}  // namespace

bool recognises(CardFormat format, const BitTail& tail) {
    // Indexed by CardFormat, in the order of the format table; the 35-bit
    // format has rules of its own.
    constexpr std::array<const FrameRule*, 9> kRules{
        &kRule26, &kRule34, nullptr,      &kRule35X,  &kRule36X,
        &kRule37, &kRule37, &kRuleProxif, &kRuleCasi,
    };
    const FrameRule* rule = kRules[static_cast<std::size_t>(format)];
    return rule != nullptr ? matchesFrame(*rule, tail) : matches35Bit(tail);
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

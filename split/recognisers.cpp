#include "recognisers.h"

#include <cstddef>
#include <optional>

namespace proxcred {
namespace {

// Positions are counted from 1 at the left, as B[i]; "from the end" offsets
// are subtracted from the length L.

struct FixedBits {
    std::size_t fromEnd;  // first position is B[L - fromEnd]
    std::size_t count;
    char expected;
};

struct Run {
    std::size_t first;  // F[first..last] of the parity window
    std::size_t last;
};

struct FrameRule {
    std::size_t shortest;               // shorter strings are no card of the format
    std::optional<FixedBits> fixed;     // marker, or bits of fixed value
    std::size_t keptAtEnd;              // the lead-in B[1..L - keptAtEnd] must hold no "1"
    std::size_t window;                 // F is the last `window` characters; 0: no parity
    Run even;                           // must hold an even number of ones
    Run odd;                            // must hold an odd number of ones
};

constexpr FrameRule kRule26{27, FixedBits{26, 1, '1'}, 27, 26, {1, 13}, {14, 26}};
constexpr FrameRule kRule34{35, FixedBits{34, 1, '1'}, 35, 34, {1, 17}, {18, 34}};
constexpr FrameRule kRule35X{35, FixedBits{35, 1, '1'}, 36, 35, {1, 18}, {18, 35}};
// A window one longer than the 36-bit frame; its character 19 is in no run.
constexpr FrameRule kRule36X{36, FixedBits{1, 1, '1'}, 36, 37, {1, 18}, {20, 37}};
constexpr FrameRule kRule37{37, std::nullopt, 37, 37, {1, 19}, {19, 37}};
constexpr FrameRule kRuleProxif{48, FixedBits{20, 1, '0'}, 39, 0, {}, {}};
constexpr FrameRule kRuleCasi{48, FixedBits{35, 4, '0'}, 44, 0, {}, {}};

// B[position], with positions left of the string reading as "0".
char at(std::string_view bits, std::ptrdiff_t position) {
    return position >= 1 ? bits[static_cast<std::size_t>(position - 1)] : '0';
}

std::size_t onesInWindow(std::string_view bits, std::size_t window, Run run) {
    const auto windowStart =
        static_cast<std::ptrdiff_t>(bits.size()) - static_cast<std::ptrdiff_t>(window);
    std::size_t ones = 0;
    for (std::size_t k = run.first; k <= run.last; ++k) {
        if (at(bits, windowStart + static_cast<std::ptrdiff_t>(k)) == '1') ++ones;
    }
    return ones;
}

bool fixedBitsHold(std::string_view bits, const FixedBits& fixed) {
    const auto first = static_cast<std::ptrdiff_t>(bits.size()) -
                       static_cast<std::ptrdiff_t>(fixed.fromEnd);
    for (std::size_t i = 0; i < fixed.count; ++i) {
        if (at(bits, first + static_cast<std::ptrdiff_t>(i)) != fixed.expected) return false;
    }
    return true;
}

bool leadInIsClear(std::string_view bits, std::size_t keptAtEnd) {
    if (bits.size() <= keptAtEnd) return true;
    return bits.substr(0, bits.size() - keptAtEnd).find('1') == std::string_view::npos;
}

bool matchesFrame(const FrameRule& rule, std::string_view bits) {
    if (bits.size() < rule.shortest) return false;
    if (rule.fixed && !fixedBitsHold(bits, *rule.fixed)) return false;
    if (!leadInIsClear(bits, rule.keptAtEnd)) return false;
    if (rule.window == 0) return true;
    if (onesInWindow(bits, rule.window, rule.even) % 2 != 0) return false;
    return onesInWindow(bits, rule.window, rule.odd) % 2 != 0;
}

int bitAt(std::string_view frame, std::size_t k) { return frame[k - 1] == '1' ? 1 : 0; }

}  // namespace

bool Check26Bit(std::string_view bits) { return matchesFrame(kRule26, bits); }
bool Check34Bit(std::string_view bits) { return matchesFrame(kRule34, bits); }
bool Check35BitX(std::string_view bits) { return matchesFrame(kRule35X, bits); }
bool Check36BitX(std::string_view bits) { return matchesFrame(kRule36X, bits); }
bool Check37BitX(std::string_view bits) { return matchesFrame(kRule37, bits); }
bool Check37Bit(std::string_view bits) { return matchesFrame(kRule37, bits); }
bool CheckProxif(std::string_view bits) { return matchesFrame(kRuleProxif, bits); }
bool CheckCasi(std::string_view bits) { return matchesFrame(kRuleCasi, bits); }

// The 35-bit frame has three parity bits over interleaved groups and no
// lead-in test: bits left of its marker may hold anything.
bool Check35Bit(std::string_view bits) {
    constexpr std::size_t kFrame = 35;
    if (bits.size() < kFrame + 1) return false;
    if (bits[bits.size() - kFrame - 1] != '1') return false;
    const std::string_view frame = bits.substr(bits.size() - kFrame);
    int evenGroup = 0;  // F[3..34] with j mod 3 != 2, guarded by F[2]
    int oddGroup = 0;   // F[2..33] with j mod 3 != 1, guarded by F[35]
    int allButFirst = 0;
    for (std::size_t j = 2; j <= kFrame; ++j) {
        const int bit = bitAt(frame, j);
        if (j >= 3 && j <= 34 && j % 3 != 2) evenGroup += bit;
        if (j <= 33 && j % 3 != 1) oddGroup += bit;
        allButFirst += bit;
    }
    if (bitAt(frame, 2) != evenGroup % 2) return false;
    if (bitAt(frame, kFrame) == oddGroup % 2) return false;
    return bitAt(frame, 1) != allButFirst % 2;
}

bool recognises(CardFormat format, std::string_view bits) {
    switch (format) {
        case CardFormat::Bit26:
            return Check26Bit(bits);
        case CardFormat::Bit34:
            return Check34Bit(bits);
        case CardFormat::Bit35:
            return Check35Bit(bits);
        case CardFormat::Bit35X:
            return Check35BitX(bits);
        case CardFormat::Bit36X:
            return Check36BitX(bits);
        case CardFormat::Bit37X:
            return Check37BitX(bits);
        case CardFormat::Bit37:
            return Check37Bit(bits);
        case CardFormat::Proxif:
            return CheckProxif(bits);
        case CardFormat::Casi:
            return CheckCasi(bits);
    }
    return false;
}

}  // namespace proxcred

// Which reading of a frame comes first: valid parity, then the formats most
// cards carry, then the rest by length.
#include <algorithm>
#include <array>
#include <numeric>
#include <span>

#include "wiegand/matches.h"

namespace proxcred::wiegand {
namespace {

// Valid parity first, then formats without parity, then failed parity.
constexpr std::array<std::uint32_t, kParityVerdicts.size()> kVerdictRank{0, 2, 1};
static_assert(kParityVerdicts[0] == ParityVerdict::Ok &&
                  kParityVerdicts[1] == ParityVerdict::Fail &&
                  kParityVerdicts[2] == ParityVerdict::None,
              "kVerdictRank follows the verdicts' order");

std::size_t widelyUsedPlace(const Format& format) {
    return static_cast<std::size_t>(std::find(kWidelyUsed.begin(), kWidelyUsed.end(), format.name) -
                                    kWidelyUsed.begin());
}

}  // namespace

void Library::rankFormats() {
    std::vector<std::uint32_t> order(formats_.size());
    std::iota(order.begin(), order.end(), 0U);
    const auto key = [&](std::uint32_t index) {
        const Format& format = formats_[index];
        return std::tuple(widelyUsedPlace(format), format.bits, index);
    };
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return key(a) < key(b); });
    for (std::uint32_t place = 0; place < order.size(); ++place)
        formats_[order[place]].rank = place;
}

// Sorts the matches by their keys, moving each match once: the keys (the
// verdict's rank, the format's, the match's place) sort as plain numbers, and
// the matches follow the cycles of that order. A format fits a text once, so
// no two keys are equal.
void rankMatches(Matches& matches) {
    constexpr std::size_t kOnStack = 64;
    constexpr int kPlaceBits = 20;
    std::array<std::uint64_t, kOnStack> onStack{};
    std::vector<std::uint64_t> onHeap;
    const bool small = matches.size() <= kOnStack;
    if (!small) onHeap.resize(matches.size());
    const std::span<std::uint64_t> keys(small ? onStack.data() : onHeap.data(), matches.size());
    for (std::size_t place = 0; place < matches.size(); ++place) {
        const Match& match = matches[place];
        keys[place] =
            (std::uint64_t{kVerdictRank[static_cast<std::size_t>(match.decoded.parity)]} << 52) |
            (std::uint64_t{Library::rankOf(*match.format)} << kPlaceBits) | place;
    }
    std::sort(keys.begin(), keys.end());
    const std::uint64_t placeMask = bits::lowBits(kPlaceBits);
    for (std::size_t start = 0; start < keys.size(); ++start) {
        // keys[i]'s place says which match goes to i; a followed entry is
        // marked as its own place.
        std::size_t at = start;
        if ((keys[at] & placeMask) == at) continue;
        const Match moving = matches[at];
        for (std::size_t from = keys[at] & placeMask; from != start; from = keys[at] & placeMask) {
            matches[at] = matches[from];
            keys[at] = (keys[at] & ~placeMask) | at;
            at = from;
        }
        matches[at] = moving;
        keys[at] = (keys[at] & ~placeMask) | at;
    }
}

void findMatches(const Library& library, const Frames& frames, const Format* only,
                 Matches& matches) {
    matches.clear();
    for (const Frame& frame : frames) {
        // Decoded in place: the slot is taken back where the frame is not
        // of the format.
        const auto tryFormat = [&](const Format& format) {
            Match& match = matches.emplace_back();
            match.format = &format;
            if (!decodeInto(format, frame, match.decoded)) matches.pop_back();
        };
        if (only != nullptr) {
            tryFormat(*only);
        } else {
            library.forEachOfLength(frame.bits, tryFormat);
        }
    }
    rankMatches(matches);
}

}  // namespace proxcred::wiegand

// Which reading of a frame comes first: valid parity, then the formats most
// cards carry, then the rest by length.
#include <algorithm>
#include <array>
#include <numeric>

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
    rank_.resize(formats_.size());
    for (std::uint32_t place = 0; place < order.size(); ++place) rank_[order[place]] = place;
}

void rankMatches(const Library& library, Matches& matches) {
    const auto key = [&](const Match& match) {
        return std::pair(kVerdictRank[static_cast<std::size_t>(match.decoded.parity)],
                         library.rankOf(*match.format));
    };
    std::sort(matches.begin(), matches.end(),
              [&](const Match& a, const Match& b) { return key(a) < key(b); });
}

void findMatches(const Library& library, const Frames& frames, const Format* only,
                 Matches& matches) {
    matches.clear();
    for (const Frame& frame : frames) {
        if (only != nullptr) {
            if (std::optional<Decoded> decoded = decode(*only, frame))
                matches.push_back({only, *decoded});
            continue;
        }
        library.forEachOfLength(frame.bits, [&](const Format& format) {
            if (std::optional<Decoded> decoded = decode(format, frame))
                matches.push_back({&format, *decoded});
        });
    }
    rankMatches(library, matches);
}

}  // namespace proxcred::wiegand

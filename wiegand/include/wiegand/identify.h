#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "wiegand/matches.h"

// Which format a site's cards are in, from several reads of them: the
// formats under which every read decodes with its parity holding (or with
// no parity to check), and the facility codes the reads fall into.
namespace proxcred::wiegand {

// The reads of one facility code under a format, in the order read; a
// format without a facility code has one group without one.
struct FacilityGroup {
    std::optional<std::uint64_t> facility;
    std::vector<std::uint64_t> cards;
    std::vector<std::size_t> reads;  // which read each card is (its index)
};

// A format every read fits: its parity verdict (ok, or none for a format
// without parity) and the reads' facility codes. One group is a site's
// format; two or more are reported as they are, never guessed between.
struct SiteFormat {
    const Format* format = nullptr;
    ParityVerdict parity = ParityVerdict::None;
    std::vector<FacilityGroup> groups;
};

// The formats the reads (each a distinct card's ranked readings) may be in,
// the likely one first: those whose reads share one facility code before
// those that fall into several, then as decode ranks (parity ok, then
// none, then the formats in wide use). A format under which two reads of
// one facility code carry the same card number cannot tell those cards
// apart and is left out.
std::vector<SiteFormat> identify(const std::vector<Matches>& reads);

}  // namespace proxcred::wiegand

#include "wiegand/identify.h"

#include <algorithm>
#include <map>

namespace proxcred::wiegand {
namespace {

// Each read's numbers under the format, where every read fits it with
// parity ok or none; nullopt when one does not.
std::optional<std::vector<CardNumbers>> numbersUnder(const Format& format,
                                                     const std::vector<Matches>& reads) {
    std::vector<CardNumbers> numbers;
    numbers.reserve(reads.size());
    for (const Matches& matches : reads) {
        const auto fit = std::find_if(matches.begin(), matches.end(), [&](const Match& match) {
            return match.format == &format && match.decoded.parity != ParityVerdict::Fail;
        });
        if (fit == matches.end()) return std::nullopt;
        numbers.push_back(fit->decoded.numbers);
    }
    return numbers;
}

// The reads by facility code, in order of the code; empty when two reads of
// one code carry the same card number.
std::vector<FacilityGroup> groupsOf(const std::vector<CardNumbers>& numbers) {
    std::map<std::optional<std::uint64_t>, FacilityGroup> groups;
    for (std::size_t read = 0; read < numbers.size(); ++read) {
        const auto facility = numbers[read][FieldKind::FacilityCode];
        const std::uint64_t card = *numbers[read][FieldKind::CardNumber];
        FacilityGroup& group = groups[facility];
        if (std::find(group.cards.begin(), group.cards.end(), card) != group.cards.end()) return {};
        group.facility = facility;
        group.cards.push_back(card);
        group.reads.push_back(read);
    }
    std::vector<FacilityGroup> ordered;
    ordered.reserve(groups.size());
    for (auto& entry : groups) ordered.push_back(std::move(entry.second));
    return ordered;
}

}  // namespace

std::vector<SiteFormat> identify(const std::vector<Matches>& reads) {
    std::vector<SiteFormat> found;
    if (reads.empty()) return found;
    // Every format that fits all reads fits the first.
    for (const Match& first : reads.front()) {
        const Format& format = *first.format;
        const bool seen = std::any_of(found.begin(), found.end(), [&](const SiteFormat& site) {
            return site.format == &format;
        });
        if (seen || first.decoded.parity == ParityVerdict::Fail) continue;
        const auto numbers = numbersUnder(format, reads);
        if (!numbers) continue;
        std::vector<FacilityGroup> groups = groupsOf(*numbers);
        if (groups.empty()) continue;
        found.push_back({&format, first.decoded.parity, std::move(groups)});
    }
    std::stable_sort(found.begin(), found.end(), [](const SiteFormat& a, const SiteFormat& b) {
        const auto key = [](const SiteFormat& site) {
            return std::tuple(site.groups.size() > 1, site.parity != ParityVerdict::Ok,
                              Library::rankOf(*site.format));
        };
        return key(a) < key(b);
    });
    return found;
}

}  // namespace proxcred::wiegand

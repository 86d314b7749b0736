// wiegand identify: which format a site's cards are in, from reads of them.
#include <algorithm>
#include <string>
#include <vector>

#include "cli/input_values.h"
#include "cli/line_reader.h"
#include "cli/wiegand_command.h"
#include "json_text/json_text.h"
#include "text/shown_text.h"
#include "wiegand/identify.h"

namespace proxcred::cli {
namespace {

using wiegand::FacilityGroup;
using wiegand::SiteFormat;

// A read of the batch: its line and text, and for a read the same as an
// earlier one, that one's line.
struct Read {
    std::size_t line = 0;
    std::string input;
    std::size_t sameAs = 0;
};

// The reads one identification looks at: a site's sample, not a database.
constexpr std::size_t kMostReads = 10000;

std::string cardList(const FacilityGroup& group) {
    std::string list;
    for (const std::uint64_t card : group.cards)
        list += (list.empty() ? "" : ", ") + std::to_string(card);
    return list;
}

std::string groupText(const FacilityGroup& group) {
    std::string text =
        group.facility ? "facility code " + std::to_string(*group.facility) + ": " : "";
    return text + (group.cards.size() == 1 ? "card " : "cards ") + cardList(group);
}

// A read whose parity fails under every format it has the length of is a
// misread or a card of no known format: it would rule every format out.
bool anyParityHolds(const wiegand::Matches& matches) {
    return std::any_of(matches.begin(), matches.end(), [](const wiegand::Match& match) {
        return match.decoded.parity != wiegand::ParityVerdict::Fail;
    });
}

void writeText(const std::vector<SiteFormat>& formats, const std::vector<Read>& unfit,
               const std::vector<Read>& repeated, std::size_t cards, TextSink& out) {
    out << cards << (cards == 1 ? " card" : " cards") << " read\n";
    for (const Read& read : repeated)
        out << "line " << read.line << ": the same card as line " << read.sameAs << "\n";
    for (const Read& read : unfit)
        out << "line " << read.line << ": " << shownText(read.input)
            << " fits no format whose parity it passes (left out)\n";
    if (formats.empty()) out << "no format fits every card\n";
    for (const SiteFormat& site : formats) {
        constexpr std::size_t kDescriptionColumn = 12;
        constexpr std::size_t kNumbersColumn = 46;
        std::string row = site.format->name;
        row.resize(std::max(row.size() + 1, kDescriptionColumn), ' ');
        row += shownText(site.format->description);
        row.resize(std::max(row.size() + 1, kNumbersColumn), ' ');
        out << row << "(" << site.format->bits << " bits, parity "
            << wiegand::parityName(site.parity) << ")\n";
        if (site.groups.size() > 1)
            out << "  " << site.groups.size() << " facility codes, not one:\n";
        for (const FacilityGroup& group : site.groups) out << "  " << groupText(group) << '\n';
    }
}

nlohmann::ordered_json groupJson(const FacilityGroup& group) {
    nlohmann::ordered_json json;
    json["facility"] = group.facility ? nlohmann::ordered_json(*group.facility) : nullptr;
    json["cards"] = group.cards;
    return json;
}

void writeJson(const std::vector<SiteFormat>& formats, const std::vector<Read>& unfit,
               const std::vector<Read>& repeated, std::size_t cards, TextSink& out) {
    nlohmann::ordered_json json;
    json["cards"] = cards;
    json["formats"] = nlohmann::ordered_json::array();
    for (const SiteFormat& site : formats) {
        nlohmann::ordered_json format;
        format["format"] = site.format->name;
        format["description"] = site.format->description;
        format["bits"] = site.format->bits;
        format["parity"] = std::string(wiegand::parityName(site.parity));
        if (site.groups.size() == 1) {
            format["facility"] = groupJson(site.groups.front())["facility"];
            format["cards"] = site.groups.front().cards;
        } else {
            format["groups"] = nlohmann::ordered_json::array();
            for (const FacilityGroup& group : site.groups)
                format["groups"].push_back(groupJson(group));
        }
        json["formats"].push_back(std::move(format));
    }
    json["unfit"] = nlohmann::ordered_json::array();
    for (const Read& read : unfit)
        json["unfit"].push_back({{"line", read.line}, {"input", read.input}});
    json["repeated"] = nlohmann::ordered_json::array();
    for (const Read& read : repeated)
        json["repeated"].push_back({{"line", read.line}, {"same_as", read.sameAs}});
    out << jsonText(json) << '\n';
}

// The reads taken so far: each distinct card's readings, the repeats and
// the reads that fit nothing, by line.
struct SiteSample {
    std::vector<wiegand::Matches> cards;
    std::vector<wiegand::Frames> framesOf;
    std::vector<Read> kept;
    std::vector<Read> unfit;
    std::vector<Read> repeated;
    bool tooMany = false;

    void take(const Read& read, const wiegand::CardReading& reading) {
        if (!anyParityHolds(reading.matches)) return unfit.push_back(read);
        for (std::size_t earlier = 0; earlier < framesOf.size(); ++earlier) {
            if (framesOf[earlier] == reading.frames)
                return repeated.push_back({read.line, read.input, kept[earlier].line});
        }
        if (cards.size() == kMostReads) {
            tooMany = true;
            return;
        }
        cards.push_back(reading.matches);
        framesOf.push_back(reading.frames);
        kept.push_back(read);
    }
};

}  // namespace

int wiegandIdentify(const wiegand::Library& library, const WiegandOptions& options, std::FILE* in,
                    TextSink& out, TextSink& err) {
    const wiegand::ReadScope scope{nullptr, options.bits};
    SiteSample sample;
    wiegand::CardReading reading;
    bool allRead = true;
    const bool read =
        forEachValue({}, in, out, err, [&](std::string_view value, const ValueSource& source) {
            if (value.empty() || sample.tooMany) return;
            if (source.cut) {
                err << "proxcred-cli: line " << source.number << ": longer than "
                    << LineReader::kDefaultLimit << " characters\n";
                allRead = false;
                return;
            }
            wiegand::readCard(value, options.in, library, scope, reading);
            if (!reading.error.empty()) {
                err << "proxcred-cli: line " << source.number << ": " << reading.error << '\n';
                allRead = false;
                return;
            }
            sample.take({source.number, std::string(value), 0}, reading);
        });
    if (!read) return 2;
    if (sample.tooMany) {
        err << "proxcred-cli: more than " << kMostReads
            << " cards: identify takes a sample of a site's cards\n";
        return 1;
    }
    const std::vector<SiteFormat> formats = wiegand::identify(sample.cards);
    (options.json ? writeJson : writeText)(formats, sample.unfit, sample.repeated,
                                           sample.cards.size(), out);
    return allRead ? 0 : 1;
}

}  // namespace proxcred::cli

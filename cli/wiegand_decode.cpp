// wiegand decode: every format a frame fits, a text block, a JSON line or CSV
// rows per value. Built for a million lines: the frames, the matches and the line are
// kept from value to value and written in place, so that a line costs no
// allocation.
#include <algorithm>
#include <array>

#include "cli/card_range.h"
#include "cli/csv.h"
#include "cli/input_values.h"
#include "cli/line_buffer.h"
#include "cli/line_reader.h"
#include "cli/wiegand_command.h"
#include "json_text/json_text.h"
#include "text/shown_text.h"

namespace proxcred::cli {
namespace {

using wiegand::FieldKind;
using wiegand::Format;
using wiegand::Frame;
using wiegand::Match;
using wiegand::ParityVerdict;

// Frames are plain ASCII digits: quoted as they are. Anything else goes
// through the JSON library.
void putQuoted(LineBuffer& line, std::string_view text) {
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        return c >= ' ' && c <= '~' && c != '"' && c != '\\';
    });
    if (plain) {
        line.put('"').put(text).put('"');
    } else {
        line.put(jsonText(std::string(text)));
    }
}

// The one length all items share, if they share one.
template <class Items, class LengthOf>
std::optional<int> commonLength(const Items& items, LengthOf lengthOf) {
    if (items.empty()) return std::nullopt;
    const int first = lengthOf(items.front());
    const bool same = std::all_of(items.begin(), items.end(),
                                  [&](const auto& item) { return lengthOf(item) == first; });
    return same ? std::optional<int>(first) : std::nullopt;
}

class Decoder {
  public:
    Decoder(const wiegand::Library& library, const WiegandOptions& options, const Format* only)
        : library_(library), options_(options), scope_{only, options.bits} {
        for (auto& openings : matchOpenings_) openings.resize(library.formats().size());
        for (const FieldKind kind : wiegand::kFieldKinds) {
            numberKeys_[static_cast<std::size_t>(kind)] =
                ", \"" + std::string(wiegand::fieldKey(kind)) + "\": ";
        }
        if (options.csv) line_.put("input,format,facility,card,issue,oem,parity,message\n");
    }

    // False when the value is not of the input form. `input` is what the
    // output names it by: the value itself, or the file it was read from.
    bool decode(std::string_view value, std::string_view input, std::string_view unit,
                std::size_t number, TextSink& out, TextSink& err) {
        wiegand::readCard(value, options_.in, library_, scope_, reading_);
        const std::string& error = reading_.error;
        if (!error.empty()) {
            err << "proxcred-cli: " << unit << " " << number << ": " << error << '\n';
            if (options_.json) appendErrorLine(input, error);
            if (options_.csv) appendCsvMessage(input, error);
        } else if (options_.csv) {
            appendCsvRows(input);
        } else {
            options_.json ? appendJsonLine(input) : appendTextBlock(input);
        }
        line_.writeWhenFull(out);
        return error.empty();
    }

    // A line past the reader's limit is never decoded from its first part:
    // leading zeros would read as card 0, and what follows would go unseen.
    void refuseLongLine(std::string_view value, std::size_t number, TextSink& out, TextSink& err) {
        const std::string why =
            "longer than " + std::to_string(LineReader::kDefaultLimit) + " characters";
        err << "proxcred-cli: line " << number << ": " << why << '\n';
        const std::string shown = std::string(value.substr(0, 16)) + "...";
        if (options_.csv) appendCsvMessage(shown, why);
        if (!options_.json) return;
        appendErrorLine(shown, why);
        line_.writeWhenFull(out);
    }

    // Writes out what is still kept.
    void finish(TextSink& out) { line_.writeTo(out); }

  private:
    void appendErrorLine(std::string_view value, std::string_view error) {
        line_.put("{\"input\": ");
        putQuoted(line_, value);
        line_.put(", \"error\": ").put(jsonText(std::string(error))).put("}\n");
    }

    void appendJsonLine(std::string_view value) {
        line_.put("{\"input\": ");
        putQuoted(line_, value);
        // The frame's length, where the matches (or the text) leave one.
        const std::optional<int> bits =
            reading_.matches.empty()
                ? commonLength(reading_.frames, [](const Frame& f) { return f.bits; })
                : commonLength(reading_.matches, [](const Match& m) { return m.format->bits; });
        if (bits) line_.put(", \"bits\": ").putNumber(static_cast<std::uint64_t>(*bits));
        line_.put(", \"matches\": [");
        for (const Match& match : reading_.matches) {
            if (&match != &reading_.matches.front()) line_.put(", ");
            appendJsonMatch(match);
        }
        line_.put("]}\n");
    }

    // What a match of a format writes ahead of its numbers, quoted once and
    // not once a line (a match's length is its format's), when it is first
    // needed: one value decoded needs a few of them, a file of them all.
    const std::string& matchOpening(const Format& format, ParityVerdict verdict) {
        const auto index = static_cast<std::size_t>(&format - library_.formats().data());
        std::string& opening = matchOpenings_[static_cast<std::size_t>(verdict)][index];
        if (opening.empty()) {
            opening = "{\"format\": " + jsonText(format.name) +
                      ", \"description\": " + jsonText(format.description) +
                      ", \"bits\": " + std::to_string(format.bits) + ", \"parity\": \"" +
                      std::string(wiegand::parityName(verdict)) + "\"";
        }
        return opening;
    }

    void appendJsonMatch(const Match& match) {
        line_.put(matchOpening(*match.format, match.decoded.parity));
        for (const FieldKind kind : wiegand::kFieldKinds) {
            if (const auto value = match.decoded.numbers[kind]) {
                line_.put(numberKeys_[static_cast<std::size_t>(kind)]);
                putJsonNumber(kind, *value);
            }
        }
        line_.put('}');
    }

    // The card number as printed: the offset taken off. A reading whose
    // number is smaller than the offset has none, and says so rather than
    // print a number no card carries.
    std::optional<std::uint64_t> printed(FieldKind kind, std::uint64_t value) const {
        if (kind != FieldKind::CardNumber || options_.offset == 0) return value;
        return printedCard(value, options_.offset);
    }

    std::string noPrintedCard(std::uint64_t encoded) const {
        return "card number " + std::to_string(encoded) +
               " as carried: no printed number with --offset " + std::to_string(options_.offset);
    }

    void putJsonNumber(FieldKind kind, std::uint64_t value) {
        if (const auto number = printed(kind, value)) {
            line_.putNumber(*number);
            return;
        }
        line_.put("null, \"encoded_card\": ").putNumber(value);
    }

    // CSV for import files: the best reading (every one with --all), a row
    // each, the input quoted and guarded against spreadsheet formulas; a
    // value that fits nothing keeps its row, with the reason.
    void appendCsvRows(std::string_view input) {
        if (reading_.matches.empty()) return appendCsvMessage(input, "no format fits");
        for (const Match& match : reading_.matches) {
            csvField_.clear();
            appendCsvField(csvField_, input);
            csvField_.push_back(',');
            appendCsvField(csvField_, match.format->name);
            line_.put(csvField_);
            std::string message;
            for (const FieldKind kind : wiegand::kFieldKinds) {
                line_.put(',');
                const auto value = match.decoded.numbers[kind];
                if (!value) continue;
                if (const auto number = printed(kind, *value)) {
                    line_.putNumber(*number);
                } else {
                    message = noPrintedCard(*value);
                }
            }
            line_.put(',')
                .put(wiegand::parityName(match.decoded.parity))
                .put(',')
                .put(message)
                .put('\n');
            if (!options_.all) break;
        }
    }

    void appendCsvMessage(std::string_view input, std::string_view message) {
        csvField_.clear();
        appendCsvField(csvField_, input);
        csvField_.append(",,,,,,,");
        appendCsvField(csvField_, message);
        line_.put(csvField_).put('\n');
    }

    void appendTextBlock(std::string_view value) {
        line_.put(shownText(value)).put('\n');
        if (reading_.matches.empty()) line_.put("  no format fits\n");
        for (const Match& match : reading_.matches) appendTextRow(match);
    }

    void appendTextRow(const Match& match) {
        constexpr std::size_t kDescriptionColumn = 12;
        constexpr std::size_t kNumbersColumn = 46;
        std::string row = "  " + match.format->name;
        row.resize(std::max(row.size() + 1, kDescriptionColumn), ' ');
        row += match.format->description;
        row.resize(std::max(row.size() + 1, kNumbersColumn), ' ');
        std::string numbers;
        for (const FieldKind kind : wiegand::kFieldKinds) {
            const auto value = match.decoded.numbers[kind];
            if (!value) continue;
            const auto number = printed(kind, *value);
            numbers +=
                std::string(numbers.empty() ? "" : ", ") +
                (number ? std::string(wiegand::fieldName(kind)) + " " + std::to_string(*number)
                        : noPrintedCard(*value));
        }
        line_.put(row).put(numbers).put("  (").putNumber(
            static_cast<std::uint64_t>(match.format->bits));
        line_.put(" bits, parity ").put(wiegand::parityName(match.decoded.parity)).put(")\n");
    }

    const wiegand::Library& library_;
    const WiegandOptions& options_;
    const wiegand::ReadScope scope_;
    // By parity verdict, then by format.
    std::array<std::vector<std::string>, wiegand::kParityVerdicts.size()> matchOpenings_;
    std::array<std::string, wiegand::kFieldKinds.size()> numberKeys_;
    wiegand::CardReading reading_;
    LineBuffer line_;
    std::string csvField_;
};

}  // namespace

int wiegandDecode(const wiegand::Library& library, const WiegandOptions& options, std::FILE* in,
                  TextSink& out, TextSink& err) {
    const Format* only = nullptr;
    if (!options.format.empty()) {
        only = library.find(options.format);
        if (only == nullptr) {
            err << "Unknown Wiegand format \"" << shownText(options.format) << "\"\n";
            return 1;
        }
    }
    Decoder decoder(library, options, only);
    bool allRead = true;
    bool filesRead = true;
    if (options.in == wiegand::CardForm::Flipper) {
        filesRead = forEachFile(options.values, in, err, [&](const WholeFile& file) {
            allRead =
                decoder.decode(file.text, file.name, "file", file.number, out, err) && allRead;
        });
        decoder.finish(out);
        return !filesRead ? 2 : allRead ? 0 : 1;
    }
    const bool read = forEachValue(
        options.values, in, out, err, [&](std::string_view value, const ValueSource& source) {
            // Blank lines separate groups of frames in a file.
            if (source.unit == "line" && value.empty()) return;
            if (source.cut) {
                decoder.refuseLongLine(value, source.number, out, err);
                allRead = false;
            } else if (!decoder.decode(value, value, source.unit, source.number, out, err)) {
                allRead = false;
            }
        });
    decoder.finish(out);
    return read && allRead ? 0 : 1;
}

}  // namespace proxcred::cli

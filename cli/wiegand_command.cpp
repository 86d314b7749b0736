#include "cli/wiegand_command.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <iomanip>
#include <nlohmann/json.hpp>

#include "cli/decimal.h"
#include "cli/input_values.h"
#include "cli/line_reader.h"
#include "json_text/json_text.h"
#include "json_text/shown_text.h"

namespace proxcred::cli {
namespace {

using wiegand::Decoded;
using wiegand::FieldKind;
using wiegand::Format;
using wiegand::Frame;
using wiegand::ParityVerdict;

std::string fieldSummary(const Format& format) {
    std::string summary;
    for (const wiegand::Field& field : format.fields) {
        if (!summary.empty()) summary += ", ";
        summary += std::string(wiegand::fieldKey(field.kind)) + " <= " + std::to_string(field.max);
        if (field.bcd) summary += " (BCD)";
    }
    return summary;
}

struct Match {
    const Format* format;
    int bits;
    Decoded decoded;
};

// Valid parity first, then formats without parity, then failed parity; the
// library's order within each.
int rank(ParityVerdict verdict) {
    switch (verdict) {
        case ParityVerdict::Ok:
            return 0;
        case ParityVerdict::None:
            return 1;
        case ParityVerdict::Fail:
            return 2;
    }
    return 3;
}

std::vector<Match> matchesOf(const wiegand::Library& library, const std::vector<Frame>& frames,
                             const Format* only) {
    std::vector<Match> matches;
    for (const Frame& frame : frames) {
        for (const Format& format : library.formats()) {
            if (only != nullptr && &format != only) continue;
            if (std::optional<Decoded> decoded = wiegand::decode(format, frame))
                matches.push_back({&format, frame.bits, *decoded});
        }
    }
    std::stable_sort(matches.begin(), matches.end(), [](const Match& a, const Match& b) {
        return rank(a.decoded.parity) < rank(b.decoded.parity);
    });
    return matches;
}

// A JSON Lines writer that quotes each format's name and description once:
// a million lines must not build a million JSON documents.
class JsonLines {
  public:
    explicit JsonLines(const wiegand::Library& library) : library_(library) {
        for (const Format& format : library.formats()) {
            prefixes_.push_back("{\"format\": " + jsonText(format.name) + ", \"description\": " +
                                jsonText(format.description) + ", \"bits\": ");
        }
    }

    std::string line(std::string_view input, const std::vector<Frame>& frames,
                     const std::vector<Match>& matches) const {
        std::string line;
        line.reserve(kTypicalLine);
        line += "{\"input\": ";
        appendQuoted(line, input);
        // The frame's length, where the matches (or the text) leave one.
        std::vector<int> lengths;
        lengths.reserve(std::max(matches.size(), frames.size()));
        for (const Match& match : matches) lengths.push_back(match.bits);
        if (lengths.empty()) {
            for (const Frame& frame : frames) lengths.push_back(frame.bits);
        }
        if (!lengths.empty() && std::all_of(lengths.begin(), lengths.end(),
                                            [&](int bits) { return bits == lengths.front(); })) {
            line += ", \"bits\": ";
            appendNumber(line, static_cast<std::uint64_t>(lengths.front()));
        }
        line += ", \"matches\": [";
        for (const Match& match : matches) {
            if (&match != &matches.front()) line += ", ";
            const auto index = static_cast<std::size_t>(match.format - library_.formats().data());
            line += prefixes_[index];
            appendNumber(line, static_cast<std::uint64_t>(match.bits));
            line += ", \"parity\": \"";
            line += wiegand::verdictText(match.decoded.parity);
            line += '"';
            for (const FieldKind kind : wiegand::kFieldKinds) {
                if (const auto value = match.decoded.numbers[kind]) {
                    line += ", \"";
                    line += wiegand::fieldKey(kind);
                    line += "\": ";
                    appendNumber(line, *value);
                }
            }
            line += '}';
        }
        return line + "]}";
    }

  private:
    static constexpr std::size_t kTypicalLine = 1024;

    static void appendNumber(std::string& line, std::uint64_t value) {
        std::array<char, 24> digits{};
        const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
        line.append(digits.data(), end);
    }

    // Frames are plain ASCII digits: quoted as they are. Anything else goes
    // through the JSON library.
    static void appendQuoted(std::string& line, std::string_view text) {
        const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
            return c >= ' ' && c <= '~' && c != '"' && c != '\\';
        });
        if (plain) {
            line.append(1, '"').append(text).append(1, '"');
        } else {
            line += jsonText(std::string(text));
        }
    }

    const wiegand::Library& library_;
    std::vector<std::string> prefixes_;
};

std::string textBlock(std::string_view input, const std::vector<Match>& matches) {
    std::string block = shownText(input) + "\n";
    if (matches.empty()) return block + "  no format fits\n";
    for (const Match& match : matches) {
        std::string row = "  " + match.format->name;
        row.resize(std::max<std::size_t>(row.size() + 1, 12), ' ');
        row += match.format->description;
        row.resize(std::max<std::size_t>(row.size() + 1, 46), ' ');
        std::string numbers;
        for (const FieldKind kind : wiegand::kFieldKinds) {
            if (const auto value = match.decoded.numbers[kind]) {
                numbers += std::string(numbers.empty() ? "" : ", ") +
                           std::string(wiegand::fieldName(kind)) + " " + std::to_string(*value);
            }
        }
        row += numbers + "  (" + std::to_string(match.bits) + " bits, parity " +
               std::string(wiegand::verdictText(match.decoded.parity)) + ")";
        block += row + "\n";
    }
    return block;
}

std::string capitalised(std::string_view text) {
    std::string capital(text);
    if (!capital.empty())
        capital[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(capital[0])));
    return capital;
}

// The numbers given, read as decimal and checked against the format's
// fields, with the text quoted as typed in every refusal.
std::optional<wiegand::CardNumbers> readNumbers(const Format& format, const FieldTexts& texts,
                                                std::string& refusal) {
    wiegand::CardNumbers numbers;
    for (const FieldKind kind : wiegand::kFieldKinds) {
        const std::optional<std::string>& text = texts[static_cast<std::size_t>(kind)];
        if (!text) continue;
        const wiegand::Field* field = format.field(kind);
        if (field == nullptr) {
            refusal = format.name + " has no " + std::string(wiegand::fieldName(kind));
            return std::nullopt;
        }
        std::string problem;
        const std::optional<std::uint64_t> value = readDecimal(*text, problem);
        if (value ? *value > field->max : problem == "is too large") {
            refusal = capitalised(wiegand::fieldName(kind)) + " " + shownText(*text) +
                      " is too large for " + format.name + ". " + std::to_string(field->max) +
                      " is max.";
            return std::nullopt;
        }
        if (!value) {
            refusal = numberRefusal(capitalised(wiegand::fieldName(kind)), *text, problem);
            return std::nullopt;
        }
        numbers[kind] = *value;
    }
    return numbers;
}

}  // namespace

int wiegandList(const wiegand::Library& library, bool json, std::ostream& out) {
    if (json) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const Format& format : library.formats()) {
            nlohmann::ordered_json object;
            object["name"] = format.name;
            object["description"] = format.description;
            object["source"] = format.source;
            object["bits"] = format.bits;
            object["parity"] = format.hasParity();
            object["fields"] = nlohmann::ordered_json::object();
            for (const wiegand::Field& field : format.fields)
                object["fields"][std::string(wiegand::fieldKey(field.kind))] = {{"max", field.max}};
            list.push_back(std::move(object));
        }
        out << list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        return 0;
    }
    out << std::left << std::setw(11) << "NAME" << std::right << std::setw(5) << "BITS"
        << "  " << std::left << std::setw(34) << "DESCRIPTION" << std::setw(7) << "PARITY"
        << "FIELDS (largest values)\n";
    for (const Format& format : library.formats()) {
        out << std::left << std::setw(11) << format.name << std::right << std::setw(5)
            << format.bits << "  " << std::left << std::setw(34) << shownText(format.description)
            << std::setw(7) << (format.hasParity() ? "yes" : "no") << fieldSummary(format) << '\n';
    }
    return 0;
}

int wiegandEncode(const wiegand::Library& library, const WiegandOptions& options, std::ostream& out,
                  std::ostream& err) {
    const Format* format = library.find(options.format);
    if (format == nullptr) {
        err << "Unknown Wiegand format \"" << shownText(options.format) << "\"\n";
        return 1;
    }
    std::string refusal;
    const std::optional<wiegand::CardNumbers> numbers =
        readNumbers(*format, options.fieldTexts, refusal);
    const wiegand::Encoded encoded =
        numbers ? wiegand::encode(*format, *numbers) : wiegand::Encoded{std::nullopt, refusal};
    if (!encoded.frame) {
        err << encoded.refusal << '\n';
        return 1;
    }
    if (const std::string_view why = wiegand::formRefusal(format->bits, options.out);
        !why.empty()) {
        err << format->name << ": " << why << '\n';
        return 1;
    }
    out << wiegand::frameText(*encoded.frame, options.out) << '\n';
    return 0;
}

int wiegandDecode(const wiegand::Library& library, const WiegandOptions& options, std::FILE* in,
                  std::ostream& out, std::ostream& err) {
    const Format* only = nullptr;
    if (!options.format.empty()) {
        only = library.find(options.format);
        if (only == nullptr) {
            err << "Unknown Wiegand format \"" << shownText(options.format) << "\"\n";
            return 1;
        }
    }
    bool allRead = true;
    std::string error;
    const JsonLines json(library);
    const auto decodeOne = [&](std::string_view value, std::string_view unit, std::size_t number) {
        const std::vector<Frame> frames = wiegand::framesOf(value, options.in, options.bits, error);
        if (!error.empty()) {
            allRead = false;
            err << "proxcred-cli: " << unit << " " << number << ": " << error << '\n';
            if (options.json) {
                out << "{\"input\": " << jsonText(std::string(value))
                    << ", \"error\": " << jsonText(error) << "}\n";
            }
            return;
        }
        const std::vector<Match> matches = matchesOf(library, frames, only);
        out << (options.json ? json.line(value, frames, matches) + "\n"
                             : textBlock(value, matches));
    };
    // A line past the reader's limit is never decoded from its first part:
    // leading zeros would read as card 0, and what follows would go unseen.
    const auto tooLong = [&](std::string_view value, std::size_t number) {
        allRead = false;
        const std::string why =
            "longer than " + std::to_string(LineReader::kDefaultLimit) + " characters";
        err << "proxcred-cli: line " << number << ": " << why << '\n';
        if (options.json) {
            out << "{\"input\": " << jsonText(std::string(value.substr(0, 16)) + "...")
                << ", \"error\": " << jsonText(why) << "}\n";
        }
    };
    const bool read = forEachValue(options.values, in, out, err,
                                   [&](std::string_view value, const ValueSource& source) {
                                       // Blank lines separate groups of frames in a file.
                                       if (source.unit == "line" && value.empty()) return;
                                       if (!source.cut)
                                           return decodeOne(value, source.unit, source.number);
                                       tooLong(value, source.number);
                                   });
    if (!read) return 1;
    return allRead ? 0 : 1;
}

}  // namespace proxcred::cli

#include "cli/split_command.h"

#include <array>
#include <charconv>

#include "cli/input_values.h"
#include "cli/line_reader.h"
#include "formats/card_format.h"
#include "json_text/json_text.h"
#include "json_text/shown_text.h"
#include "split/split_card.h"

namespace proxcred::cli {
namespace {

// The third field as JSON and the table name it.
std::string_view jsonName(ThirdField third) {
    return third == ThirdField::Version ? "version" : "number";
}
std::string_view tableName(ThirdField third) {
    return third == ThirdField::Version ? "version" : "without facility code";
}

std::string jsonString(std::string_view text) {
    return jsonText(std::string(text));
}

std::string badCharacterError(std::string_view cardData, std::size_t at) {
    return shownByte(cardData[at]) + " at position " + std::to_string(at + 1) +
           " is not an octal digit";
}

std::optional<SplitResult> splitOrExplain(std::string_view cardData, std::string& error) {
    std::size_t badAt = 0;
    std::optional<SplitResult> result = splitCardData(cardData, &badAt);
    error = result ? std::string() : badCharacterError(cardData, badAt);
    return result;
}

void appendJsonField(std::string& json, std::string_view name, const FieldValue& field) {
    json.append(", \"").append(name).append("\": ");
    if (!field) {
        json.append("null");  // none of the field's bits exist
        return;
    }
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.begin(), digits.end(), *field).ptr;
    json.append(digits.begin(), end);
}

std::string tableFields(const FormatReading& reading) {
    const auto field = [](std::string_view name, const FieldValue& value) {
        return std::string(name) + " " + (value ? std::to_string(*value) : "(empty)");
    };
    std::string text = field("hotstamp", reading.fields.hotstamp) + ", " +
                       field("facility code", reading.fields.facilityCode);
    if (hasThirdField(reading.format)) {
        text += ", " + field(tableName(formatInfo(reading.format).third), reading.fields.third);
    }
    return text;
}

}  // namespace

std::string splitJson(std::string_view cardData, std::string& error) {
    const std::optional<SplitResult> result = splitOrExplain(cardData, error);
    if (!result) {
        return "{\"data\": " + jsonString(cardData) + ", \"error\": " + jsonString(error) + "}";
    }
    // Card data that split holds only octal digits: nothing in it needs escaping.
    constexpr std::size_t kTypicalLine = 1200;
    std::string json;
    json.reserve(kTypicalLine + 4 * cardData.size());
    json.append("{\"data\": \"").append(cardData).append("\", \"bits\": \"");
    json.append(result->bits).append("\", \"results\": [");
    for (const FormatReading& reading : result->readings) {
        const CardFormatInfo& info = formatInfo(reading.format);
        if (reading.format != CardFormat::Bit26) json.append(", ");
        json.append("{\"format\": \"").append(info.key).append("\", \"name\": \"");
        json.append(info.caption).append("\", \"match\": ");
        if (!reading.match) {
            json.append("false, \"verdict\": \"").append(verdictText(reading.format)).append("\"}");
            continue;
        }
        json.append("true");
        appendJsonField(json, "hotstamp", reading.fields.hotstamp);
        appendJsonField(json, "facility", reading.fields.facilityCode);
        if (hasThirdField(reading.format)) {
            appendJsonField(json, jsonName(info.third), reading.fields.third);
        }
        json.append("}");
    }
    return json + "]}";
}

std::string splitTable(std::string_view cardData, std::string& error) {
    const std::optional<SplitResult> result = splitOrExplain(cardData, error);
    if (!result) return {};
    std::string table =
        "card data  " + std::string(cardData) + "\nbits       " + result->bits + "\n";
    for (const FormatReading& reading : result->readings) {
        std::string row = "  " + std::string(formatInfo(reading.format).caption);
        row.resize(20, ' ');
        row.append(reading.match ? tableFields(reading) : std::string(verdictText(reading.format)));
        table.append(row).append("\n");
    }
    return table;
}

int splitCommand(const std::vector<std::string>& cardData, std::FILE* in, SplitStyle style,
                 std::ostream& out, std::ostream& err) {
    bool allSplit = true;
    bool first = true;
    std::string error;
    const auto splitOne = [&](std::string_view data, std::string_view unit, std::size_t number) {
        if (style == SplitStyle::JsonLines) {
            out << splitJson(data, error) << '\n';
        } else {
            const std::string table = splitTable(data, error);
            if (!table.empty()) out << (first ? "" : "\n") << table;
            first = first && table.empty();
        }
        if (!error.empty()) {
            err << "proxcred-cli: " << unit << " " << number << ": " << error << '\n';
            allSplit = false;
        }
    };

    const bool read =
        forEachValue(cardData, in, out, err, [&](std::string_view data, const ValueSource& source) {
            if (!source.cut) return splitOne(data, source.unit, source.number);
            const std::string limit = std::to_string(LineReader::kDefaultLimit);
            err << "proxcred-cli: line " << source.number << ": longer than " << limit
                << " characters\n";
            if (style == SplitStyle::JsonLines) {
                out << "{\"data\": " << jsonString(std::string(data.substr(0, 16)) + "...")
                    << ", \"error\": \"longer than " << limit << " characters\"}\n";
            }
            allSplit = false;
        });
    if (!read) return 1;
    return allSplit ? 0 : 1;
}

}  // namespace proxcred::cli

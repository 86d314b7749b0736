#include "cli/split_command.h"

#include "cli/input_values.h"
#include "cli/line_buffer.h"
#include "cli/line_reader.h"
#include "formats/card_format.h"
#include "json_text/json_text.h"
#include "split/card_bits.h"
#include "split/split_card.h"
#include "text/shown_text.h"

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

void putJsonField(LineBuffer& line, std::string_view name, const FieldValue& field) {
    line.put(", \"").put(name).put("\": ");
    if (field) {
        line.putNumber(*field);
    } else {
        line.put("null");  // none of the field's bits exist
    }
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

void appendSplitJson(LineBuffer& line, std::string_view cardData, std::string& error) {
    const std::optional<SplitResult> result = splitOrExplain(cardData, error);
    if (!result) {
        line.put("{\"data\": ").put(jsonString(cardData)).put(", \"error\": ");
        line.put(jsonString(error)).put('}');
        return;
    }
    // Card data that split holds only octal digits: nothing in it needs escaping.
    line.put("{\"data\": \"").put(cardData).put("\", \"bits\": \"");
    writeCardBits(cardData, line.extend(3 * cardData.size()));
    line.put("\", \"results\": [");
    for (const FormatReading& reading : result->readings) {
        const CardFormatInfo& info = formatInfo(reading.format);
        if (reading.format != CardFormat::Bit26) line.put(", ");
        line.put("{\"format\": \"").put(info.key).put("\", \"name\": \"");
        line.put(info.caption).put("\", \"match\": ");
        if (!reading.match) {
            line.put("false, \"verdict\": \"").put(verdictText(reading.format)).put("\"}");
            continue;
        }
        line.put("true");
        putJsonField(line, "hotstamp", reading.fields.hotstamp);
        putJsonField(line, "facility", reading.fields.facilityCode);
        if (hasThirdField(reading.format))
            putJsonField(line, jsonName(info.third), reading.fields.third);
        line.put('}');
    }
    line.put("]}");
}

std::string splitTable(std::string_view cardData, std::string& error) {
    const std::optional<SplitResult> result = splitOrExplain(cardData, error);
    if (!result) return {};
    std::string table = "card data  " + std::string(cardData) + "\nbits       " +
                        cardDataToBits(cardData).bits + "\n";
    for (const FormatReading& reading : result->readings) {
        std::string row = "  " + std::string(formatInfo(reading.format).caption);
        row.resize(20, ' ');
        row.append(reading.match ? tableFields(reading) : std::string(verdictText(reading.format)));
        table.append(row).append("\n");
    }
    return table;
}

int splitCommand(const std::vector<std::string>& cardData, std::FILE* in, SplitStyle style,
                 TextSink& out, TextSink& err) {
    bool allSplit = true;
    bool first = true;
    std::string error;
    LineBuffer lines;  // the JSON lines, written out a block at a time
    const auto splitOne = [&](std::string_view data, std::string_view unit, std::size_t number) {
        if (style == SplitStyle::JsonLines) {
            appendSplitJson(lines, data, error);
            lines.put('\n').writeWhenFull(out);
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
    const auto refuseLongLine = [&](std::string_view data, std::size_t number) {
        const std::string why =
            "longer than " + std::to_string(LineReader::kDefaultLimit) + " characters";
        err << "proxcred-cli: line " << number << ": " << why << '\n';
        if (style == SplitStyle::JsonLines) {
            lines.put("{\"data\": ").put(jsonString(std::string(data.substr(0, 16)) + "..."));
            lines.put(", \"error\": ").put(jsonString(why)).put("}\n");
        }
        allSplit = false;
    };

    const bool read =
        forEachValue(cardData, in, out, err, [&](std::string_view data, const ValueSource& source) {
            if (source.cut) return refuseLongLine(data, source.number);
            splitOne(data, source.unit, source.number);
        });
    lines.writeTo(out);
    return read && allSplit ? 0 : 1;
}

}  // namespace proxcred::cli

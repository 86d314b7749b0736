#include "cli/encode_command.h"

#include <algorithm>
#include <cctype>

#include "cli/csv.h"
#include "cli/progress.h"
#include "formats/numeric_text.h"
#include "formats/prox_data.h"

namespace proxcred::cli {
namespace {

// The box's text as the encoders get it, or the reason it cannot be used.
struct BoxNumber {
    std::string text;
    std::int32_t value = 0;
    std::string problem;
};

BoxNumber readBox(std::string_view name, std::string_view raw) {
    const std::string_view trimmed = trimBlanks(raw);
    BoxNumber box{trimmed.empty() ? "0" : std::string(trimmed), 0, {}};
    if (!isNumeric(box.text)) {
        box.problem = std::string(name) + " \"" + std::string(raw) + "\" is not a number";
        return box;
    }
    const Outcome<std::int32_t> value = textToInt32(box.text);
    if (!value) {
        box.problem = failureMessage(value.failure());
        return box;
    }
    box.value = *value;
    return box;
}

EncodedRow problemRow(std::string message) {
    return EncodedRow{{}, std::move(message), false};
}

bool isHeader(const std::vector<std::string>& fields) {
    std::string first = fields.front();
    std::transform(first.begin(), first.end(), first.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return trimBlanks(first) == "format";
}

}  // namespace

EncodedRow encodeRow(std::string_view key, std::string_view hotstamp, std::string_view facility,
                     std::string_view version) {
    if (trimBlanks(hotstamp).empty()) return problemRow("No hotstamp number");
    const BoxNumber facilityBox = readBox("Facility code", facility);
    if (!facilityBox.problem.empty()) return problemRow(facilityBox.problem);
    const BoxNumber versionBox = readBox("Version", version);
    if (!versionBox.problem.empty()) return problemRow(versionBox.problem);

    const ProxOutcome outcome =
        calcProxData({hotstamp, key, facilityBox.value, facilityBox.text, versionBox.text});
    EncodedRow row{outcome.text(), outcome.message(), outcome.kind == ProxOutcome::Kind::Card};
    if (outcome.kind == ProxOutcome::Kind::UnknownFormat) {
        row.message = "Unknown card format \"" + std::string(key) + "\"";
    }
    return row;
}

int encodeHotstamps(std::string_view key, std::string_view facility, std::string_view version,
                    const std::vector<std::string>& hotstamps, std::ostream& out,
                    std::ostream& err) {
    bool allEncoded = true;
    for (const std::string& hotstamp : hotstamps) {
        const EncodedRow row = encodeRow(key, hotstamp, facility, version);
        out << row.proxData << '\n';
        if (!row.message.empty()) err << row.message << '\n';
        allEncoded = allEncoded && row.encoded;
        if (!out) break;  // the caller reports a failed write
    }
    return allEncoded ? 0 : 1;
}

int encodeCsv(std::FILE* in, std::ostream& out, std::ostream& err) {
    LineReader lines(in);
    CsvReader reader(lines);
    Progress progress("rows");
    std::vector<std::string> fields;
    std::string malformed;
    std::size_t rows = 0;
    std::size_t encoded = 0;
    std::size_t refused = 0;
    while (out && reader.next(fields, malformed)) {
        progress.advance(++rows);
        if (fields.size() == 1 && fields.front().empty() && malformed.empty()) continue;
        if (rows == 1 && isHeader(fields)) {
            fields.insert(fields.end(), {"prox_data", "message"});
            out << csvRecord(fields) << '\n';
            continue;
        }
        EncodedRow row;
        if (!malformed.empty()) {
            row = problemRow("Line " + std::to_string(reader.lineNumber()) + ": " + malformed);
        } else if (fields.size() < 2 || fields.size() > 4) {
            row = problemRow("Expected format,hotstamp,facility,version");
        } else {
            fields.resize(4);
            row = encodeRow(fields[0], fields[1], fields[2], fields[3]);
        }
        ++(row.encoded ? encoded : refused);
        fields.push_back(std::move(row.proxData));
        fields.push_back(std::move(row.message));
        out << csvRecord(fields) << '\n';
    }
    if (lines.failed()) {
        err << "proxcred-cli: cannot read the input\n";
        return 1;
    }
    // The reasons stay in the CSV's message column; the summary says there
    // are some to look for.
    if (refused == 0) return 0;
    err << "proxcred-cli: " << refused << " of " << refused + encoded << " rows refused\n";
    return 1;
}

}  // namespace proxcred::cli

#include "cli/encode_command.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "cli/csv.h"
#include "cli/csv_batch.h"
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
    const Outcome<std::int32_t> value = textToInt32(box.text);
    if (value) {
        box.value = *value;
    } else if (value.failure() == ConversionFailure::NotANumber) {
        box.problem = std::string(name) + " \"" + std::string(raw) + "\" is not a number";
    } else {
        box.problem = failureMessage(value.failure());
    }
    return box;
}

EncodedRow problemRow(std::string message) {
    return EncodedRow{{}, std::move(message)};
}

}  // namespace

EncodedRow encodeRow(std::string_view key, std::string_view hotstamp, std::string_view facility,
                     std::string_view version) {
    if (trimBlanks(hotstamp).empty()) return problemRow("No hotstamp number");
    const BoxNumber facilityBox = readBox("Facility code", facility);
    if (!facilityBox.problem.empty()) return problemRow(facilityBox.problem);
    const BoxNumber versionBox = readBox("Version", version);
    if (!versionBox.problem.empty()) return problemRow(versionBox.problem);

    EncodedRow row{
        calcProxData({hotstamp, key, facilityBox.value, facilityBox.text, versionBox.text}), {}};
    row.message = row.outcome.kind == ProxOutcome::Kind::UnknownFormat
                      ? "Unknown card format \"" + std::string(key) + "\""
                      : row.outcome.message();
    return row;
}

int encodeHotstamps(std::string_view key, std::string_view facility, std::string_view version,
                    const std::vector<std::string>& hotstamps, TextSink& out, TextSink& err) {
    bool allEncoded = true;
    for (const std::string& hotstamp : hotstamps) {
        const EncodedRow row = encodeRow(key, hotstamp, facility, version);
        out << row.outcome.text() << '\n';
        if (!row.message.empty()) err << row.message << '\n';
        allEncoded = allEncoded && row.encoded();
        if (!out.ok()) break;  // the caller reports a failed write
    }
    return allEncoded ? 0 : 1;
}

int encodeCsv(std::FILE* in, std::string_view source, TextSink& out, TextSink& err) {
    static constexpr std::array<CsvColumn, 4> kColumns{
        {{"format", true}, {"hotstamp", true}, {"facility", false}, {"version", false}}};
    constexpr CsvBatch kRows{kColumns, "prox_data,message", 2};
    return encodeCsvBatch(in, source, out, err, kRows,
                          [](const CsvRow& row, std::size_t, std::string& added) {
                              const EncodedRow encoded = encodeRow(row[0], row[1], row[2], row[3]);
                              added.push_back(',');
                              encoded.outcome.appendText(added);
                              added.push_back(',');
                              appendCsvField(added, encoded.message);
                              return encoded.encoded();
                          });
}

}  // namespace proxcred::cli

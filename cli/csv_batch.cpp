#include "cli/csv_batch.h"

#include <algorithm>
#include <cctype>

#include "cli/csv.h"
#include "cli/line_reader.h"
#include "cli/progress.h"

namespace proxcred::cli {
namespace {

bool isHeader(const std::vector<std::string>& fields) {
    std::string_view first = fields.front();
    while (!first.empty() && first.front() == ' ') first.remove_prefix(1);
    while (!first.empty() && first.back() == ' ') first.remove_suffix(1);
    constexpr std::string_view kFirstColumn = "format";
    return std::equal(
        first.begin(), first.end(), kFirstColumn.begin(), kFirstColumn.end(),
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

bool isBlank(const std::vector<std::string>& fields) {
    return fields.size() == 1 && fields.front().empty();
}

// The added columns of a row that could not be encoded.
void appendRefusal(std::string& added, std::string_view message) {
    added.append(",,");
    appendCsvField(added, message);
}

}  // namespace

int encodeCsvBatch(std::FILE* in, std::ostream& out, std::ostream& err, const CsvBatch& batch,
                   const CsvRowEncoder& encodeRow) {
    LineReader lines(in);
    CsvReader reader(lines);
    Progress progress("rows");
    std::vector<std::string> fields;
    std::string malformed;
    std::string line;
    std::string added;
    std::size_t rows = 0;
    std::size_t encoded = 0;
    std::size_t refused = 0;
    while (out && reader.next(fields, malformed)) {
        progress.advance(++rows);
        if (isBlank(fields) && malformed.empty()) continue;
        line.clear();
        added.clear();
        if (rows == 1 && isHeader(fields)) {
            added.append(",").append(batch.addedColumns);
        } else if (!malformed.empty()) {
            appendRefusal(added, "Line " + std::to_string(reader.lineNumber()) + ": " + malformed);
            ++refused;
        } else if (fields.size() < batch.fewestFields || fields.size() > batch.mostFields) {
            appendRefusal(added, batch.expected);
            ++refused;
        } else {
            ++(encodeRow(fields, added) ? encoded : refused);
        }
        appendCsvRecord(line, fields);
        line.append(added).push_back('\n');
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
    if (lines.failed()) {
        err << "proxcred-cli: cannot read the input\n";
        return 1;
    }
    // The reasons stay in the CSV's message column; the summary says there
    // are some to look for.
    if (refused == 0) return 0;
    err << "proxcred-cli: " << refused << " of " << encoded + refused << " rows refused\n";
    return 1;
}

}  // namespace proxcred::cli

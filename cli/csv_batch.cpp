#include "cli/csv_batch.h"

#include <algorithm>
#include <cctype>

#include "cli/csv.h"
#include "cli/line_reader.h"
#include "cli/progress.h"
#include "json_text/shown_text.h"

namespace proxcred::cli {
namespace {

std::string_view trimmedSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view given, std::string_view name) {
    given = trimmedSpaces(given);
    return std::equal(given.begin(), given.end(), name.begin(), name.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

// A first row that starts with a column's name: no format is named so.
bool isHeader(const std::vector<std::string>& fields, const CsvBatch& batch) {
    return std::any_of(batch.columns.begin(), batch.columns.end(), [&](const CsvColumn& column) {
        return sameName(fields.front(), column.name);
    });
}

bool isBlank(const std::vector<std::string>& fields) {
    return fields.size() == 1 && fields.front().empty();
}

// The added columns of a row that could not be encoded.
void appendRefusal(std::string& added, std::string_view message) {
    added.append(",,");
    appendCsvField(added, message);
}

std::string columnList(const CsvBatch& batch) {
    std::string list;
    for (const CsvColumn& column : batch.columns)
        list += (list.empty() ? "" : ", ") + std::string(column.name);
    return list;
}

// Which field of a row holds each of the batch's columns: by the header's
// names, or in the batch's order.
class ColumnMap {
  public:
    explicit ColumnMap(const CsvBatch& batch) : batch_(batch) {
        for (std::size_t column = 0; column < batch.columns.size(); ++column)
            fieldOf_.push_back(column);
        width_ = batch.columns.size();
        fewest_ = batch.fewestFields;
        expected_ = "Expected ";
        for (const CsvColumn& column : batch.columns)
            expected_ += std::string(column.name) + (&column == &batch.columns.back() ? "" : ",");
    }

    // Takes a header's names; the problem with them, or empty.
    std::string readHeader(const std::vector<std::string>& names);

    // The row by column; a refusal when it has too few fields or too many.
    bool arrange(std::vector<std::string>& fields, CsvRow& row) const {
        if (fields.size() < fewest_ || fields.size() > width_) return false;
        fields.resize(width_);
        row.assign(batch_.columns.size(), {});
        for (std::size_t column = 0; column < fieldOf_.size(); ++column) {
            if (fieldOf_[column] < fields.size()) row[column] = fields[fieldOf_[column]];
        }
        return true;
    }

    const std::string& expected() const { return expected_; }

  private:
    static constexpr std::size_t kAbsent = ~std::size_t{0};

    const CsvBatch& batch_;
    std::vector<std::size_t> fieldOf_;  // by column: the field holding it
    std::size_t width_ = 0;             // fields a row may have
    std::size_t fewest_ = 0;            // fields a row needs
    std::string expected_;
};

std::string ColumnMap::readHeader(const std::vector<std::string>& names) {
    std::fill(fieldOf_.begin(), fieldOf_.end(), kAbsent);
    for (std::size_t field = 0; field < names.size(); ++field) {
        const auto column = std::find_if(
            batch_.columns.begin(), batch_.columns.end(),
            [&](const CsvColumn& known) { return sameName(names[field], known.name); });
        if (column == batch_.columns.end())
            return "unknown column \"" + shownText(trimmedSpaces(names[field])) +
                   "\" (the columns are " + columnList(batch_) + ")";
        std::size_t& at = fieldOf_[static_cast<std::size_t>(column - batch_.columns.begin())];
        if (at != kAbsent) return "the column \"" + std::string(column->name) + "\" appears twice";
        at = field;
    }
    fewest_ = 1;
    for (std::size_t column = 0; column < batch_.columns.size(); ++column) {
        if (!batch_.columns[column].required) continue;
        if (fieldOf_[column] == kAbsent)
            return "no \"" + std::string(batch_.columns[column].name) + "\" column";
        fewest_ = std::max(fewest_, fieldOf_[column] + 1);
    }
    width_ = names.size();
    expected_ = "Expected ";
    for (const std::string& name : names)
        expected_ += shownText(trimmedSpaces(name)) + (&name == &names.back() ? "" : ",");
    return {};
}

// Reads the batch row by row, each written out with its added columns.
class BatchRun {
  public:
    BatchRun(std::FILE* in, const CsvBatch& batch)
        : lines_(in), reader_(lines_), batch_(batch), columns_(batch) {}

    // False at the end of the input; `problem` tells why a header cannot be used.
    bool next(std::ostream& out, const CsvRowEncoder& encodeRow, std::string& problem) {
        if (!reader_.next(fields_, malformed_)) return false;
        progress_.advance(++rows_);
        if (isBlank(fields_) && malformed_.empty()) return true;
        added_.clear();
        if (rows_ == 1 && malformed_.empty() && isHeader(fields_, batch_)) {
            problem = columns_.readHeader(fields_);
            if (!problem.empty()) return false;
            added_.append(",").append(batch_.addedColumns);
        } else {
            encodeOne(encodeRow);
        }
        line_.clear();
        appendCsvRecord(line_, fields_);
        line_.append(added_).push_back('\n');
        out.write(line_.data(), static_cast<std::streamsize>(line_.size()));
        return true;
    }

    bool readFailed() const { return lines_.failed(); }
    std::size_t encoded() const { return encoded_; }
    std::size_t refused() const { return refused_; }

  private:
    void encodeOne(const CsvRowEncoder& encodeRow) {
        if (!malformed_.empty()) {
            appendRefusal(added_,
                          "Line " + std::to_string(reader_.lineNumber()) + ": " + malformed_);
            ++refused_;
        } else if (!columns_.arrange(fields_, row_)) {
            appendRefusal(added_, columns_.expected());
            ++refused_;
        } else {
            ++(encodeRow(row_, added_) ? encoded_ : refused_);
        }
    }

    LineReader lines_;
    CsvReader reader_;
    const CsvBatch& batch_;
    ColumnMap columns_;
    Progress progress_{"rows"};
    std::vector<std::string> fields_;
    CsvRow row_;
    std::string malformed_;
    std::string line_;
    std::string added_;
    std::size_t rows_ = 0;
    std::size_t encoded_ = 0;
    std::size_t refused_ = 0;
};

}  // namespace

int encodeCsvBatch(std::FILE* in, std::string_view source, std::ostream& out, std::ostream& err,
                   const CsvBatch& batch, const CsvRowEncoder& encodeRow) {
    BatchRun run(in, batch);
    std::string problem;
    while (out && run.next(out, encodeRow, problem)) {
    }
    if (!problem.empty()) {
        err << "proxcred-cli: " << shownText(source) << ": " << problem << '\n';
        return 2;
    }
    if (run.readFailed()) {
        err << "proxcred-cli: cannot read the input\n";
        return 1;
    }
    // The reasons stay in the CSV's message column; the summary says there
    // are some to look for.
    if (run.refused() == 0) return 0;
    err << "proxcred-cli: " << run.refused() << " of " << run.encoded() + run.refused()
        << " rows refused\n";
    return 1;
}

}  // namespace proxcred::cli

#include "cli/csv_batch.h"

#include <algorithm>
#include <cctype>

#include "cli/card_range.h"
#include "cli/csv.h"
#include "cli/line_reader.h"
#include "cli/progress.h"
#include "text/shown_text.h"

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

// Whether a header's name is one of the columns a batch adds: a file the
// tool wrote, read again, carries its results, which are not input.
bool isResultColumn(std::string_view name, const CsvBatch& batch) {
    for (std::string_view added = batch.addedColumns; !added.empty();) {
        const std::size_t comma = std::min(added.find(','), added.size());
        if (sameName(name, added.substr(0, comma))) return true;
        added.remove_prefix(std::min(comma + 1, added.size()));
    }
    return false;
}

// Which field of a row holds each of the batch's columns, and which fields a
// row is written back with: by the header's names, or in the batch's order.
class ColumnMap {
  public:
    explicit ColumnMap(const CsvBatch& batch) : batch_(batch), fewest_(batch.fewestFields) {
        for (std::size_t column = 0; column < batch.columns.size(); ++column) {
            fieldOf_.push_back(column);
            kept_.push_back(column);
            expected_ += (column == 0 ? "" : ",") + std::string(batch.columns[column].name);
        }
        fields_ = batch.columns.size();
    }

    // Takes a header's names; the problem with them, or empty.
    std::string readHeader(const std::vector<std::string>& names);

    // The row by column; false when it has too few fields or too many.
    bool arrange(const std::vector<std::string>& fields, CsvRow& row) const {
        if (fields.size() < fewest_ || fields.size() > fields_) return false;
        row.assign(batch_.columns.size(), {});
        for (std::size_t column = 0; column < fieldOf_.size(); ++column) {
            if (fieldOf_[column] < fields.size()) row[column] = fields[fieldOf_[column]];
        }
        return true;
    }

    // Where a column's field stands among those a row is written back with;
    // kNoColumn when the row has no such field.
    std::size_t keptPlaceOf(std::size_t column) const {
        const auto place = std::find(kept_.begin(), kept_.end(), fieldOf_[column]);
        return place == kept_.end() ? CsvBatch::kNoColumn
                                    : static_cast<std::size_t>(place - kept_.begin());
    }

    // The fields a row is written back with: exactly its input columns, so
    // that the results always stand under their names.
    void keep(const std::vector<std::string>& fields, CsvRow& kept) const {
        kept.clear();
        for (const std::size_t field : kept_)
            kept.emplace_back(field < fields.size() ? std::string_view(fields[field]) : "");
    }

    std::string expected(std::size_t fields) const {
        return "Expected " + expected_ + " (the row has " + std::to_string(fields) +
               (fields == 1 ? " field)" : " fields)");
    }

  private:
    static constexpr std::size_t kAbsent = ~std::size_t{0};

    const CsvBatch& batch_;
    std::vector<std::size_t> fieldOf_;  // by column: the field holding it
    std::vector<std::size_t> kept_;     // the input fields, written back in order
    std::size_t fields_ = 0;            // fields a row may have
    std::size_t fewest_ = 0;            // fields a row needs
    std::string expected_;              // the input columns, as the header names them
};

std::string ColumnMap::readHeader(const std::vector<std::string>& names) {
    std::fill(fieldOf_.begin(), fieldOf_.end(), kAbsent);
    kept_.clear();
    expected_.clear();
    for (std::size_t field = 0; field < names.size(); ++field) {
        if (isResultColumn(names[field], batch_)) continue;
        const auto column = std::find_if(
            batch_.columns.begin(), batch_.columns.end(),
            [&](const CsvColumn& known) { return sameName(names[field], known.name); });
        if (column == batch_.columns.end())
            return "unknown column \"" + shownText(trimmedSpaces(names[field])) +
                   "\" (the columns are " + columnList(batch_) + ")";
        std::size_t& at = fieldOf_[static_cast<std::size_t>(column - batch_.columns.begin())];
        if (at != kAbsent) return "the column \"" + std::string(column->name) + "\" appears twice";
        at = field;
        expected_ += (kept_.empty() ? "" : ",") + shownText(trimmedSpaces(names[field]));
        kept_.push_back(field);
    }
    fewest_ = 1;
    for (std::size_t column = 0; column < batch_.columns.size(); ++column) {
        if (!batch_.columns[column].required) continue;
        if (fieldOf_[column] == kAbsent)
            return "no \"" + std::string(batch_.columns[column].name) + "\" column";
        fewest_ = std::max(fewest_, fieldOf_[column] + 1);
    }
    fields_ = names.size();
    return {};
}

// Reads the batch row by row, each written out with its added columns.
class BatchRun {
  public:
    BatchRun(std::FILE* in, const CsvBatch& batch)
        : lines_(in), reader_(lines_), batch_(batch), columns_(batch) {}

    // False at the end of the input; `problem` tells why a header cannot be used.
    bool next(TextSink& out, const CsvRowEncoder& encodeRow, const CsvRangeCheck& checkRange,
              std::string& problem) {
        if (!reader_.next(fields_, malformed_)) return false;
        progress_.advance(++rows_);
        if (isBlank(fields_) && malformed_.empty()) return true;
        added_.clear();
        if (rows_ == 1 && malformed_.empty() && isHeader(fields_, batch_)) {
            problem = columns_.readHeader(fields_);
            if (!problem.empty()) return false;
            added_.append(",").append(batch_.addedColumns);
        } else if (const std::optional<CardRange> range = rangeOfRow()) {
            if (writeRange(*range, out, encodeRow, checkRange)) return true;
        } else {
            encodeOne(encodeRow);
        }
        columns_.keep(fields_, kept_);
        writeRow(out);
        return true;
    }

    bool readFailed() const { return lines_.failed(); }
    std::size_t encoded() const { return encoded_; }
    std::size_t refused() const { return refused_; }

  private:
    void writeRow(TextSink& out) {
        line_.clear();
        appendCsvRecord(line_, kept_);
        line_.append(added_).push_back('\n');
        out.write(line_);
    }

    // The range a well-formed row gives in the range column, if it gives one.
    std::optional<CardRange> rangeOfRow() {
        if (batch_.rangeColumn == CsvBatch::kNoColumn || !malformed_.empty() ||
            !columns_.arrange(fields_, row_))
            return std::nullopt;
        rangeError_.clear();
        return readCardRange(row_[batch_.rangeColumn], rangeError_);
    }

    // Writes a row for every number of the range, each with its number in
    // place of the range; true when it did. A range refused (not a range of
    // numbers, or one the encoder refuses before anything is written) leaves
    // the row's refusal for the caller to write in its place.
    bool writeRange(const CardRange& range, TextSink& out, const CsvRowEncoder& encodeRow,
                    const CsvRangeCheck& checkRange) {
        if (rangeError_.empty() && checkRange)
            rangeError_ = checkRange(row_, range.first, range.last);
        if (!rangeError_.empty()) {
            appendRefusal(added_, rangeError_);
            ++refused_;
            return false;
        }
        columns_.keep(fields_, kept_);
        const std::size_t place = columns_.keptPlaceOf(batch_.rangeColumn);
        for (std::uint64_t card = range.first;; ++card) {
            number_ = std::to_string(card);
            row_[batch_.rangeColumn] = number_;
            if (place != CsvBatch::kNoColumn) kept_[place] = number_;
            added_.clear();
            ++(encodeRow(row_, rows_, added_) ? encoded_ : refused_);
            writeRow(out);
            if (card == range.last || !out.ok()) return true;
        }
    }

    void encodeOne(const CsvRowEncoder& encodeRow) {
        if (!malformed_.empty()) {
            appendRefusal(added_,
                          "Line " + std::to_string(reader_.lineNumber()) + ": " + malformed_);
            ++refused_;
        } else if (!columns_.arrange(fields_, row_)) {
            appendRefusal(added_, columns_.expected(fields_.size()));
            ++refused_;
        } else {
            ++(encodeRow(row_, rows_, added_) ? encoded_ : refused_);
        }
    }

    LineReader lines_;
    CsvReader reader_;
    const CsvBatch& batch_;
    ColumnMap columns_;
    Progress progress_{"rows"};
    std::vector<std::string> fields_;
    CsvRow row_;
    CsvRow kept_;
    std::string malformed_;
    std::string line_;
    std::string added_;
    std::string rangeError_;
    std::string number_;
    std::size_t rows_ = 0;
    std::size_t encoded_ = 0;
    std::size_t refused_ = 0;
};

}  // namespace

int encodeCsvBatch(std::FILE* in, std::string_view source, TextSink& out, TextSink& err,
                   const CsvBatch& batch, const CsvRowEncoder& encodeRow,
                   const CsvRangeCheck& checkRange) {
    BatchRun run(in, batch);
    std::string problem;
    while (out.ok() && run.next(out, encodeRow, checkRange, problem)) {
    }
    if (!problem.empty()) {
        err << "proxcred-cli: " << shownText(source) << ": " << problem << '\n';
        return 2;
    }
    if (run.readFailed()) {
        err << "proxcred-cli: " << shownText(source) << ": cannot read it\n";
        return 2;
    }
    // The reasons stay in the CSV's message column; the summary says there
    // are some to look for.
    if (run.refused() == 0) return 0;
    err << "proxcred-cli: " << run.refused() << " of " << run.encoded() + run.refused()
        << " rows refused\n";
    return 1;
}

}  // namespace proxcred::cli

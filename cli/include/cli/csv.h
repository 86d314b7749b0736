#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "cli/line_reader.h"

namespace proxcred::cli {

// Comma-separated records. A field that starts with a double quote is quoted
// ("" for a quote inside it) and may run over several lines, as far as
// kMaxLines lines. A quote that does not close within them is a fault of its
// own line alone: that line is reported as malformed and reading goes on with
// the line after it, so a stray quote never takes valid rows with it.
class CsvReader {
  public:
    static constexpr std::size_t kMaxLines = 64;

    explicit CsvReader(LineReader& lines) : lines_(lines) {}

    // False at the end of the input. `malformed` tells why a record could not
    // be read whole (a quote not closed, a line too long); the record then
    // holds what could be read.
    bool next(std::vector<std::string>& fields, std::string& malformed);
    // The line the record last read starts on.
    std::size_t lineNumber() const { return recordLine_; }

  private:
    struct Line {
        std::string text;
        std::size_t number = 0;
        bool cut = false;
    };

    bool take(Line& line);

    LineReader& lines_;
    // Lines looked at for a quote that did not close, to be read again.
    std::deque<Line> readAgain_;
    Line first_;  // kept from record to record, so that reading one allocates nothing
    std::size_t recordLine_ = 0;
};

// Whether a spreadsheet would run the text as a formula: it starts with =,
// +, -, @, a tab or a carriage return and is not a plain number ("-5" is).
bool startsFormula(std::string_view text);

// Appends a field, quoted when it needs to be, and with a leading ' when a
// spreadsheet would run it as a formula (CsvReader takes the ' off again).
void appendCsvField(std::string& line, std::string_view text);
// Appends the fields joined with commas, quoted where needed.
void appendCsvRecord(std::string& line, const std::vector<std::string>& fields);
void appendCsvRecord(std::string& line, const std::vector<std::string_view>& fields);

}  // namespace proxcred::cli

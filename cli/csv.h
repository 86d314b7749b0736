#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "line_reader.h"

namespace proxcred::cli {

// Comma-separated records with double-quoted fields ("" for a quote inside
// one); a quoted field may run over several lines. A record is bounded by
// the line reader's limit per line and kMaxLines lines.
class CsvReader {
  public:
    static constexpr std::size_t kMaxLines = 64;

    explicit CsvReader(LineReader& lines) : lines_(lines) {}

    // False at the end of the input. `malformed` tells why a record could not
    // be read whole (an open quote at the end, a record too long); the record
    // then holds what could be read.
    bool next(std::vector<std::string>& fields, std::string& malformed);
    std::size_t lineNumber() const { return lines_.lineNumber(); }

  private:
    LineReader& lines_;
    std::string line_;
};

// A field quoted when it needs to be.
std::string csvField(std::string_view text);
// Fields joined with commas, quoted where needed.
std::string csvRecord(const std::vector<std::string>& fields);

}  // namespace proxcred::cli

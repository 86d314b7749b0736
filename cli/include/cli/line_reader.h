#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace proxcred::cli {

// Reads lines from a stream in fixed-size chunks. A line longer than the
// limit is cut there and the rest of it skipped, so memory stays bounded
// whatever the input. Lines end in LF, CR LF or a lone CR (old Mac files);
// a UTF-8 byte-order mark at the start (spreadsheets write one) is skipped.
class LineReader {
  public:
    static constexpr std::size_t kDefaultLimit = 65536;

    explicit LineReader(std::FILE* stream, std::size_t limit = kDefaultLimit);

    // False at the end of the input.
    bool next(std::string& line);
    // Whether the line last read was longer than the limit.
    bool lastWasCut() const { return cut_; }
    // How many lines have been read so far.
    std::size_t lineNumber() const { return lineNumber_; }
    bool failed() const { return std::ferror(stream_) != 0; }

  private:
    bool refill();
    // The next byte, without taking it; nothing at the end of the input.
    std::optional<char> peek();

    std::FILE* stream_;
    std::size_t limit_;
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool cut_ = false;
    std::size_t lineNumber_ = 0;
    bool started_ = false;
};

}  // namespace proxcred::cli

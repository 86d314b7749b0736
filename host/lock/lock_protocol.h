#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The line protocol between the card reader and a lock (docs/lock-protocol.md):
// ASCII lines ending in CR LF; the host asks "READ" or "TEST" and may send
// "STOP"; the lock answers "CARD <octal digits>", "TEST <text>" or
// "ERR <code> <text>".
namespace proxcred::lock {

inline constexpr std::string_view kReadRequest = "READ\r\n";
inline constexpr std::string_view kTestRequest = "TEST\r\n";
inline constexpr std::string_view kStopRequest = "STOP\r\n";
// The longest line accepted, its line end included.
inline constexpr std::size_t kMaxLineLength = 128;
inline constexpr std::size_t kMaxCardDigits = 64;

struct Reply {
    enum class Kind : std::uint8_t { Card, Test, Error, Invalid };

    Kind kind = Kind::Invalid;
    std::string text;       // card data, test text, error text, or why it is invalid
    std::int32_t code = 0;  // the lock's error code
};

// Reads one line (without its line end) from the lock.
Reply parseReply(std::string_view line);

// Collects bytes from the line into lines, refusing what the protocol does not
// allow: a line longer than the limit, or bytes other than printable ASCII.
class LineAssembler {
  public:
    enum class Result : std::uint8_t { NeedMore, Line, TooLong, BadByte };

    // Feeds bytes; stops at the first complete line or fault, leaving the
    // number of bytes it took in `used`.
    Result feed(std::string_view bytes, std::size_t& used);
    // The line just completed, without its line end.
    const std::string& line() const { return line_; }
    // Whether part of a line has arrived and its end has not.
    bool pending() const { return !partial_.empty() || sawReturn_; }
    void reset();

  private:
    std::string partial_;
    std::string line_;
    bool sawReturn_ = false;
};

}  // namespace proxcred::lock

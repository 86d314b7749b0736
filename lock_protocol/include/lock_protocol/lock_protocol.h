#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The line protocol between the card reader and a lock (docs/lock-protocol.md):
// ASCII lines ending in CR LF. The host asks "READ <n>" or "TEST <n>" and may
// send "STOP <n>"; the lock answers "CARD <n> <octal digits>", "TEST <n> <text>"
// or "ERR <n> <code> <text>", where <n> is the number of the request answered.
// The number lets the reader tell its own answer from the late answer to a
// request it gave up.
namespace proxcred::lock {

inline constexpr std::string_view kRead = "READ";
inline constexpr std::string_view kTest = "TEST";
inline constexpr std::string_view kStop = "STOP";
// The serial settings: 9600 baud, 8 data bits, no parity, 1 stop bit, no flow
// control.
inline constexpr int kBaudRate = 9600;
inline constexpr std::string_view kSerialSettings =
    "9600 baud, 8 data bits, no parity, 1 stop bit, no flow control";
// The longest line accepted, its line end included.
inline constexpr std::size_t kMaxLineLength = 128;
inline constexpr std::size_t kMaxCardDigits = 64;
// Request numbers run from 1 to this.
inline constexpr std::uint32_t kMaxRequestNumber = 2147483647;

// A request line, its line end included: "READ 17\r\n".
std::string requestLine(std::string_view verb, std::uint32_t number);

struct Request {
    std::string verb;
    std::uint32_t number = 0;
};

// Reads one request line (without its line end), as a lock does.
std::optional<Request> parseRequest(std::string_view line);

struct Reply {
    enum class Kind : std::uint8_t { Card, Test, Error, Invalid };

    Kind kind = Kind::Invalid;
    std::uint32_t request = 0;  // the number of the request answered
    std::string text;           // card data, test text, error text, or why it is invalid
    std::int32_t code = 0;      // the lock's error code
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

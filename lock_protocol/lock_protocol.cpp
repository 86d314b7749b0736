#include "lock_protocol/lock_protocol.h"

#include <charconv>
#include <limits>
#include <utility>

#include "text/words.h"

namespace proxcred::lock {
namespace {

Reply invalid(std::string why) {
    return Reply{Reply::Kind::Invalid, 0, std::move(why), 0};
}

// A decimal number of digits only, within [1, max].
template <class Number>
std::optional<Number> positiveNumber(std::string_view text, Number max) {
    Number value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < 1 || value > max) {
        return std::nullopt;
    }
    return value;
}

Reply cardReply(std::uint32_t request, std::string_view digits) {
    if (digits.empty() || digits.size() > kMaxCardDigits ||
        digits.find_first_not_of("01234567") != std::string_view::npos) {
        return invalid("The lock sent card data that is not 1 to 64 octal digits");
    }
    return Reply{Reply::Kind::Card, request, std::string(digits), 0};
}

Reply errorReply(std::uint32_t request, std::string_view rest) {
    const auto [code, text] = firstWord(rest);
    const std::optional<std::int32_t> value =
        positiveNumber<std::int32_t>(code, std::numeric_limits<std::int32_t>::max());
    if (!value) return invalid("The lock sent an error without a valid code");
    return Reply{Reply::Kind::Error, request,
                 text.empty() ? "Lock error " + std::string(code) : std::string(text), *value};
}

}  // namespace

std::string requestLine(std::string_view verb, std::uint32_t number) {
    return std::string(verb) + " " + std::to_string(number) + "\r\n";
}

std::optional<Request> parseRequest(std::string_view line) {
    const auto [verb, rest] = firstWord(line);
    if (verb != kRead && verb != kTest && verb != kStop) return std::nullopt;
    const std::optional<std::uint32_t> number = positiveNumber(rest, kMaxRequestNumber);
    if (!number) return std::nullopt;
    return Request{std::string(verb), *number};
}

Reply parseReply(std::string_view line) {
    const auto [kind, afterKind] = firstWord(line);
    const auto [number, rest] = firstWord(afterKind);
    if (kind != "CARD" && kind != kTest && kind != "ERR")
        return invalid("The lock sent a reply the reader does not understand");
    const std::optional<std::uint32_t> request = positiveNumber(number, kMaxRequestNumber);
    if (!request) return invalid("The lock sent a reply without a valid request number");
    if (kind == "CARD") return cardReply(*request, rest);
    if (kind == kTest) return Reply{Reply::Kind::Test, *request, std::string(rest), 0};
    return errorReply(*request, rest);
}

LineAssembler::Result LineAssembler::feed(std::string_view bytes, std::size_t& used) {
    used = 0;
    while (used < bytes.size()) {
        const char byte = bytes[used++];
        if (byte == '\n') {
            line_ = std::move(partial_);
            partial_.clear();
            sawReturn_ = false;
            return Result::Line;
        }
        // A carriage return only ever ends a line.
        if (sawReturn_) return Result::BadByte;
        if (byte == '\r') {
            sawReturn_ = true;
            continue;
        }
        if (byte < ' ' || byte > '~') return Result::BadByte;
        if (partial_.size() + 2 >= kMaxLineLength) return Result::TooLong;
        partial_.push_back(byte);
    }
    return Result::NeedMore;
}

void LineAssembler::reset() {
    partial_.clear();
    line_.clear();
    sawReturn_ = false;
}

}  // namespace proxcred::lock

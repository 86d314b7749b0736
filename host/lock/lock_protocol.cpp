#include "lock_protocol.h"

#include <charconv>

namespace proxcred::lock {
namespace {

Reply invalid(std::string why) {
    return Reply{Reply::Kind::Invalid, std::move(why), 0};
}

bool startsWith(std::string_view text, std::string_view word) {
    return text.substr(0, word.size()) == word;
}

Reply cardReply(std::string_view digits) {
    if (digits.empty() || digits.size() > kMaxCardDigits ||
        digits.find_first_not_of("01234567") != std::string_view::npos) {
        return invalid("The lock sent card data that is not 1 to 64 octal digits");
    }
    return Reply{Reply::Kind::Card, std::string(digits), 0};
}

Reply errorReply(std::string_view rest) {
    const auto blank = rest.find(' ');
    const std::string_view code = rest.substr(0, blank);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(code.data(), code.data() + code.size(), value);
    if (code.empty() || error != std::errc{} || end != code.data() + code.size() || value <= 0) {
        return invalid("The lock sent an error without a valid code");
    }
    const std::string_view text =
        blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    return Reply{Reply::Kind::Error,
                 text.empty() ? "Lock error " + std::string(code) : std::string(text), value};
}

}  // namespace

Reply parseReply(std::string_view line) {
    if (startsWith(line, "CARD ")) return cardReply(line.substr(5));
    if (startsWith(line, "TEST ")) return Reply{Reply::Kind::Test, std::string(line.substr(5)), 0};
    if (startsWith(line, "ERR ")) return errorReply(line.substr(4));
    return invalid("The lock sent a reply the reader does not understand");
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

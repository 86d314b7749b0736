#include "line_reader.h"

#include <algorithm>
#include <cstring>

namespace proxcred::cli {

namespace {
constexpr std::size_t kChunk = 1 << 16;
}

LineReader::LineReader(std::FILE* stream, std::size_t limit)
    : stream_(stream), limit_(limit), buffer_(kChunk) {}

bool LineReader::refill() {
    begin_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), stream_);
    return end_ > 0;
}

bool LineReader::next(std::string& line) {
    line.clear();
    cut_ = false;
    bool sawAnything = false;
    for (;;) {
        if (begin_ == end_ && !refill()) {
            if (!sawAnything) return false;
            break;
        }
        sawAnything = true;
        const char* start = buffer_.data() + begin_;
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
        const std::size_t length =
            newline != nullptr ? static_cast<std::size_t>(newline - start) : end_ - begin_;
        const std::size_t room = limit_ > line.size() ? limit_ - line.size() : 0;
        if (length > room) cut_ = true;
        line.append(start, std::min(length, room));
        begin_ += length;
        if (newline != nullptr) {
            ++begin_;
            break;
        }
    }
    if (!cut_ && !line.empty() && line.back() == '\r') line.pop_back();
    ++lineNumber_;
    return true;
}

}  // namespace proxcred::cli

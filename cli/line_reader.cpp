#include "cli/line_reader.h"

#include <algorithm>
#include <string_view>

namespace proxcred::cli {

namespace {
constexpr std::size_t kChunk = 1 << 16;
}

// The chunk is not cleared first: fread fills what is read of it, and a
// small input (the web app reads one value at a time) should not pay for
// 64 KiB of zeros.
LineReader::LineReader(std::FILE* stream, std::size_t limit)
    : stream_(stream), limit_(limit), buffer_(new char[kChunk]) {}

bool LineReader::refill() {
    begin_ = 0;
    end_ = std::fread(buffer_.get(), 1, kChunk, stream_);
    if (!started_) {
        started_ = true;
        constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
        if (std::string_view(buffer_.get(), end_).starts_with(kByteOrderMark))
            begin_ = kByteOrderMark.size();
    }
    return begin_ < end_;
}

std::optional<char> LineReader::peek() {
    if (begin_ == end_ && !refill()) return std::nullopt;
    return buffer_[begin_];
}

bool LineReader::next(std::string& line) {
    line.clear();
    cut_ = false;
    if (!peek()) return false;
    for (;;) {
        if (begin_ == end_ && !refill()) break;
        const char* start = buffer_.get() + begin_;
        const char* stop = buffer_.get() + end_;
        const char* lineEnd =
            std::find_if(start, stop, [](char c) { return c == '\n' || c == '\r'; });
        const auto length = static_cast<std::size_t>(lineEnd - start);
        const std::size_t room = limit_ > line.size() ? limit_ - line.size() : 0;
        if (length > room) cut_ = true;
        line.append(start, std::min(length, room));
        begin_ += length;
        if (lineEnd != stop) {
            ++begin_;
            // CR LF is one line end, even when the two arrive in different chunks.
            if (*lineEnd == '\r' && peek() == '\n') ++begin_;
            break;
        }
    }
    ++lineNumber_;
    return true;
}

}  // namespace proxcred::cli

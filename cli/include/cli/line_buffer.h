#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "cli/text_sink.h"

namespace proxcred::cli {

// Lines of output built in place. The bytes are kept from line to line, so
// that a million lines cost no allocation; each piece is copied in with one
// check for room, and a full block goes out in one write, never copied again.
class LineBuffer {
  public:
    void clear() { size_ = 0; }

    LineBuffer& put(std::string_view text) {
        if (text.empty()) return *this;  // an empty view may have no bytes at all
        makeRoom(text.size());
        std::memcpy(bytes_.data() + size_, text.data(), text.size());
        size_ += text.size();
        return *this;
    }

    LineBuffer& put(char c) {
        makeRoom(1);
        bytes_[size_++] = c;
        return *this;
    }

    LineBuffer& putNumber(std::uint64_t value) {
        constexpr std::size_t kLongestNumber = 20;
        makeRoom(kLongestNumber);
        char* start = bytes_.data() + size_;
        size_ += static_cast<std::size_t>(std::to_chars(start, start + kLongestNumber, value).ptr -
                                          start);
        return *this;
    }

    // `count` bytes more at the end, for the caller to fill.
    std::span<char> extend(std::size_t count) {
        makeRoom(count);
        size_ += count;
        return {bytes_.data() + size_ - count, count};
    }

    std::string_view view() const { return {bytes_.data(), size_}; }

    // Writes out what is kept, and starts over.
    void writeTo(TextSink& out) {
        out.write(view());
        size_ = 0;
    }

    void writeWhenFull(TextSink& out) {
        constexpr std::size_t kBlock = std::size_t{1} << 16;
        if (size_ >= kBlock) writeTo(out);
    }

  private:
    void makeRoom(std::size_t more) {
        if (size_ + more > bytes_.size()) bytes_.resize(2 * (size_ + more));
    }

    std::vector<char> bytes_;
    std::size_t size_ = 0;
};

}  // namespace proxcred::cli

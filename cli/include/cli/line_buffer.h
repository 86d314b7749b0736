#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string_view>
#include <vector>

namespace proxcred::cli {

// One line of output built in place. Its bytes are kept from line to line,
// so that a million lines cost no allocation, and each piece is copied in
// with one check for room.
class LineBuffer {
  public:
    void clear() { size_ = 0; }

    LineBuffer& put(std::string_view text) {
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
        size_ += static_cast<std::size_t>(
            std::to_chars(start, start + kLongestNumber, value).ptr - start);
        return *this;
    }

    std::string_view view() const { return {bytes_.data(), size_}; }

    void writeTo(std::ostream& out) const {
        out.write(bytes_.data(), static_cast<std::streamsize>(size_));
    }

  private:
    void makeRoom(std::size_t more) {
        if (size_ + more > bytes_.size()) bytes_.resize(2 * (size_ + more));
    }

    std::vector<char> bytes_;
    std::size_t size_ = 0;
};

}  // namespace proxcred::cli

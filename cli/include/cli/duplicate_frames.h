#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "wiegand/format.h"

namespace proxcred::cli {

// The cards a batch gives twice: the same frame from one format (the same
// numbers) or from two (H10306 1/1 and N10002 1/1 are both 2600020002).
// Memory is bounded by the number of cards, not their rows: each frame and
// the row that gave it, 16 bytes a card, kept in blocks that never move
// (16 MB for a million cards, with no copy while it grows).
class DuplicateFrames {
  public:
    void note(const wiegand::Frame& frame, std::size_t row);

    // Each row that gives a frame an earlier row gave, with the first row
    // that gave it: (earlier, later), in the later rows' order.
    std::vector<std::pair<std::size_t, std::size_t>> repeats();

  private:
    struct Entry {
        std::uint64_t value;
        std::uint32_t row;  // rows past 4,294,967,295 are named as that
        std::uint8_t bits;
    };
    std::deque<Entry> entries_;
};

}  // namespace proxcred::cli

#include "cli/duplicate_frames.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace proxcred::cli {

void DuplicateFrames::note(const wiegand::Frame& frame, std::size_t row) {
    entries_.push_back({frame.value,
                        static_cast<std::uint32_t>(
                            std::min<std::size_t>(row, std::numeric_limits<std::uint32_t>::max())),
                        static_cast<std::uint8_t>(frame.bits)});
}

std::vector<std::pair<std::size_t, std::size_t>> DuplicateFrames::repeats() {
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.bits, a.value, a.row) < std::tie(b.bits, b.value, b.row);
    });
    std::vector<std::pair<std::size_t, std::size_t>> found;
    for (std::size_t at = 1, first = 0; at < entries_.size(); ++at) {
        const bool same = entries_[at].bits == entries_[first].bits &&
                          entries_[at].value == entries_[first].value;
        if (!same) {
            first = at;
            continue;
        }
        found.emplace_back(entries_[first].row, entries_[at].row);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(a.second, a.first) < std::tie(b.second, b.first);
    });
    return found;
}

}  // namespace proxcred::cli

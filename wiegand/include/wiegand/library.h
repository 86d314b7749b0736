#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "wiegand/format.h"

namespace proxcred::wiegand {

// The formats most cards in the field carry, most common first: the first
// reading of a frame that fits several formats is the likely card.
inline constexpr std::array<std::string_view, 6> kWidelyUsed{"H10301", "C1k35s", "H10304",
                                                             "H10306", "C1k48s", "H10302"};

// The formats known: the built-in ones, and any a user's format file adds.
class Library {
  public:
    // What one file may hold, so that no file can cost more than its size
    // (the built-in formats do not count), and what the library may hold.
    static constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;
    static constexpr std::size_t kMaxFormats = 100000;
    static constexpr std::size_t kMaxLibraryFormats = std::size_t{1} << 20;

    // The formats the tool ships, described in the same JSON form as users'
    // files (builtin_formats.json).
    static Library builtIn();

    // Adds the formats of a JSON format file. Either every format of the file
    // is added, or none is and `error` names the format and the problem.
    // Loading takes time in proportion to the file.
    bool addFormats(std::string_view json, std::string& error);

    // A format by name, in any letter case; nullptr for none.
    const Format* find(std::string_view name) const;
    const std::vector<Format>& formats() const { return formats_; }

    // Where a format of this library stands when readings are ranked: the
    // formats in wide use first (kWidelyUsed, in its order), then the rest
    // by length, in the library's order within a length.
    static std::uint32_t rankOf(const Format& format) { return format.rank; }

    // Calls `visit` with each format of a frame length, in the library's
    // order: decoding a frame looks at no other.
    template <class Visit>
    void forEachOfLength(int bits, Visit&& visit) const {
        if (bits < 0 || bits > kMaxFrameBits) return;
        for (const std::uint32_t index : byLength_[static_cast<std::size_t>(bits)])
            visit(formats_[index]);
    }

  private:
    std::vector<Format> readFile(std::string_view text,
                                 std::unordered_map<std::string, std::size_t>& names) const;

    void rankFormats();

    std::vector<Format> formats_;
    std::vector<std::uint32_t> rank_;                     // by format
    std::unordered_map<std::string, std::size_t> index_;  // lower-case name to format
    // Per frame length, the formats of that length: grouped once, at load.
    std::array<std::vector<std::uint32_t>, kMaxFrameBits + 1> byLength_;
};

}  // namespace proxcred::wiegand

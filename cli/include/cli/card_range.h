#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "wiegand/format.h"

// Card numbers as a batch gives them: a range "1603-1702" (every number from
// the first to the last, in order), and the offset between the numbers
// printed on cards and those they carry.
namespace proxcred::cli {

struct CardRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    std::uint64_t count() const { return last - first + 1; }
};

// The range a card number's text gives: nullopt for a text that is no range
// (a plain number, or anything else, which the number's own reading refuses),
// or with `error` set for a range that cannot be: not two decimal numbers,
// or running backwards.
std::optional<CardRange> readCardRange(std::string_view text, std::string& error);

// The card number `printed` carries with the offset added; nullopt with
// `error` when that falls below 0 or past the format's largest card number.
std::optional<std::uint64_t> offsetCard(std::uint64_t printed, std::int64_t offset,
                                        const wiegand::Format& format, std::string& error);

// The number printed on a card that carries `encoded`, the offset taken off;
// nullopt when there is none (the offset is larger than the number carried).
std::optional<std::uint64_t> printedCard(std::uint64_t encoded, std::int64_t offset);

// A range of the format's card numbers, offset, before anything is written:
// `error` when it holds more than `most` cards or any of them falls below 0
// or past the largest card number, naming the limit.
bool checkRange(const CardRange& range, std::int64_t offset, std::uint64_t most,
                const wiegand::Format& format, std::string& error);

}  // namespace proxcred::cli

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace proxcred::wiegand {

// A value as a line or a cell carries it, without the blanks and tabs
// around it.
std::string_view trimmedBlanks(std::string_view text);

// A number from the command line as people type it: decimal digits, leading
// zeros allowed (card numbers are printed with them). Nothing else is read:
// no sign, no base prefix, no blanks, nothing cut off or wrapped. nullopt with
// the problem ("is not a decimal number", "is negative", "is empty", "is too
// large") when the text is no such number or above 2^64 - 1.
std::optional<std::uint64_t> readDecimal(std::string_view text, std::string& problem);

// `name "text" problem`, the text shown as typed (control bytes escaped).
std::string numberRefusal(std::string_view name, std::string_view text, std::string_view problem);

// A decimal number from `low` to `high`; nullopt with the whole message in
// `error` otherwise ("--bits \"65\" must be 1 to 64").
std::optional<std::uint64_t> readDecimalIn(std::string_view name, std::string_view text,
                                           std::uint64_t low, std::uint64_t high,
                                           std::string& error);

}  // namespace proxcred::wiegand

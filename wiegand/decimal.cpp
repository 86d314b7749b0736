#include "wiegand/decimal.h"

#include <algorithm>
#include <charconv>

#include "text/shown_text.h"

namespace proxcred::wiegand {
namespace {

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string_view trimmedBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<std::uint64_t> readDecimal(std::string_view text, std::string& problem) {
    if (text.empty()) {
        problem = "is empty";
        return std::nullopt;
    }
    if (text.front() == '-' && allDigits(text.substr(1))) {
        problem = "is negative";
        return std::nullopt;
    }
    if (!allDigits(text)) {
        problem = "is not a decimal number";
        return std::nullopt;
    }
    std::uint64_t value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc{}) {
        problem = "is too large";
        return std::nullopt;
    }
    return value;
}

std::string numberRefusal(std::string_view name, std::string_view text, std::string_view problem) {
    return std::string(name) + " \"" + shownText(text) + "\" " + std::string(problem);
}

std::optional<std::uint64_t> readDecimalIn(std::string_view name, std::string_view text,
                                           std::uint64_t low, std::uint64_t high,
                                           std::string& error) {
    std::string problem;
    const std::optional<std::uint64_t> value = readDecimal(text, problem);
    if (value && *value >= low && *value <= high) return value;
    if (value || problem == "is too large" || problem == "is negative")
        problem = "must be " + std::to_string(low) + " to " + std::to_string(high);
    error = numberRefusal(name, text, problem);
    return std::nullopt;
}

}  // namespace proxcred::wiegand

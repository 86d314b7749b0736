#pragma once

#include <string_view>
#include <utility>

namespace proxcred {

// "word rest", split at the first blank: the rest is everything after that
// one blank, blanks included; empty without a blank.
constexpr std::pair<std::string_view, std::string_view> firstWord(std::string_view text) {
    const auto blank = text.find(' ');
    if (blank == std::string_view::npos) return {text, {}};
    return {text.substr(0, blank), text.substr(blank + 1)};
}

}  // namespace proxcred

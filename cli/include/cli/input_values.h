#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/text_sink.h"

namespace proxcred::cli {

// Where a value came from, for messages: "argument 2", "line 17".
struct ValueSource {
    std::string_view unit;
    std::size_t number = 0;
    bool cut = false;  // a line longer than the line reader's limit, cut there
};

// Runs `each` on every argument, or, without any, on every line of `in`
// (streamed, with a progress line on a terminal), until `out` fails. False,
// with the reason on `err`, when the input could not be read.
bool forEachValue(const std::vector<std::string>& arguments, std::FILE* in, TextSink& out,
                  TextSink& err,
                  const std::function<void(std::string_view, const ValueSource&)>& each);

// A small file read whole: a key file, one card.
struct WholeFile {
    std::string_view name;  // as named, "-" for standard input
    std::size_t number = 0;
    std::string text;
};

// Runs `each` on every file named, read whole, or on `in` when none is
// named ("-" names it too). A file that cannot be opened or read, or is
// larger than a card's file can be (64 KiB), is reported on `err` and
// skipped; false when any was.
bool forEachFile(const std::vector<std::string>& paths, std::FILE* in, TextSink& err,
                 const std::function<void(const WholeFile&)>& each);

}  // namespace proxcred::cli

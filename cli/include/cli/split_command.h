#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/text_sink.h"

namespace proxcred::cli {

enum class SplitStyle { Table, JsonLines };

// Splits every argument, or every line of `in` when there are none. Exit
// status 1 when any card data held a character other than "0" to "7".
int splitCommand(const std::vector<std::string>& cardData, std::FILE* in, SplitStyle style,
                 TextSink& out, TextSink& err);

class LineBuffer;

// The two renderings of one card data: a table, or one JSON line (without
// its line end) appended in place.
std::string splitTable(std::string_view cardData, std::string& error);
void appendSplitJson(LineBuffer& line, std::string_view cardData, std::string& error);

}  // namespace proxcred::cli

#pragma once

#include "cli/text_sink.h"

namespace proxcred::cli {

// The table of card formats: keys, names, bit lengths and the largest values.
void listFormats(TextSink& out);

}  // namespace proxcred::cli

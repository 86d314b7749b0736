#pragma once

#include <ostream>

namespace proxcred::cli {

// The table of card formats: keys, names, bit lengths and the largest values.
void listFormats(std::ostream& out);

}  // namespace proxcred::cli

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace proxcred {

// The decimal text of a run of base-2 digits: "101" -> "5", "000" -> "0",
// and the empty text for an empty run. Exact for runs of any length.
std::string GetNumber(std::string_view sBinaryValue);

}  // namespace proxcred

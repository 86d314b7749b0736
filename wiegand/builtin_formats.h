#pragma once

#include <string_view>

namespace proxcred::wiegand {

// builtin_formats.json, built into the program.
extern const std::string_view kBuiltInFormats;

}  // namespace proxcred::wiegand

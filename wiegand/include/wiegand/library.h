#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "wiegand/format.h"

namespace proxcred::wiegand {

// The formats known: the built-in ones, and any a user's format file adds.
class Library {
  public:
    // The formats the tool ships, described in the same JSON form as users'
    // files (builtin_formats.json).
    static Library builtIn();

    // Adds the formats of a JSON format file. Either every format of the file
    // is added, or none is and `error` names the format and the problem.
    bool addFormats(std::string_view json, std::string& error);

    // A format by name, in any letter case; nullptr for none.
    const Format* find(std::string_view name) const;
    const std::vector<Format>& formats() const { return formats_; }

  private:
    std::vector<Format> formats_;
};

}  // namespace proxcred::wiegand

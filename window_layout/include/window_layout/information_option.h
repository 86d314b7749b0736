#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "version/version.h"

// The window takes its settings from the host's preset on the clipboard and
// ignores its command line, as hosts have always relied on: a host may pass
// arguments of its own. Only --help (-h) or --version, given alone, are
// answered, on standard output and before any display is opened, so that
// they work on a console or over ssh. Both views answer with this text.
namespace proxcred::layout {

inline std::optional<std::string> informationOptionAnswer(int argumentCount,
                                                          std::string_view firstArgument) {
    if (argumentCount != 1) return std::nullopt;
    if (firstArgument == "--help" || firstArgument == "-h") {
        return "usage: proxcred [--help | --version]\n"
               "The Proximity Credential Translator window. A host application starts it with\n"
               "its preset on the clipboard (FC=12;CF=26;ZELF=F) and reads the answer from\n"
               "the clipboard when the window closes. Any other argument is ignored.\n"
               "The command-line tool is proxcred-cli.\n";
    }
    if (firstArgument == "--version") return "proxcred " + std::string(kVersion) + "\n";
    return std::nullopt;
}

}  // namespace proxcred::layout

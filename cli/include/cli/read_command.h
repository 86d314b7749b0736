#pragma once

#include <ostream>

#include "cli/output.h"
#include "platform/platform.h"

namespace proxcred::cli {

// What a build without the card reader answers to `read`.
inline constexpr const char* kReadUnavailable =
    "proxcred-cli: reading a card from a lock needs the window build (proxcred on Linux); "
    "this build cannot read from a lock yet";

struct ReadOptions {
    int port = 1;
    int timeoutMs = kCardReadTimeoutMs;
    bool split = false;
};

// Reads one card through the lock reader and prints its card data (and, with
// split, the split table). Exit status 1 with the message on `err` for a
// timeout, a cancelled read or an error.
int readCommand(int argc, char** argv, const ReadOptions& options, StandardOutput& output,
                std::ostream& err);

}  // namespace proxcred::cli

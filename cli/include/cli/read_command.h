#pragma once

#include <ostream>

#include "cli/output.h"
#include "platform/platform.h"

namespace proxcred::cli {

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

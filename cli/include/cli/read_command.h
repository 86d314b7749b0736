#pragma once

#include <functional>

#include "cli/output.h"
#include "cli/text_sink.h"
#include "platform/platform.h"

namespace proxcred::cli {

struct ReadOptions {
    int port = 1;
    int timeoutMs = kCardReadTimeoutMs;
    bool split = false;
};

// The exit status of a read ended by Ctrl+C, as shells report SIGINT.
inline constexpr int kInterruptedStatus = 130;

// Reads one card through `reader` and prints its card data (and, with split,
// the split table). Exit status 1 with the message on `err` for a timeout, a
// cancelled read or an error, 130 when `interrupted` says Ctrl+C cancelled it.
int readCommand(CardReaderControl& reader, const ReadOptions& options,
                const std::function<bool()>& interrupted, StandardOutput& output, TextSink& err);

// The platform's part: the reader on this platform's serial transport, with
// Ctrl+C cancelling the read (the reader then sends STOP for its request).
int readFromLock(int argc, char** argv, const ReadOptions& options, StandardOutput& output,
                 TextSink& err);

}  // namespace proxcred::cli

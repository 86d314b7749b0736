// `read` in a build without the card reader (the Windows console build).
#include "cli/read_command.h"

namespace proxcred::cli {

int readCommand(int /*argc*/, char** /*argv*/, const ReadOptions& /*options*/,
                StandardOutput& /*output*/, std::ostream& err) {
    err << kReadUnavailable << '\n';
    return 2;
}

}  // namespace proxcred::cli

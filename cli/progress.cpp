#include "cli/progress.h"

#ifdef _WIN32
#include <io.h>
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

#include <cstdio>

namespace proxcred::cli {

Progress::Progress(std::string what)
    : what_(std::move(what)), enabled_(isatty(STDERR_FILENO) != 0) {}

Progress::~Progress() {
    if (shown_) std::fputs("\r\033[K", stderr);
}

void Progress::advance(std::size_t done) {
    constexpr std::size_t kCheckEvery = 4096;
    if (!enabled_ || done % kCheckEvery != 0) return;
    const Clock::time_point now = Clock::now();
    using std::chrono::milliseconds;
    if (now - started_ < std::chrono::seconds(1) || now - lastShown_ < milliseconds(200)) return;
    lastShown_ = now;
    shown_ = true;
    std::fprintf(stderr, "\rproxcred-cli: %zu %s", done, what_.c_str());
    std::fflush(stderr);
}

}  // namespace proxcred::cli

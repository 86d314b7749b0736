#include "cli/output.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace proxcred::cli {

namespace {

// write(2), or the C runtime's _write on Windows (in binary mode: the line
// ends are put in here, see writeAll).
long long writeSome(int fd, const char* bytes, std::size_t count) {
#ifdef _WIN32
    constexpr std::size_t kLargestWrite = 1U << 30;
    return _write(fd, bytes, static_cast<unsigned int>(std::min(count, kLargestWrite)));
#else
    return ::write(fd, bytes, count);
#endif
}

}  // namespace

#ifdef _WIN32
// Lines end in CR LF, as Windows programs and spreadsheets expect. The C
// runtime's text mode would put them in a kilobyte at a time, a write each;
// here each block goes out whole.
bool StandardOutput::writeAll(const char* bytes, std::size_t count) {
    const char* next = bytes;
    const char* end = bytes + count;
    while (error_ == 0 && next < end) {
        lineEnds_.clear();
        while (next < end && lineEnds_.size() < bytes_.size()) {
            const auto* lineEnd = static_cast<const char*>(
                std::memchr(next, '\n', static_cast<std::size_t>(end - next)));
            if (lineEnd == nullptr) {
                lineEnds_.append(next, end);
                next = end;
            } else {
                lineEnds_.append(next, lineEnd).append("\r\n");
                next = lineEnd + 1;
            }
        }
        writeRaw(lineEnds_.data(), lineEnds_.size());
    }
    return error_ == 0;
}
#else
bool StandardOutput::writeAll(const char* bytes, std::size_t count) {
    return writeRaw(bytes, count);
}
#endif

bool StandardOutput::writeRaw(const char* bytes, std::size_t count) {
    const char* next = bytes;
    const char* end = bytes + count;
    while (error_ == 0 && next < end) {
        const long long written = writeSome(fd_, next, static_cast<std::size_t>(end - next));
        if (written > 0) {
            next += written;
        } else if (written < 0 && errno != EINTR) {
            error_ = errno;
        }
    }
    return error_ == 0;
}

bool StandardOutput::writeOut() {
    writeAll(bytes_.data(), size_);
    size_ = 0;
    return error_ == 0;
}

void StandardOutput::write(std::string_view text) {
    if (error_ != 0 || text.empty()) return;
    if (size_ + text.size() > bytes_.size() && !writeOut()) return;
    if (text.size() >= bytes_.size()) {
        writeAll(text.data(), text.size());
        return;
    }
    std::memcpy(bytes_.data() + size_, text.data(), text.size());
    size_ += text.size();
}

#ifdef _WIN32
// Binary while this output lives: it puts in its own line ends. What is
// written otherwise (the command line's help) keeps the runtime's.
StandardOutput::StandardOutput(int fd) : fd_(fd), previousMode_(_setmode(fd, _O_BINARY)) {}

StandardOutput::~StandardOutput() {
    writeOut();
    _setmode(fd_, previousMode_);
}
#else
StandardOutput::StandardOutput(int fd) : fd_(fd) {}

StandardOutput::~StandardOutput() {
    writeOut();
}
#endif

int StandardOutput::finish(int status, TextSink& err, std::string_view kept) {
    if (writeOut()) return status;
    err << "proxcred-cli: cannot write the output: " << std::strerror(error_);
    if (!kept.empty()) err << "; " << kept;
    err << '\n';
    return 1;
}

void StandardError::write(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

}  // namespace proxcred::cli

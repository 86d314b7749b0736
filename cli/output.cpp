#include "cli/output.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace proxcred::cli {

StandardOutput::Buffer::Buffer(int fd) : fd_(fd) {
    setp(bytes_.data(), bytes_.data() + bytes_.size());
}

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
bool StandardOutput::Buffer::writeAll(const char* bytes, std::size_t count) {
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
bool StandardOutput::Buffer::writeAll(const char* bytes, std::size_t count) {
    return writeRaw(bytes, count);
}
#endif

bool StandardOutput::Buffer::writeRaw(const char* bytes, std::size_t count) {
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

bool StandardOutput::Buffer::writeOut() {
    writeAll(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(bytes_.data(), bytes_.data() + bytes_.size());
    return error_ == 0;
}

std::streamsize StandardOutput::Buffer::xsputn(const char* bytes, std::streamsize count) {
    const auto size = static_cast<std::size_t>(count);
    if (size < bytes_.size()) return std::streambuf::xsputn(bytes, count);
    if (!writeOut() || !writeAll(bytes, size)) return 0;
    return count;
}

StandardOutput::Buffer::int_type StandardOutput::Buffer::overflow(int_type c) {
    if (!writeOut()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int StandardOutput::Buffer::sync() {
    return writeOut() ? 0 : -1;
}

#ifdef _WIN32
// Binary while this output lives: it puts in its own line ends. What is
// written otherwise (the command line's help) keeps the runtime's.
StandardOutput::StandardOutput(int fd)
    : buffer_(fd), stream_(&buffer_), fd_(fd), previousMode_(_setmode(fd, _O_BINARY)) {}

StandardOutput::~StandardOutput() {
    stream_.flush();
    _setmode(fd_, previousMode_);
}
#else
StandardOutput::StandardOutput(int fd) : buffer_(fd), stream_(&buffer_) {}

StandardOutput::~StandardOutput() {
    stream_.flush();
}
#endif

int StandardOutput::finish(int status, std::ostream& err, std::string_view kept) {
    stream_.flush();
    if (buffer_.error() == 0 && stream_) return status;
    err << "proxcred-cli: cannot write the output: "
        << (buffer_.error() != 0 ? std::strerror(buffer_.error()) : "write error");
    if (!kept.empty()) err << "; " << kept;
    err << '\n';
    return 1;
}

}  // namespace proxcred::cli

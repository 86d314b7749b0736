#include "cli/output.h"

#ifdef _WIN32
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

// write(2), or the C runtime's _write on Windows: in text mode it turns each
// LF into CR LF, as Windows programs and spreadsheets expect.
long long writeSome(int fd, const char* bytes, std::size_t count) {
#ifdef _WIN32
    constexpr std::size_t kLargestWrite = 1U << 30;
    return _write(fd, bytes, static_cast<unsigned int>(std::min(count, kLargestWrite)));
#else
    return ::write(fd, bytes, count);
#endif
}

}  // namespace

bool StandardOutput::Buffer::writeAll(const char* bytes, std::size_t count) {
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

StandardOutput::StandardOutput(int fd) : buffer_(fd), stream_(&buffer_) {}

StandardOutput::~StandardOutput() {
    stream_.flush();
}

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

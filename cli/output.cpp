#include "cli/output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace proxcred::cli {

StandardOutput::Buffer::Buffer(int fd) : fd_(fd) {
    setp(bytes_.data(), bytes_.data() + bytes_.size());
}

bool StandardOutput::Buffer::writeOut() {
    const char* next = pbase();
    while (error_ == 0 && next < pptr()) {
        const ssize_t written = ::write(fd_, next, static_cast<std::size_t>(pptr() - next));
        if (written > 0) {
            next += written;
        } else if (written < 0 && errno != EINTR) {
            error_ = errno;
        }
    }
    setp(bytes_.data(), bytes_.data() + bytes_.size());
    return error_ == 0;
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

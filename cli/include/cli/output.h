#pragma once

#include <array>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace proxcred::cli {

// Standard output for the commands. Output that could not be written (a full
// disk, a closed pipe while SIGPIPE is ignored) must not pass for success:
// the buffer keeps the reason of the first failed write, the commands stop
// writing once the stream has failed, and finish() reports it.
class StandardOutput {
  public:
    explicit StandardOutput(int fd = 1);
    ~StandardOutput();
    StandardOutput(const StandardOutput&) = delete;
    StandardOutput& operator=(const StandardOutput&) = delete;

    std::ostream& stream() { return stream_; }

    // Writes out what is buffered. When anything written was lost, tells why
    // on `err` (with `kept`, text the caller must not lose, such as a card
    // just read from a lock) and answers 1; otherwise answers `status`.
    int finish(int status, std::ostream& err, std::string_view kept = {});

  private:
    class Buffer final : public std::streambuf {
      public:
        explicit Buffer(int fd);
        int error() const { return error_; }

      protected:
        int_type overflow(int_type c) override;
        // Blocks as large as the buffer go straight out, uncopied.
        std::streamsize xsputn(const char* bytes, std::streamsize count) override;
        int sync() override;

      private:
        bool writeOut();
        bool writeAll(const char* bytes, std::size_t count);
        bool writeRaw(const char* bytes, std::size_t count);

        int fd_;
        int error_ = 0;
        std::array<char, 1 << 16> bytes_{};
#ifdef _WIN32
        std::string lineEnds_;  // a block with Windows' CR LF line ends
#endif
    };

    Buffer buffer_;
    std::ostream stream_;
#ifdef _WIN32
    int fd_;
    int previousMode_;
#endif
};

}  // namespace proxcred::cli

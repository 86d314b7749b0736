#pragma once

#include <array>
#include <string>
#include <string_view>

#include "cli/text_sink.h"

namespace proxcred::cli {

// Standard output for the commands. Output that could not be written (a full
// disk, a closed pipe while SIGPIPE is ignored) must not pass for success:
// the first failed write's reason is kept, the commands stop writing once it
// has failed (ok()), and finish() reports it.
class StandardOutput final : public TextSink {
  public:
    explicit StandardOutput(int fd = 1);
    ~StandardOutput() override;
    StandardOutput(const StandardOutput&) = delete;
    StandardOutput& operator=(const StandardOutput&) = delete;

    TextSink& stream() { return *this; }
    void write(std::string_view text) override;
    bool ok() const override { return error_ == 0; }

    // Writes out what is buffered. When anything written was lost, tells why
    // on `err` (with `kept`, text the caller must not lose, such as a card
    // just read from a lock) and answers 1; otherwise answers `status`.
    int finish(int status, TextSink& err, std::string_view kept = {});

  private:
    bool writeOut();
    // Blocks as large as the buffer go straight out, uncopied.
    bool writeAll(const char* bytes, std::size_t count);
    bool writeRaw(const char* bytes, std::size_t count);

    int fd_;
    int error_ = 0;
    std::array<char, 1 << 16> bytes_{};
    std::size_t size_ = 0;
#ifdef _WIN32
    std::string lineEnds_;  // a block with Windows' CR LF line ends
    int previousMode_;
#endif
};

// Standard error, unbuffered, through the C library's stream (which puts in
// Windows' line ends, and keeps its order with whatever else writes there).
class StandardError final : public TextSink {
  public:
    void write(std::string_view text) override;
};

}  // namespace proxcred::cli

#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "lock_reader/byte_channel.h"

// The lock reader's channel on Windows: a COM port through the Win32 serial
// API, set to the lock's line settings. Reads return at once with what the
// line holds; a wait polls the line every few milliseconds and ends on bytes,
// on its limit or on the caller's cancel, whichever is first.
namespace proxcred::win32 {

// Spends at most `milliseconds` between two looks at the line, the caller's
// way: the command line waits on its Ctrl+C event, the window pumps its
// messages and watches for Escape. True when the caller cancelled the read.
using Pause = std::function<bool(unsigned long milliseconds)>;

// A pause that waits on an event (Ctrl+C sets it).
Pause pauseOnEvent(HANDLE cancelEvent);

class SerialChannel final : public lock::ByteChannel {
  public:
    SerialChannel(std::string device, Pause pause);
    ~SerialChannel() override;
    SerialChannel(const SerialChannel&) = delete;
    SerialChannel& operator=(const SerialChannel&) = delete;

    bool open(std::string& why) override;
    void discardInput() override;
    bool write(std::string_view bytes, lock::Milliseconds limit) override;
    Wait waitForBytes(lock::Milliseconds limit, std::string& bytes) override;
    void close() override;

  private:
    bool setLineSettings();

    std::string device_;
    Pause pause_;
    HANDLE port_ = INVALID_HANDLE_VALUE;
};

// The COM ports as channels for the reader (see comPortDevice).
class ChannelSource final : public lock::ChannelSource {
  public:
    explicit ChannelSource(Pause pause) : pause_(std::move(pause)) {}

    std::optional<std::string> device(int port) override;
    std::unique_ptr<lock::ByteChannel> channel(const std::string& device) override;

  private:
    Pause pause_;
};

}  // namespace proxcred::win32

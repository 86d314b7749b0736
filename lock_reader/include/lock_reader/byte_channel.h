#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// What the lock reader needs of a serial line, and of time, so that its logic
// is written once: Qt Serial Port (the window, proxcred-cli on Linux) and the
// Win32 serial API (proxcred-cli.exe) are transports behind these interfaces.
namespace proxcred::lock {

using Milliseconds = std::chrono::milliseconds;

class ByteChannel {
  public:
    enum class Wait : std::uint8_t {
        Bytes,      // bytes arrived
        TimedOut,   // the limit passed without any
        Cancelled,  // the operator cancelled the read (Escape, Ctrl+C)
        Failed,     // the device went away
    };

    virtual ~ByteChannel() = default;

    // Opens the device with the lock's settings (kSerialSettings); false with
    // the system's reason in `why`.
    virtual bool open(std::string& why) = 0;
    // Drops whatever the line holds unread.
    virtual void discardInput() = 0;
    // Writes the bytes, waiting at most `limit` for them to leave; false when
    // they could not be written.
    virtual bool write(std::string_view bytes, Milliseconds limit) = 0;
    // Waits at most `limit` for bytes from the line, and appends those that
    // came to `bytes`. Never blocks longer than the limit.
    virtual Wait waitForBytes(Milliseconds limit, std::string& bytes) = 0;
    virtual void close() = 0;
};

// The serial lines the reader can use: the device behind a port number (none
// when there is no such port), and a channel to a device.
class ChannelSource {
  public:
    virtual ~ChannelSource() = default;
    virtual std::optional<std::string> device(int port) = 0;
    virtual std::unique_ptr<ByteChannel> channel(const std::string& device) = 0;
};

class SteadyClock {
  public:
    virtual ~SteadyClock() = default;
    virtual Milliseconds now() = 0;
};

// The machine's monotonic clock.
class SystemClock final : public SteadyClock {
  public:
    Milliseconds now() override {
        return std::chrono::duration_cast<Milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
};

}  // namespace proxcred::lock

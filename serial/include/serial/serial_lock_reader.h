#pragma once

#include <QSerialPort>
#include <QString>
#include <functional>
#include <memory>

#include "lock_reader/byte_channel.h"
#include "lock_reader/lock_reader.h"
#include "serial/port_directory.h"

// The lock reader on Qt Serial Port, for the window and proxcred-cli on
// Linux: the shared reader logic over a QSerialPort channel. A wait runs a
// local event loop, so a window keeps painting; what else a wait does is the
// caller's (see WaitGuard).
namespace proxcred {

// What a wait does besides waiting, the caller's way: the window ignores
// other input and takes Escape as a cancel, the command line watches for
// Ctrl+C. Called as a wait begins, with the function that cancels it; what
// it returns is kept for the wait and dropped when it ends.
using WaitGuard = std::function<std::shared_ptr<void>(std::function<void()> cancel)>;

// One serial line to the lock through QSerialPort.
class QtSerialChannel final : public lock::ByteChannel {
  public:
    QtSerialChannel(const QString& device, WaitGuard guard);

    bool open(std::string& why) override;
    void discardInput() override;
    bool write(std::string_view bytes, lock::Milliseconds limit) override;
    Wait waitForBytes(lock::Milliseconds limit, std::string& bytes) override;
    void close() override;

  private:
    QSerialPort port_;
    WaitGuard guard_;
};

// The ports of a PortDirectory as channels for the reader.
class QtChannelSource final : public lock::ChannelSource {
  public:
    QtChannelSource(const PortDirectory& directory, WaitGuard guard)
        : directory_(directory), guard_(std::move(guard)) {}

    std::optional<std::string> device(int port) override;
    std::unique_ptr<lock::ByteChannel> channel(const std::string& device) override;

  private:
    const PortDirectory& directory_;
    WaitGuard guard_;
};

// The reader with its Qt channels and the system clock; InfoAction writes to
// standard error, for a support log, and leaves the clipboard alone, where
// the host's preset and reply live.
class SerialLockReader {
  public:
    explicit SerialLockReader(const PortDirectory& directory, WaitGuard guard = {});
    lock::LockReader& reader() { return reader_; }

  private:
    QtChannelSource channels_;
    lock::SystemClock clock_;
    lock::LockReader reader_;
};

}  // namespace proxcred

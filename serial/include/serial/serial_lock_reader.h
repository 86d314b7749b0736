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
// local event loop, so the window keeps painting, while other input is
// ignored and Escape cancels the read.
namespace proxcred {

// One serial line to the lock through QSerialPort.
class QtSerialChannel final : public lock::ByteChannel {
  public:
    // `cancelRequested`, when given, is asked every few milliseconds during a
    // wait (Ctrl+C on the command line).
    QtSerialChannel(const QString& device, std::function<bool()> cancelRequested);

    bool open(std::string& why) override;
    void discardInput() override;
    bool write(std::string_view bytes, lock::Milliseconds limit) override;
    Wait waitForBytes(lock::Milliseconds limit, std::string& bytes) override;
    void close() override;

  private:
    QSerialPort port_;
    std::function<bool()> cancelRequested_;
};

// The ports of a PortDirectory as channels for the reader.
class QtChannelSource final : public lock::ChannelSource {
  public:
    QtChannelSource(const PortDirectory& directory, std::function<bool()> cancelRequested)
        : directory_(directory), cancelRequested_(std::move(cancelRequested)) {}

    std::optional<std::string> device(int port) override;
    std::unique_ptr<lock::ByteChannel> channel(const std::string& device) override;

  private:
    const PortDirectory& directory_;
    std::function<bool()> cancelRequested_;
};

// The reader with its Qt channels and the system clock; InfoAction writes to
// standard error, for a support log, and leaves the clipboard alone, where
// the host's preset and reply live.
class SerialLockReader {
  public:
    explicit SerialLockReader(const PortDirectory& directory,
                              std::function<bool()> cancelRequested = {});
    lock::LockReader& reader() { return reader_; }

  private:
    QtChannelSource channels_;
    lock::SystemClock clock_;
    lock::LockReader reader_;
};

}  // namespace proxcred

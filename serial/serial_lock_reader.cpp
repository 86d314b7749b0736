#include "serial/serial_lock_reader.h"

#include <QEventLoop>
#include <QTimer>
#include <iostream>

#include "lock_protocol/lock_protocol.h"

namespace proxcred {
namespace {

using Wait = lock::ByteChannel::Wait;

}  // namespace

QtSerialChannel::QtSerialChannel(const QString& device, WaitGuard guard)
    : port_(device), guard_(std::move(guard)) {}

bool QtSerialChannel::open(std::string& why) {
    // Nothing from the line grows without bound.
    constexpr qint64 kLinesBuffered = 4;
    port_.setReadBufferSize(static_cast<qint64>(lock::kMaxLineLength) * kLinesBuffered);
    if (!port_.open(QIODevice::ReadWrite)) {
        why = port_.errorString().toStdString();
        return false;
    }
    port_.setBaudRate(lock::kBaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.clearError();
    return true;
}

void QtSerialChannel::discardInput() {
    port_.clear(QSerialPort::Input);
}

bool QtSerialChannel::write(std::string_view bytes, lock::Milliseconds limit) {
    const auto size = static_cast<qint64>(bytes.size());
    if (port_.write(bytes.data(), size) != size) return false;
    port_.waitForBytesWritten(static_cast<int>(limit.count()));
    const QSerialPort::SerialPortError error = port_.error();
    return error != QSerialPort::WriteError && error != QSerialPort::ResourceError;
}

Wait QtSerialChannel::waitForBytes(lock::Milliseconds limit, std::string& bytes) {
    Wait result = Wait::TimedOut;
    if (port_.bytesAvailable() == 0) {
        QEventLoop loop;
        const auto end = [&](Wait ended) {
            result = ended;
            loop.quit();
        };
        QObject::connect(&port_, &QSerialPort::readyRead, &loop, [&] { end(Wait::Bytes); });
        // A device that goes away shows as a resource error, or as read errors
        // that go on for as long as it is open (a terminal hung up).
        QObject::connect(
            &port_, &QSerialPort::errorOccurred, &loop, [&](QSerialPort::SerialPortError error) {
                if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)
                    end(Wait::Failed);
            });
        QTimer::singleShot(static_cast<int>(limit.count()), &loop, [&] { end(Wait::TimedOut); });
        const std::shared_ptr<void> guard =
            guard_ ? guard_([&] { end(Wait::Cancelled); }) : nullptr;
        loop.exec();
    } else {
        result = Wait::Bytes;
    }
    if (result == Wait::Bytes) {
        const QByteArray read = port_.readAll();
        bytes.append(read.constData(), static_cast<std::size_t>(read.size()));
    }
    return result;
}

void QtSerialChannel::close() {
    port_.close();
}

std::optional<std::string> QtChannelSource::device(int port) {
    const std::optional<QString> device = directory_.device(port);
    if (!device) return std::nullopt;
    return device->toStdString();
}

std::unique_ptr<lock::ByteChannel> QtChannelSource::channel(const std::string& device) {
    return std::make_unique<QtSerialChannel>(QString::fromStdString(device), guard_);
}

SerialLockReader::SerialLockReader(const PortDirectory& directory, WaitGuard guard)
    : channels_(directory, std::move(guard)),
      reader_(channels_, clock_, [](std::string_view text) { std::cerr << text << '\n'; }) {}

}  // namespace proxcred

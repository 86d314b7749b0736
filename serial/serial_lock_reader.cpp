#include "serial/serial_lock_reader.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <iostream>

#include "lock_protocol/lock_protocol.h"

namespace proxcred {
namespace {

using Wait = lock::ByteChannel::Wait;

// How often a wait asks whether the caller cancelled (Ctrl+C).
constexpr int kCancelPollMs = 50;

// While a read waits, the application keeps painting, but other input to it
// is ignored: no click, no key, no shortcut, no closing. Escape ends the wait.
class InputBlocker final : public QObject {
  public:
    explicit InputBlocker(std::function<void()> onEscape) : onEscape_(std::move(onEscape)) {
        if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
    }
    ~InputBlocker() override {
        if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
    }
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        switch (event->type()) {
            case QEvent::ShortcutOverride:
                // Taken here, so that no shortcut (Escape for Exit) fires.
                event->accept();
                return true;
            case QEvent::KeyPress:
                if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) onEscape_();
                return true;
            case QEvent::KeyRelease:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::Shortcut:
            case QEvent::Close:
            case QEvent::ContextMenu:
                return true;
            default:
                return false;
        }
    }

  private:
    std::function<void()> onEscape_;
};

}  // namespace

QtSerialChannel::QtSerialChannel(const QString& device, std::function<bool()> cancelRequested)
    : port_(device), cancelRequested_(std::move(cancelRequested)) {}

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
        QTimer cancelPoll;
        if (cancelRequested_) {
            QObject::connect(&cancelPoll, &QTimer::timeout, &loop, [&] {
                if (cancelRequested_()) end(Wait::Cancelled);
            });
            cancelPoll.start(kCancelPollMs);
        }
        const InputBlocker blocker([&] { end(Wait::Cancelled); });
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
    return std::make_unique<QtSerialChannel>(QString::fromStdString(device), cancelRequested_);
}

SerialLockReader::SerialLockReader(const PortDirectory& directory,
                                   std::function<bool()> cancelRequested)
    : channels_(directory, std::move(cancelRequested)),
      reader_(channels_, clock_, [](std::string_view text) { std::cerr << text << '\n'; }) {}

}  // namespace proxcred

#include "serial/serial_lock_reader.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QSerialPort>
#include <QTimer>
#include <functional>
#include <iostream>
#include <random>

namespace proxcred {
namespace {

constexpr std::int32_t kStillWaiting = -1;

// While a read waits, the application keeps painting, but other input to it
// is ignored: no click, no key, no shortcut, no closing. Escape ends the read.
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

std::string SerialLockReader::InfoText() {
    const std::optional<QString> device = directory_.device(port_);
    return "Lock reader 1.0: line protocol READ/TEST/STOP with CARD, TEST and ERR replies, "
           "9600 baud, 8 data bits, no parity, 1 stop bit, no flow control. Port " +
           std::to_string(port_) + ": " +
           (device ? device->toStdString() : std::string("no serial device"));
}

void SerialLockReader::InfoAction() {
    std::cerr << InfoText() << '\n';
}

std::int32_t SerialLockReader::ReadCard() {
    return exchange(lock::kRead, lock::Reply::Kind::Card);
}

std::int32_t SerialLockReader::TestRead() {
    return exchange(lock::kTest, lock::Reply::Kind::Test);
}

// Random, so that neither an earlier request of this reader nor one of an
// earlier run of the program shares the number of the request now waiting.
std::uint32_t SerialLockReader::nextRequestNumber() {
    std::uniform_int_distribution<std::uint32_t> numbers(1, lock::kMaxRequestNumber);
    return numbers(random_);
}

std::int32_t SerialLockReader::fail(std::int32_t code, std::string text) {
    errorCode_ = code;
    errorText_ = std::move(text);
    return kStatusError;
}

std::int32_t SerialLockReader::exchange(std::string_view verb, lock::Reply::Kind expected) {
    cardData_.clear();
    testResult_.clear();
    errorCode_ = 0;
    errorText_.clear();

    const std::optional<QString> device = directory_.device(port_);
    if (!device)
        return fail(kPortNotOpened, "There is no serial device for port " + std::to_string(port_));
    QSerialPort serial(*device);
    // Nothing from the line grows without bound.
    serial.setReadBufferSize(static_cast<qint64>(lock::kMaxLineLength) * 4);
    if (!serial.open(QIODevice::ReadWrite)) {
        return fail(kPortNotOpened, "Cannot open " + device->toStdString() + ": " +
                                        serial.errorString().toStdString());
    }
    serial.setBaudRate(QSerialPort::Baud9600);
    serial.setDataBits(QSerialPort::Data8);
    serial.setParity(QSerialPort::NoParity);
    serial.setStopBits(QSerialPort::OneStop);
    serial.setFlowControl(QSerialPort::NoFlowControl);
    // Whatever an earlier request left on the line is of no interest; a late
    // answer to it that is still on its way is told apart by its number.
    serial.clear(QSerialPort::Input);
    const std::uint32_t number = nextRequestNumber();
    const std::string request = lock::requestLine(verb, number);
    serial.write(request.data(), static_cast<qint64>(request.size()));

    QEventLoop loop;
    std::int32_t status = kStillWaiting;
    const auto finish = [&](std::int32_t ended) {
        if (status != kStillWaiting) return;
        status = ended;
        loop.quit();
    };
    lock::LineAssembler lines;
    const auto takeReply = [&](const lock::Reply& reply) {
        if (reply.kind != lock::Reply::Kind::Invalid && reply.request != number) {
            return;  // the answer to a request given up earlier
        }
        if (reply.kind == expected) {
            (expected == lock::Reply::Kind::Card ? cardData_ : testResult_) = reply.text;
            finish(kStatusOK);
        } else if (reply.kind == lock::Reply::Kind::Error) {
            finish(fail(reply.code, reply.text));
        } else if (reply.kind == lock::Reply::Kind::Invalid) {
            finish(fail(kUnknownReply, reply.text));
        } else {
            finish(fail(kUnknownReply, "The lock answered another request"));
        }
    };
    QObject::connect(&serial, &QSerialPort::readyRead, &loop, [&] {
        const QByteArray bytes = serial.readAll();
        std::string_view rest(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        while (status == kStillWaiting && !rest.empty()) {
            std::size_t used = 0;
            const lock::LineAssembler::Result result = lines.feed(rest, used);
            rest.remove_prefix(used);
            switch (result) {
                case lock::LineAssembler::Result::NeedMore:
                    break;
                case lock::LineAssembler::Result::TooLong:
                    finish(fail(kLineTooLong, "The lock sent a line longer than 128 bytes"));
                    break;
                case lock::LineAssembler::Result::BadByte:
                    finish(fail(kBadByte, "The lock sent bytes that are not part of the protocol"));
                    break;
                case lock::LineAssembler::Result::Line:
                    takeReply(lock::parseReply(lines.line()));
                    break;
            }
        }
    });
    QObject::connect(
        &serial, &QSerialPort::errorOccurred, &loop, [&](QSerialPort::SerialPortError error) {
            // A device that goes away shows as a resource error, or as read
            // errors that go on for as long as it is open (a terminal hung up).
            if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
                finish(fail(kDeviceLost, "The serial device went away during the read"));
            }
        });
    QTimer waitLimit;
    waitLimit.setSingleShot(true);
    QObject::connect(&waitLimit, &QTimer::timeout, &loop, [&] {
        if (lines.pending()) {
            finish(fail(kLineCutOff, "The lock's reply was cut off"));
        } else {
            finish(kStatusTimeout);
        }
    });
    const InputBlocker blocker([&] { finish(kStatusCancelled); });
    waitLimit.start(timeout_);
    loop.exec();

    if (status != kStatusOK && errorCode_ != kDeviceLost) {
        const std::string stop = lock::requestLine(lock::kStop, number);
        serial.write(stop.data(), static_cast<qint64>(stop.size()));
        serial.waitForBytesWritten(100);
    }
    serial.close();
    return status;
}

}  // namespace proxcred

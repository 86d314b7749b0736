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

// One wait for the lock's answer to request `number`, in a local event loop
// that the first of the answer, a fault, Escape or the wait limit ends.
class ReplyWait {
  public:
    struct Ended {
        std::int32_t status = kStillWaiting;
        std::string text;  // card data or test text
        std::int32_t errorCode = 0;
        std::string errorText;
    };

    ReplyWait(QSerialPort& serial, std::uint32_t number, lock::Reply::Kind expected)
        : serial_(serial), number_(number), expected_(expected) {}

    Ended run(int timeoutMs) {
        QObject::connect(&serial_, &QSerialPort::readyRead, &loop_, [this] { takeBytes(); });
        QObject::connect(&serial_, &QSerialPort::errorOccurred, &loop_,
                         [this](QSerialPort::SerialPortError error) { deviceError(error); });
        QTimer waitLimit;
        waitLimit.setSingleShot(true);
        QObject::connect(&waitLimit, &QTimer::timeout, &loop_, [this] { waitLimitPassed(); });
        const InputBlocker blocker([this] { finish({SerialLockReader::kStatusCancelled}); });
        waitLimit.start(timeoutMs);
        loop_.exec();
        return ended_;
    }

  private:
    void finish(Ended ended) {
        if (ended_.status != kStillWaiting) return;
        ended_ = std::move(ended);
        loop_.quit();
    }
    void fail(std::int32_t code, std::string text) {
        finish({SerialLockReader::kStatusError, {}, code, std::move(text)});
    }

    void takeBytes() {
        const QByteArray bytes = serial_.readAll();
        std::string_view rest(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        while (ended_.status == kStillWaiting && !rest.empty()) {
            std::size_t used = 0;
            const lock::LineAssembler::Result result = lines_.feed(rest, used);
            rest.remove_prefix(used);
            switch (result) {
                case lock::LineAssembler::Result::NeedMore:
                    break;
                case lock::LineAssembler::Result::TooLong:
                    fail(SerialLockReader::kLineTooLong, "The lock sent a line longer than " +
                                                             std::to_string(lock::kMaxLineLength) +
                                                             " bytes");
                    break;
                case lock::LineAssembler::Result::BadByte:
                    fail(SerialLockReader::kBadByte,
                         "The lock sent bytes that are not part of the protocol");
                    break;
                case lock::LineAssembler::Result::Line:
                    takeReply(lock::parseReply(lines_.line()));
                    break;
            }
        }
    }

    void takeReply(const lock::Reply& reply) {
        if (reply.kind == lock::Reply::Kind::Invalid) {
            fail(SerialLockReader::kUnknownReply, reply.text);
        } else if (reply.request != number_) {
            // The answer to a request given up earlier: not this one's.
        } else if (reply.kind == expected_) {
            finish({SerialLockReader::kStatusOK, reply.text});
        } else if (reply.kind == lock::Reply::Kind::Error) {
            fail(reply.code, reply.text);
        } else {
            fail(SerialLockReader::kUnknownReply, "The lock answered another request");
        }
    }

    void deviceError(QSerialPort::SerialPortError error) {
        // A device that goes away shows as a resource error, or as read
        // errors that go on for as long as it is open (a terminal hung up).
        if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
            fail(SerialLockReader::kDeviceLost, "The serial device went away during the read");
        }
    }

    void waitLimitPassed() {
        if (lines_.pending()) {
            fail(SerialLockReader::kLineCutOff, "The lock's reply was cut off");
        } else {
            finish({SerialLockReader::kStatusTimeout});
        }
    }

    QSerialPort& serial_;
    const std::uint32_t number_;
    const lock::Reply::Kind expected_;
    QEventLoop loop_;
    lock::LineAssembler lines_;
    Ended ended_;
};

void send(QSerialPort& serial, std::string_view line) {
    serial.write(line.data(), static_cast<qint64>(line.size()));
}

}  // namespace

std::string SerialLockReader::InfoText() {
    const std::optional<QString> device = directory_.device(port_);
    return "Lock reader 1.0: line protocol READ/TEST/STOP with CARD, TEST and ERR replies, " +
           std::string(lock::kSerialSettings) + ". Port " + std::to_string(port_) + ": " +
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
    if (!openForTheLock(serial)) {
        return fail(kPortNotOpened, "Cannot open " + device->toStdString() + ": " +
                                        serial.errorString().toStdString());
    }
    // Whatever an earlier request left on the line is of no interest; a late
    // answer to it that is still on its way is told apart by its number.
    serial.clear(QSerialPort::Input);
    const std::uint32_t number = nextRequestNumber();
    send(serial, lock::requestLine(verb, number));

    ReplyWait::Ended ended = ReplyWait(serial, number, expected).run(timeout_);
    if (ended.status == kStatusOK) {
        (expected == lock::Reply::Kind::Card ? cardData_ : testResult_) = std::move(ended.text);
    } else if (ended.status == kStatusError) {
        fail(ended.errorCode, std::move(ended.errorText));
    }
    if (ended.status != kStatusOK && errorCode_ != kDeviceLost) {
        constexpr int kStopWriteMs = 100;
        send(serial, lock::requestLine(lock::kStop, number));
        serial.waitForBytesWritten(kStopWriteMs);
    }
    serial.close();
    return ended.status;
}

bool SerialLockReader::openForTheLock(QSerialPort& serial) {
    // Nothing from the line grows without bound.
    constexpr qint64 kLinesBuffered = 4;
    serial.setReadBufferSize(static_cast<qint64>(lock::kMaxLineLength) * kLinesBuffered);
    if (!serial.open(QIODevice::ReadWrite)) return false;
    serial.setBaudRate(lock::kBaudRate);
    serial.setDataBits(QSerialPort::Data8);
    serial.setParity(QSerialPort::NoParity);
    serial.setStopBits(QSerialPort::OneStop);
    serial.setFlowControl(QSerialPort::NoFlowControl);
    return true;
}

}  // namespace proxcred

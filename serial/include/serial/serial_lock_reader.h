#pragma once

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <cstdint>
#include <random>

#include "lock_protocol/lock_protocol.h"
#include "platform/platform.h"
#include "serial/port_directory.h"

// The card-reader component on a serial line with the lock protocol of
// docs/lock-protocol.md. A read blocks until it ends (card data, Escape, wait
// limit, fault) while the application keeps painting; other input is ignored
// meanwhile and Escape cancels the read.
namespace proxcred {

class SerialLockReader final : public CardReaderControl {
  public:
    static constexpr std::int32_t kStatusOK = 0;
    static constexpr std::int32_t kStatusTimeout = 1;
    static constexpr std::int32_t kStatusCancelled = 2;
    static constexpr std::int32_t kStatusError = 3;

    // The error codes of faults the reader finds itself; a lock's own codes
    // are passed on as the lock sent them.
    static constexpr std::int32_t kPortNotOpened = 2;
    static constexpr std::int32_t kLineTooLong = 101;
    static constexpr std::int32_t kBadByte = 102;
    static constexpr std::int32_t kUnknownReply = 103;
    static constexpr std::int32_t kLineCutOff = 104;
    static constexpr std::int32_t kDeviceLost = 105;

    explicit SerialLockReader(const PortDirectory& directory) : directory_(directory) {}

    void setReaderPort(std::int16_t portNumber) override { port_ = portNumber; }
    void setReadTimeout(std::int16_t milliseconds) override { timeout_ = milliseconds; }

    std::string TestResult() override { return testResult_; }
    std::string CardData() override { return cardData_; }
    std::int32_t ErrorCode() override { return errorCode_; }
    std::string ErrorText() override { return errorText_; }
    std::string InfoText() override;

    std::int32_t StatusOK() override { return kStatusOK; }
    std::int32_t StatusTimeout() override { return kStatusTimeout; }
    std::int32_t StatusCancelled() override { return kStatusCancelled; }
    std::int32_t StatusError() override { return kStatusError; }

    std::int32_t TestRead() override;
    std::int32_t ReadCard() override;
    // Writes the information text to standard error, for a support log; it
    // leaves the clipboard alone, where the host's preset and reply live.
    void InfoAction() override;

  private:
    // One request and its reply, or how the exchange ended otherwise.
    std::int32_t exchange(std::string_view verb, lock::Reply::Kind expected);
    std::uint32_t nextRequestNumber();
    // Opens the port with the lock's serial settings.
    static bool openForTheLock(QSerialPort& serial);
    std::int32_t fail(std::int32_t code, std::string text);

    const PortDirectory& directory_;
    std::int16_t port_ = 1;
    std::int16_t timeout_ = kCardReadTimeoutMs;
    std::string cardData_;
    std::string testResult_;
    std::int32_t errorCode_ = 0;
    std::string errorText_;
    std::mt19937 random_{std::random_device{}()};
};

}  // namespace proxcred

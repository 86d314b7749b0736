#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "lock_protocol/lock_protocol.h"
#include "lock_reader/byte_channel.h"
#include "platform/platform.h"

// The card-reader component: one read of a card (or a test read) from a lock
// with the line protocol of docs/lock-protocol.md, over whatever channel the
// platform gives it. It decides every outcome: the card, the test text, a
// timeout, a cancelled read, and each fault with its code and text. A read
// never waits longer than its limit, skips answers to other requests, and
// sends STOP for its request when it ends without an answer.
namespace proxcred::lock {

class LockReader final : public CardReaderControl {
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
    static constexpr std::int32_t kWriteFailed = 106;

    // `info` receives the information text of InfoAction (a support log).
    LockReader(ChannelSource& channels, SteadyClock& clock,
               std::function<void(std::string_view)> info);

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
    void InfoAction() override { info_(InfoText()); }

  private:
    // One request and its reply, or how the exchange ended otherwise.
    std::int32_t exchange(std::string_view verb, Reply::Kind expected);
    std::uint32_t nextRequestNumber();
    std::int32_t fail(std::int32_t code, std::string text);

    ChannelSource& channels_;
    SteadyClock& clock_;
    std::function<void(std::string_view)> info_;
    std::int16_t port_ = 1;
    std::int16_t timeout_ = kCardReadTimeoutMs;
    std::string cardData_;
    std::string testResult_;
    std::int32_t errorCode_ = 0;
    std::string errorText_;
    std::mt19937 random_{std::random_device{}()};
};

}  // namespace proxcred::lock

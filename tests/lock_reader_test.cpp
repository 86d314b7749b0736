// The lock reader's logic on a fake channel and a fake clock: every outcome
// of docs/lock-protocol.md, late and stale answers, answers cut in the middle,
// floods, garbage, a channel that fails, and a cancel at every point. Runs in
// the Linux and the Windows test builds alike.
#include "lock_reader/lock_reader.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace proxcred::lock {
namespace {

using Wait = ByteChannel::Wait;

class FakeClock final : public SteadyClock {
  public:
    Milliseconds now() override { return now_; }
    void advance(Milliseconds by) { now_ += by; }

  private:
    Milliseconds now_{1000};
};

// What one wait of the channel brings: `{n}` in the bytes stands for the
// number of the request the reader sent, `{m}` for another one.
struct Step {
    Wait wait = Wait::Bytes;
    std::string bytes;
    int takesMs = 10;
};

// A scripted line: the steps in turn, then silence until the limit.
struct FakeLine {
    std::deque<Step> steps;
    bool openFails = false;
    bool writeFails = false;
    std::vector<std::string> written;
    int waits = 0;
    bool closed = false;
};

std::string numberIn(const std::string& request) {
    const auto blank = request.find(' ');
    return request.substr(blank + 1, request.find('\r') - blank - 1);
}

std::string filledIn(std::string text, const std::string& number) {
    for (auto at = text.find("{n}"); at != std::string::npos; at = text.find("{n}"))
        text.replace(at, 3, number);
    for (auto at = text.find("{m}"); at != std::string::npos; at = text.find("{m}"))
        text.replace(at, 3, number == "1" ? "2" : "1");
    return text;
}

class FakeChannel final : public ByteChannel {
  public:
    FakeChannel(FakeLine& line, FakeClock& clock) : line_(line), clock_(clock) {}

    bool open(std::string& why) override {
        why = "Access is denied";
        return !line_.openFails;
    }
    void discardInput() override {}
    bool write(std::string_view bytes, Milliseconds /*limit*/) override {
        if (line_.writeFails) return false;
        line_.written.emplace_back(bytes);
        return true;
    }
    Wait waitForBytes(Milliseconds limit, std::string& bytes) override {
        ++line_.waits;
        if (line_.steps.empty()) {
            clock_.advance(limit);
            return Wait::TimedOut;
        }
        const Step step = line_.steps.front();
        line_.steps.pop_front();
        clock_.advance(std::min(limit, Milliseconds(step.takesMs)));
        bytes += filledIn(step.bytes, numberIn(line_.written.front()));
        return step.wait;
    }
    void close() override { line_.closed = true; }

  private:
    FakeLine& line_;
    FakeClock& clock_;
};

class FakeSource final : public ChannelSource {
  public:
    FakeSource(FakeLine& line, FakeClock& clock) : line_(line), clock_(clock) {}
    std::optional<std::string> device(int port) override {
        if (port != 7) return std::nullopt;
        return "COM7";
    }
    std::unique_ptr<ByteChannel> channel(const std::string& /*device*/) override {
        return std::make_unique<FakeChannel>(line_, clock_);
    }

  private:
    FakeLine& line_;
    FakeClock& clock_;
};

struct Read {
    std::int32_t status;
    std::string data;  // card data, test text or error text
    std::int32_t errorCode;
    bool stopSent;
    Milliseconds took;
};

Read readWith(FakeLine& line, bool test = false, int port = 7, int timeoutMs = 1000) {
    FakeClock clock;
    FakeSource source(line, clock);
    LockReader reader(source, clock, [](std::string_view) {});
    reader.setReaderPort(static_cast<std::int16_t>(port));
    reader.setReadTimeout(static_cast<std::int16_t>(timeoutMs));
    const Milliseconds start = clock.now();
    const std::int32_t status = test ? reader.TestRead() : reader.ReadCard();
    const std::string data = status == LockReader::kStatusOK
                                 ? (test ? reader.TestResult() : reader.CardData())
                                 : reader.ErrorText();
    const bool stopSent =
        line.written.size() == 2 && line.written[1] == "STOP " + numberIn(line.written[0]) + "\r\n";
    return {status, data, reader.ErrorCode(), stopSent, clock.now() - start};
}

struct Case {
    const char* name;
    std::vector<Step> steps;
    std::int32_t status;
    std::string data;
    std::int32_t errorCode;
    bool stopSent;
};

constexpr auto OK = LockReader::kStatusOK;
constexpr auto kTimeout = LockReader::kStatusTimeout;
constexpr auto kCancelled = LockReader::kStatusCancelled;
constexpr auto kError = LockReader::kStatusError;

TEST(LockReader, EveryOutcomeOfARead) {
    const std::string flood(300, 'A');
    const Case cases[] = {
        {"card",
         {{Wait::Bytes, "CARD {n} 0000000600400002\r\n"}},
         OK,
         "0000000600400002",
         0,
         false},
        {"card in pieces",
         {{Wait::Bytes, "CA"},
          {Wait::Bytes, "RD {n} 00000006004"},
          {Wait::Bytes, "00002\r"},
          {Wait::Bytes, "\n"}},
         OK,
         "0000000600400002",
         0,
         false},
        {"stale answers first",
         {{Wait::Bytes, "CARD {m} 0000777777777777\r\nERR {m} 7 old\r\n"},
          {Wait::Bytes, "CARD {n} 0000000600400002\r\n"}},
         OK,
         "0000000600400002",
         0,
         false},
        {"no answer", {}, kTimeout, "", 0, true},
        {"only a stale answer",
         {{Wait::Bytes, "CARD {m} 0000000600400002\r\n"}},
         kTimeout,
         "",
         0,
         true},
        {"lock error",
         {{Wait::Bytes, "ERR {n} 7 reader jammed\r\n"}},
         kError,
         "reader jammed",
         7,
         true},
        {"cut off",
         {{Wait::Bytes, "CARD {n} 00000006"}},
         kError,
         "The lock's reply was cut off",
         LockReader::kLineCutOff,
         true},
        {"flood without a line end",
         {{Wait::Bytes, flood}},
         kError,
         "The lock sent a line longer than 128 bytes",
         LockReader::kLineTooLong,
         true},
        {"garbage",
         {{Wait::Bytes, "\x01\xff\r\n"}},
         kError,
         "The lock sent bytes that are not part of the protocol",
         LockReader::kBadByte,
         true},
        {"unknown line",
         {{Wait::Bytes, "HELLO\r\n"}},
         kError,
         "The lock sent a reply the reader does not understand",
         LockReader::kUnknownReply,
         true},
        {"answer of another kind",
         {{Wait::Bytes, "TEST {n} ready\r\n"}},
         kError,
         "The lock answered another request",
         LockReader::kUnknownReply,
         true},
        {"device gone",
         {{Wait::Failed, ""}},
         kError,
         "The serial device went away during the read",
         LockReader::kDeviceLost,
         false},
        {"cancelled at once", {{Wait::Cancelled, ""}}, kCancelled, "", 0, true},
        {"cancelled mid-line",
         {{Wait::Bytes, "CARD {n} 000"}, {Wait::Cancelled, ""}},
         kCancelled,
         "",
         0,
         true},
        {"cancelled after a stale answer",
         {{Wait::Bytes, "CARD {m} 0000000600400002\r\n"}, {Wait::Cancelled, ""}},
         kCancelled,
         "",
         0,
         true},
        {"cancel after the answer is too late",
         {{Wait::Bytes, "CARD {n} 0000000600400002\r\n"}, {Wait::Cancelled, ""}},
         OK,
         "0000000600400002",
         0,
         false},
    };
    for (const Case& c : cases) {
        FakeLine line;
        line.steps.assign(c.steps.begin(), c.steps.end());
        const Read read = readWith(line);
        EXPECT_EQ(read.status, c.status) << c.name;
        EXPECT_EQ(read.data, c.data) << c.name;
        EXPECT_EQ(read.errorCode, c.errorCode) << c.name;
        EXPECT_EQ(read.stopSent, c.stopSent) << c.name;
        EXPECT_TRUE(line.closed) << c.name;
        EXPECT_LE(read.took, Milliseconds(1000)) << c.name;
    }
}

// Stale lines that keep coming never hold a read past its limit.
TEST(LockReader, AFloodOfStaleAnswersEndsAtTheLimit) {
    FakeLine line;
    for (int i = 0; i < 1000; ++i) line.steps.push_back({Wait::Bytes, "CARD {m} 01\r\n", 5});
    const Read read = readWith(line);
    EXPECT_EQ(read.status, kTimeout);
    EXPECT_EQ(read.took, Milliseconds(1000));
    EXPECT_TRUE(read.stopSent);
}

TEST(LockReader, TestReadsAndPortsThatCannotBeUsed) {
    FakeLine test;
    test.steps.push_back({Wait::Bytes, "TEST {n} lock simulator ready\r\n"});
    EXPECT_EQ(readWith(test, true).data, "lock simulator ready");

    FakeLine none;
    const Read noPort = readWith(none, false, 5);
    EXPECT_EQ(noPort.errorCode, LockReader::kPortNotOpened);
    EXPECT_EQ(noPort.data, "There is no serial device for port 5");
    EXPECT_TRUE(none.written.empty());

    FakeLine denied;
    denied.openFails = true;
    const Read notOpened = readWith(denied);
    EXPECT_EQ(notOpened.errorCode, LockReader::kPortNotOpened);
    EXPECT_EQ(notOpened.data, "Cannot open COM7: Access is denied");

    FakeLine unwritable;
    unwritable.writeFails = true;
    const Read notWritten = readWith(unwritable);
    EXPECT_EQ(notWritten.status, kError);
    EXPECT_EQ(notWritten.errorCode, LockReader::kWriteFailed);
    EXPECT_EQ(unwritable.waits, 0);
}

// Each read asks with a number of its own, so that an answer to an earlier
// one is never taken for it.
TEST(LockReader, EachRequestHasItsOwnNumber) {
    FakeClock clock;
    FakeLine line;
    FakeSource source(line, clock);
    LockReader reader(source, clock, [](std::string_view) {});
    reader.setReaderPort(7);
    reader.setReadTimeout(10);
    for (int i = 0; i < 20; ++i) reader.ReadCard();
    std::vector<std::string> numbers;
    for (const std::string& request : line.written) {
        if (request.rfind("READ ", 0) == 0) numbers.push_back(numberIn(request));
    }
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(std::adjacent_find(numbers.begin(), numbers.end()), numbers.end());
    EXPECT_EQ(numbers.size(), 20U);
}

}  // namespace
}  // namespace proxcred::lock

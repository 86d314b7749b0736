#include "lock_reader/lock_reader.h"

namespace proxcred::lock {
namespace {

constexpr std::int32_t kStillWaiting = -1;
// How long a request or a STOP may take to leave: a line at 9600 baud takes
// a few milliseconds.
constexpr Milliseconds kWriteLimit{100};

// How one exchange ended.
struct Ended {
    std::int32_t status = kStillWaiting;
    std::string text;  // card data or test text
    std::int32_t errorCode = 0;
    std::string errorText;
};

// The wait for the lock's answer to request `number`: the first of the
// answer, a fault, a cancel or the wait limit ends it.
class ReplyWait {
  public:
    ReplyWait(ByteChannel& channel, SteadyClock& clock, std::uint32_t number, Reply::Kind expected)
        : channel_(channel), clock_(clock), number_(number), expected_(expected) {}

    Ended run(Milliseconds limit) {
        const Milliseconds deadline = clock_.now() + limit;
        std::string bytes;
        while (ended_.status == kStillWaiting) {
            const Milliseconds left = deadline - clock_.now();
            if (left <= Milliseconds::zero()) {
                waitLimitPassed();
                break;
            }
            bytes.clear();
            switch (channel_.waitForBytes(left, bytes)) {
                case ByteChannel::Wait::Bytes:
                    takeBytes(bytes);
                    break;
                case ByteChannel::Wait::TimedOut:
                    break;  // the deadline is checked above
                case ByteChannel::Wait::Cancelled:
                    finish({LockReader::kStatusCancelled});
                    break;
                case ByteChannel::Wait::Failed:
                    fail(LockReader::kDeviceLost, "The serial device went away during the read");
                    break;
            }
        }
        return ended_;
    }

  private:
    void finish(Ended ended) {
        if (ended_.status == kStillWaiting) ended_ = std::move(ended);
    }
    void fail(std::int32_t code, std::string text) {
        finish({LockReader::kStatusError, {}, code, std::move(text)});
    }

    void takeBytes(std::string_view rest) {
        while (ended_.status == kStillWaiting && !rest.empty()) {
            std::size_t used = 0;
            const LineAssembler::Result result = lines_.feed(rest, used);
            rest.remove_prefix(used);
            switch (result) {
                case LineAssembler::Result::NeedMore:
                    break;
                case LineAssembler::Result::TooLong:
                    fail(LockReader::kLineTooLong, "The lock sent a line longer than " +
                                                       std::to_string(kMaxLineLength) + " bytes");
                    break;
                case LineAssembler::Result::BadByte:
                    fail(LockReader::kBadByte,
                         "The lock sent bytes that are not part of the protocol");
                    break;
                case LineAssembler::Result::Line:
                    takeReply(parseReply(lines_.line()));
                    break;
            }
        }
    }

    void takeReply(const Reply& reply) {
        if (reply.kind == Reply::Kind::Invalid) {
            fail(LockReader::kUnknownReply, reply.text);
        } else if (reply.request != number_) {
            // The answer to a request given up earlier: not this one's.
        } else if (reply.kind == expected_) {
            finish({LockReader::kStatusOK, reply.text});
        } else if (reply.kind == Reply::Kind::Error) {
            fail(reply.code, reply.text);
        } else {
            fail(LockReader::kUnknownReply, "The lock answered another request");
        }
    }

    void waitLimitPassed() {
        if (lines_.pending()) {
            fail(LockReader::kLineCutOff, "The lock's reply was cut off");
        } else {
            finish({LockReader::kStatusTimeout});
        }
    }

    ByteChannel& channel_;
    SteadyClock& clock_;
    const std::uint32_t number_;
    const Reply::Kind expected_;
    LineAssembler lines_;
    Ended ended_;
};

}  // namespace

LockReader::LockReader(ChannelSource& channels, SteadyClock& clock,
                       std::function<void(std::string_view)> info)
    : channels_(channels), clock_(clock), info_(std::move(info)) {}

std::string LockReader::InfoText() {
    const std::optional<std::string> device = channels_.device(port_);
    return "Lock reader 1.0: line protocol READ/TEST/STOP with CARD, TEST and ERR replies, " +
           std::string(kSerialSettings) + ". Port " + std::to_string(port_) + ": " +
           device.value_or("no serial device");
}

std::int32_t LockReader::ReadCard() {
    return exchange(kRead, Reply::Kind::Card);
}

std::int32_t LockReader::TestRead() {
    return exchange(kTest, Reply::Kind::Test);
}

// Random, so that neither an earlier request of this reader nor one of an
// earlier run of the program shares the number of the request now waiting.
std::uint32_t LockReader::nextRequestNumber() {
    std::uniform_int_distribution<std::uint32_t> numbers(1, kMaxRequestNumber);
    return numbers(random_);
}

std::int32_t LockReader::fail(std::int32_t code, std::string text) {
    errorCode_ = code;
    errorText_ = std::move(text);
    return kStatusError;
}

std::int32_t LockReader::exchange(std::string_view verb, Reply::Kind expected) {
    cardData_.clear();
    testResult_.clear();
    errorCode_ = 0;
    errorText_.clear();

    const std::optional<std::string> device = channels_.device(port_);
    if (!device)
        return fail(kPortNotOpened, "There is no serial device for port " + std::to_string(port_));
    const std::unique_ptr<ByteChannel> channel = channels_.channel(*device);
    std::string why;
    if (!channel->open(why)) return fail(kPortNotOpened, "Cannot open " + *device + ": " + why);
    // Whatever an earlier request left on the line is of no interest; a late
    // answer to it that is still on its way is told apart by its number.
    channel->discardInput();
    const std::uint32_t number = nextRequestNumber();
    Ended ended;
    if (channel->write(requestLine(verb, number), kWriteLimit)) {
        ended = ReplyWait(*channel, clock_, number, expected).run(Milliseconds(timeout_));
    } else {
        ended = {kStatusError, {}, kWriteFailed, "The request could not be written to the lock"};
    }
    if (ended.status == kStatusOK) {
        (expected == Reply::Kind::Card ? cardData_ : testResult_) = std::move(ended.text);
    } else if (ended.status == kStatusError) {
        fail(ended.errorCode, std::move(ended.errorText));
    }
    // The lock is not left reading for a request nobody waits for.
    if (ended.status != kStatusOK && errorCode_ != kDeviceLost && errorCode_ != kWriteFailed)
        channel->write(requestLine(kStop, number), kWriteLimit);
    channel->close();
    return ended.status;
}

}  // namespace proxcred::lock

// proxcred-locksim: a lock on a pseudo-terminal (or a serial device) that
// answers the card reader's line protocol, for trying and testing the reader
// without a lock. Answers to READ are given in order, one per read, in turn.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "lock_protocol/lock_protocol.h"
#include "version/version.h"

namespace {

struct Answer {
    enum class Kind { Card, NoCard, Error, Garbage, CutOff, HangUp };
    Kind kind;
    std::string text;
};

struct Options {
    std::string link;
    std::string device;
    int delayMs = 0;
    bool ignoreStop = false;
    std::string log;  // where each request line received is appended
    std::string testText = "lock simulator ready";
    std::vector<Answer> answers;
};

using Clock = std::chrono::steady_clock;

// A READ that waits for its answer.
struct PendingRead {
    std::uint32_t request;
    Answer answer;
    Clock::time_point due;
};

volatile std::sig_atomic_t stopRequested = 0;

void usage(std::FILE* to) {
    std::fputs(
        "usage: proxcred-locksim [--link PATH] [--device PATH] [--delay MS] [--ignore-stop]\n"
        "                        [--log FILE]\n"
        "                        [--test TEXT] [--card DATA | --no-card | --error CODE TEXT |\n"
        "                         --garbage | --cut | --hangup]...\n"
        "Creates a pseudo-terminal (or opens --device), prints its path, and answers each\n"
        "READ with the next answer given, in turn (default: --card 0000000600400002).\n"
        "  --card DATA        card data, e.g. 0000000600400002\n"
        "  --no-card          no answer: the reader times out\n"
        "  --error CODE TEXT  an error reply; code 2: the lock cannot reach its reader\n"
        "  --garbage          bytes outside the protocol\n"
        "  --cut              a reply line that never ends\n"
        "  --hangup           hang up in the middle of the reply, then exit\n"
        "  --delay MS         wait before each answer\n"
        "  --ignore-stop      answer a READ even after the reader sent STOP for it\n"
        "  --log FILE         append each request line received to FILE (for tests)\n"
        "  --test TEXT        the answer to TEST\n",
        to);
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&](int count) { return i + count < argc; };
        if (arg == "--link" && value(1)) {
            options.link = argv[++i];
        } else if (arg == "--device" && value(1)) {
            options.device = argv[++i];
        } else if (arg == "--delay" && value(1)) {
            options.delayMs = std::atoi(argv[++i]);
        } else if (arg == "--log" && value(1)) {
            options.log = argv[++i];
        } else if (arg == "--ignore-stop") {
            options.ignoreStop = true;
        } else if (arg == "--test" && value(1)) {
            options.testText = argv[++i];
        } else if (arg == "--card" && value(1)) {
            options.answers.push_back({Answer::Kind::Card, argv[++i]});
        } else if (arg == "--no-card") {
            options.answers.push_back({Answer::Kind::NoCard, {}});
        } else if (arg == "--error" && value(2)) {
            options.answers.push_back(
                {Answer::Kind::Error, std::string(argv[i + 1]) + " " + argv[i + 2]});
            i += 2;
        } else if (arg == "--garbage") {
            options.answers.push_back({Answer::Kind::Garbage, {}});
        } else if (arg == "--cut") {
            options.answers.push_back({Answer::Kind::CutOff, {}});
        } else if (arg == "--hangup") {
            options.answers.push_back({Answer::Kind::HangUp, {}});
        } else {
            return false;
        }
    }
    if (options.answers.empty())
        options.answers.push_back({Answer::Kind::Card, "0000000600400002"});
    return true;
}

void makeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return;
    cfmakeraw(&settings);
    cfsetspeed(&settings, B9600);
    tcsetattr(fd, TCSANOW, &settings);
}

void send(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Bytes no lock may send: control bytes, a byte above ASCII and DEL.
constexpr std::string_view kGarbage = "\x01\xfe\x02garbage\x7f\r\n";

// Answers one READ; false when the simulator hangs up.
bool answer(int fd, const PendingRead& read) {
    const std::string number = std::to_string(read.request);
    switch (read.answer.kind) {
        case Answer::Kind::Card:
            send(fd, "CARD " + number + " " + read.answer.text + "\r\n");
            break;
        case Answer::Kind::NoCard:
            break;
        case Answer::Kind::Error:
            send(fd, "ERR " + number + " " + read.answer.text + "\r\n");
            break;
        case Answer::Kind::Garbage:
            send(fd, kGarbage);
            break;
        case Answer::Kind::CutOff:
            send(fd, "CARD " + number + " 00000006");
            break;
        case Answer::Kind::HangUp:
            send(fd, "CARD " + number + " 000");
            return false;
    }
    return true;
}

// The lock's side of the protocol: requests in, answers out when they are due.
class Lock {
  public:
    Lock(int fd, const Options& options) : fd_(fd), options_(options) {}

    // Takes the bytes that arrived; answers TEST at once and queues READs.
    void receive(char byte) {
        if (byte != '\n') {
            if (byte != '\r' && line_.size() < 256) line_.push_back(byte);
            return;
        }
        const std::optional<proxcred::lock::Request> request = proxcred::lock::parseRequest(line_);
        logRequest();
        line_.clear();
        if (!request) return;
        if (request->verb == proxcred::lock::kRead) {
            const auto due = Clock::now() + std::chrono::milliseconds(options_.delayMs);
            pending_.push_back({request->number, options_.answers[nextAnswer_], due});
            nextAnswer_ = (nextAnswer_ + 1) % options_.answers.size();
        } else if (request->verb == proxcred::lock::kTest) {
            send(fd_, "TEST " + std::to_string(request->number) + " " + options_.testText + "\r\n");
        } else if (!options_.ignoreStop) {
            std::erase_if(pending_,
                          [&](const PendingRead& read) { return read.request == request->number; });
        }
    }

    // Sends the answers that are due; false once the lock has hung up.
    bool answerDue() {
        while (!pending_.empty() && pending_.front().due <= Clock::now()) {
            const PendingRead read = pending_.front();
            pending_.pop_front();
            if (!answer(fd_, read)) return false;
        }
        return true;
    }

    // How long to wait for input before the next answer is due.
    int waitMs() const {
        constexpr int kIdlePollMs = 100;
        if (pending_.empty()) return kIdlePollMs;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            pending_.front().due - Clock::now());
        return static_cast<int>(std::clamp<long long>(left.count(), 0, kIdlePollMs));
    }

  private:
    void logRequest() const {
        if (options_.log.empty()) return;
        if (std::FILE* log = std::fopen(options_.log.c_str(), "a")) {
            std::fprintf(log, "%s\n", line_.c_str());
            std::fclose(log);
        }
    }

    int fd_;
    const Options& options_;
    std::string line_;
    std::deque<PendingRead> pending_;
    std::size_t nextAnswer_ = 0;
};

// The line the lock listens on: a new pseudo-terminal, or --device.
struct Line {
    int fd = -1;
    int heldOtherEnd = -1;  // keeps a pseudo-terminal alive between reads
    std::string path;
};

bool openLine(const Options& options, Line& line) {
    line.path = options.device;
    if (!options.device.empty()) {
        line.fd = open(options.device.c_str(), O_RDWR | O_NOCTTY);
    } else {
        line.fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (line.fd >= 0 && grantpt(line.fd) == 0 && unlockpt(line.fd) == 0) {
            line.path = ptsname(line.fd);
            line.heldOtherEnd = open(line.path.c_str(), O_RDWR | O_NOCTTY);
        }
    }
    if (line.fd < 0 || line.path.empty()) return false;
    makeRaw(line.fd);
    if (line.heldOtherEnd >= 0) makeRaw(line.heldOtherEnd);
    return true;
}

void closeLine(const Line& line) {
    close(line.fd);
    if (line.heldOtherEnd >= 0) close(line.heldOtherEnd);
}

// Answers requests until SIGTERM or SIGINT, or until the lock hangs up.
void serve(const Line& line, const Options& options) {
    // A read error (the other end closed for a moment) is retried after this.
    constexpr auto kRetryAfterReadError = std::chrono::milliseconds(20);
    Lock lock(line.fd, options);
    bool running = true;
    while (running && stopRequested == 0) {
        pollfd ready{line.fd, POLLIN, 0};
        if (poll(&ready, 1, lock.waitMs()) > 0) {
            char byte = 0;
            if (read(line.fd, &byte, 1) == 1) {
                lock.receive(byte);
            } else {
                std::this_thread::sleep_for(kRetryAfterReadError);
            }
        }
        running = lock.answerDue();
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        usage(stdout);
        return 0;
    }
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        usage(stdout);
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("proxcred-locksim %s\n", std::string(proxcred::kVersion).c_str());
        return 0;
    }
    if (!parse(argc, argv, options)) {
        usage(stderr);
        return 2;
    }
    Line line;
    if (!openLine(options, line)) {
        std::perror("proxcred-locksim");
        return 1;
    }
    if (!options.link.empty()) {
        unlink(options.link.c_str());
        if (symlink(line.path.c_str(), options.link.c_str()) != 0) {
            std::perror("proxcred-locksim: --link");
            return 1;
        }
    }
    std::printf("%s\n", line.path.c_str());
    std::fflush(stdout);
    std::signal(SIGTERM, [](int) { stopRequested = 1; });
    std::signal(SIGINT, [](int) { stopRequested = 1; });
    serve(line, options);
    closeLine(line);
    if (!options.link.empty()) unlink(options.link.c_str());
    return 0;
}

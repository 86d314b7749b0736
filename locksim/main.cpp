// proxcred-locksim: a lock on a pseudo-terminal (or a serial device) that
// answers the card reader's line protocol, for trying and testing the reader
// without a lock. Answers to READ are given in order, one per read, in turn.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

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
    std::string testText = "lock simulator ready";
    std::vector<Answer> answers;
};

volatile std::sig_atomic_t stopRequested = 0;

void usage(std::FILE* to) {
    std::fputs(
        "usage: proxcred-locksim [--link PATH] [--device PATH] [--delay MS] [--test TEXT]\n"
        "                        [--card DATA | --no-card | --error CODE TEXT | --garbage |\n"
        "                         --cut | --hangup]...\n"
        "Creates a pseudo-terminal (or opens --device), prints its path, and answers each\n"
        "READ with the next answer given, in turn (default: --card 0000000600400002).\n"
        "  --card DATA        card data, e.g. 0000000600400002\n"
        "  --no-card          no answer: the reader times out\n"
        "  --error CODE TEXT  an error reply; code 2: the lock cannot reach its reader\n"
        "  --garbage          bytes outside the protocol\n"
        "  --cut              a reply line that never ends\n"
        "  --hangup           hang up in the middle of the reply, then exit\n"
        "  --delay MS         wait before each answer\n"
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

// Answers one READ; false when the simulator hangs up.
bool answer(int fd, const Answer& next, int delayMs) {
    if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    switch (next.kind) {
        case Answer::Kind::Card:
            send(fd, "CARD " + next.text + "\r\n");
            break;
        case Answer::Kind::NoCard:
            break;
        case Answer::Kind::Error:
            send(fd, "ERR " + next.text + "\r\n");
            break;
        case Answer::Kind::Garbage:
            send(fd, std::string_view("\x01\xfe\x02garbage\x7f\r\n", 14));
            break;
        case Answer::Kind::CutOff:
            send(fd, "CARD 00000006");
            break;
        case Answer::Kind::HangUp:
            send(fd, "CARD 000");
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        usage(stdout);
        return 0;
    }
    if (!parse(argc, argv, options)) {
        usage(stderr);
        return 2;
    }
    int fd = -1;
    int heldSlave = -1;
    std::string path = options.device;
    if (!options.device.empty()) {
        fd = open(options.device.c_str(), O_RDWR | O_NOCTTY);
    } else {
        fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (fd >= 0 && grantpt(fd) == 0 && unlockpt(fd) == 0) {
            path = ptsname(fd);
            // Holding the other end open keeps the terminal alive between reads.
            heldSlave = open(path.c_str(), O_RDWR | O_NOCTTY);
        }
    }
    if (fd < 0 || path.empty()) {
        std::perror("proxcred-locksim");
        return 1;
    }
    makeRaw(fd);
    if (heldSlave >= 0) makeRaw(heldSlave);
    if (!options.link.empty()) {
        unlink(options.link.c_str());
        if (symlink(path.c_str(), options.link.c_str()) != 0) {
            std::perror("proxcred-locksim: --link");
            return 1;
        }
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    std::signal(SIGTERM, [](int) { stopRequested = 1; });
    std::signal(SIGINT, [](int) { stopRequested = 1; });

    std::string line;
    std::size_t nextAnswer = 0;
    bool running = true;
    while (running && stopRequested == 0) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) continue;
        char byte = 0;
        if (read(fd, &byte, 1) != 1) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        if (byte != '\n') {
            if (byte != '\r' && line.size() < 256) line.push_back(byte);
            continue;
        }
        if (line == "READ") {
            running = answer(fd, options.answers[nextAnswer], options.delayMs);
            nextAnswer = (nextAnswer + 1) % options.answers.size();
        } else if (line == "TEST") {
            send(fd, "TEST " + options.testText + "\r\n");
        }
        line.clear();
    }
    close(fd);
    if (heldSlave >= 0) close(heldSlave);
    if (!options.link.empty()) unlink(options.link.c_str());
    return 0;
}

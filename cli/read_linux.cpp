// `read` on Qt Serial Port (Linux, and wherever Qt runs).
#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <memory>

#include "cli/read_command.h"
#include "serial/serial_lock_reader.h"

namespace proxcred::cli {
namespace {

// Set by SIGINT; the read's wait asks for it every few milliseconds. A signal
// handler can reach nothing but a flag of static storage.
volatile std::sig_atomic_t interruptedBySignal = 0;

extern "C" void onInterrupt(int /*signal*/) {
    interruptedBySignal = 1;
}

// A read's wait asks every few milliseconds whether Ctrl+C came.
std::shared_ptr<void> watchForInterrupt(std::function<void()> cancel) {
    constexpr int kPollMs = 50;
    auto poll = std::make_shared<QTimer>();
    QObject::connect(poll.get(), &QTimer::timeout, [cancel = std::move(cancel)] {
        if (interruptedBySignal != 0) cancel();
    });
    poll->start(kPollMs);
    return poll;
}

}  // namespace

int readFromLock(int argc, char** argv, const ReadOptions& options, StandardOutput& output,
                 TextSink& err) {
    const QCoreApplication app(argc, argv);  // the read's event loop needs one
    const PortDirectory directory = PortDirectory::fromSystem();
    const auto interrupted = [] { return interruptedBySignal != 0; };
    SerialLockReader serial(directory, watchForInterrupt);
    const auto previous = std::signal(SIGINT, onInterrupt);
    const int status = readCommand(serial.reader(), options, interrupted, output, err);
    std::signal(SIGINT, previous);
    return status;
}

}  // namespace proxcred::cli

// `read` on Qt Serial Port (Linux, and wherever Qt runs).
#include <QCoreApplication>
#include <atomic>
#include <csignal>

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

}  // namespace

int readFromLock(int argc, char** argv, const ReadOptions& options, StandardOutput& output,
                 std::ostream& err) {
    const QCoreApplication app(argc, argv);  // the read's event loop needs one
    const PortDirectory directory = PortDirectory::fromSystem();
    const auto interrupted = [] { return interruptedBySignal != 0; };
    SerialLockReader serial(directory, interrupted);
    const auto previous = std::signal(SIGINT, onInterrupt);
    const int status = readCommand(serial.reader(), options, interrupted, output, err);
    std::signal(SIGINT, previous);
    return status;
}

}  // namespace proxcred::cli

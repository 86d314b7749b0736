// `read` on the Win32 serial API (proxcred-cli.exe).
#include <windows.h>

#include <atomic>
#include <iostream>

#include "cli/read_command.h"
#include "lock_reader/lock_reader.h"
#include "win32_serial/win32_serial_channel.h"

namespace proxcred::cli {
namespace {

// Ctrl+C (or Ctrl+Break) sets the event the read's wait watches. The console
// calls the handler on a thread of its own, which reaches only these.
HANDLE cancelEvent = nullptr;
std::atomic<bool> interruptedByConsole{false};

BOOL WINAPI onConsoleControl(DWORD control) {
    if (control != CTRL_C_EVENT && control != CTRL_BREAK_EVENT) return FALSE;
    interruptedByConsole = true;
    SetEvent(cancelEvent);
    return TRUE;  // handled: the read ends by itself, after sending STOP
}

}  // namespace

int readFromLock(int /*argc*/, char** /*argv*/, const ReadOptions& options, StandardOutput& output,
                 TextSink& err) {
    cancelEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
    win32::ChannelSource channels(win32::pauseOnEvent(cancelEvent));
    lock::SystemClock clock;
    lock::LockReader reader(channels, clock,
                            [](std::string_view text) { std::cerr << text << '\n'; });
    const int status = readCommand(
        reader, options, [] { return interruptedByConsole.load(); }, output, err);
    SetConsoleCtrlHandler(onConsoleControl, FALSE);
    CloseHandle(cancelEvent);
    cancelEvent = nullptr;
    return status;
}

}  // namespace proxcred::cli

#include "win32_serial/win32_serial_channel.h"

#include <algorithm>
#include <array>

#include "lock_protocol/lock_protocol.h"
#include "win32_serial/com_ports.h"

namespace proxcred::win32 {
namespace {

using Wait = lock::ByteChannel::Wait;

// How often a wait looks at the line: a few characters' time at 9600 baud.
constexpr DWORD kPollMs = 10;
// What one read takes from the line at most; the reader bounds lines itself.
constexpr std::size_t kReadChunk = 256;

}  // namespace

Pause pauseOnEvent(HANDLE cancelEvent) {
    return [cancelEvent](unsigned long milliseconds) {
        return WaitForSingleObject(cancelEvent, milliseconds) == WAIT_OBJECT_0;
    };
}

SerialChannel::SerialChannel(std::string device, Pause pause)
    : device_(std::move(device)), pause_(std::move(pause)) {}

SerialChannel::~SerialChannel() {
    close();
}

bool SerialChannel::open(std::string& why) {
    port_ = CreateFileW(devicePath(device_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                        OPEN_EXISTING, 0, nullptr);
    if (port_ == INVALID_HANDLE_VALUE) {
        why = systemMessage(GetLastError());
        return false;
    }
    if (!setLineSettings()) {
        why = systemMessage(GetLastError());
        close();
        return false;
    }
    return true;
}

// The lock's settings (9600 8N1, no flow control), and reads that return at
// once with what the line holds, so that a wait never blocks in a read.
bool SerialChannel::setLineSettings() {
    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (!GetCommState(port_, &settings)) return false;
    settings.BaudRate = static_cast<DWORD>(lock::kBaudRate);
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    settings.fBinary = TRUE;
    settings.fParity = FALSE;
    settings.fOutxCtsFlow = FALSE;
    settings.fOutxDsrFlow = FALSE;
    settings.fDsrSensitivity = FALSE;
    settings.fOutX = FALSE;
    settings.fInX = FALSE;
    settings.fDtrControl = DTR_CONTROL_ENABLE;
    settings.fRtsControl = RTS_CONTROL_ENABLE;
    if (!SetCommState(port_, &settings)) return false;
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;  // with the other read values 0: return at once
    timeouts.WriteTotalTimeoutConstant = 1000;
    return SetCommTimeouts(port_, &timeouts) != 0;
}

void SerialChannel::discardInput() {
    PurgeComm(port_, PURGE_RXCLEAR | PURGE_RXABORT);
}

bool SerialChannel::write(std::string_view bytes, lock::Milliseconds limit) {
    COMMTIMEOUTS timeouts{};
    if (GetCommTimeouts(port_, &timeouts)) {
        timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(limit.count());
        SetCommTimeouts(port_, &timeouts);
    }
    DWORD written = 0;
    return WriteFile(port_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

Wait SerialChannel::waitForBytes(lock::Milliseconds limit, std::string& bytes) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limit.count());
    std::array<char, kReadChunk> chunk{};
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(port_, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr))
            return Wait::Failed;
        if (got > 0) {
            bytes.append(chunk.data(), got);
            return Wait::Bytes;
        }
        // An unplugged adapter fails its reads; a line whose other end hung up
        // may read as empty instead, but no longer answers for its state.
        DWORD errors = 0;
        if (!ClearCommError(port_, &errors, nullptr)) return Wait::Failed;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return Wait::TimedOut;
        if (pause_(static_cast<unsigned long>(std::min<ULONGLONG>(kPollMs, deadline - now))))
            return Wait::Cancelled;
    }
}

void SerialChannel::close() {
    if (port_ != INVALID_HANDLE_VALUE) CloseHandle(port_);
    port_ = INVALID_HANDLE_VALUE;
}

std::optional<std::string> ChannelSource::device(int port) {
    return comPortDevice(port);
}

std::unique_ptr<lock::ByteChannel> ChannelSource::channel(const std::string& device) {
    return std::make_unique<SerialChannel>(device, pause_);
}

}  // namespace proxcred::win32

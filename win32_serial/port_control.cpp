#include "win32_serial/port_control.h"

#include "win32_serial/com_ports.h"

namespace proxcred::win32 {

PortControl::~PortControl() {
    setPortOpen(false);
}

bool PortControl::setCommPort(std::int16_t portNumber) {
    if (portOpen() || !comPortDevice(portNumber)) return false;
    number_ = portNumber;
    return true;
}

bool PortControl::setPortOpen(bool open) {
    if (!open) {
        if (!portOpen()) return false;
        CloseHandle(port_);
        port_ = INVALID_HANDLE_VALUE;
        return true;
    }
    if (portOpen() || number_ == 0) return false;
    const std::optional<std::string> device = comPortDevice(number_);
    if (!device) return false;
    port_ = CreateFileW(devicePath(*device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                        OPEN_EXISTING, 0, nullptr);
    return portOpen();
}

}  // namespace proxcred::win32

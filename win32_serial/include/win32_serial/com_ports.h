#pragma once

#include <optional>
#include <string>
#include <vector>

namespace proxcred::win32 {

// The COM ports the system has now ("COM1", "COM7", ...), from its list of
// serial ports (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), read anew on each call.
std::vector<std::string> systemComPorts();

// The device behind a port number: the Nth entry of PROXCRED_SERIAL_PORTS
// when it is set (as on Linux), otherwise COM<port> when the system has it,
// as Windows programs number their ports.
std::optional<std::string> comPortDevice(int port);

// The path CreateFileW takes for a device: "\\.\COM12" for "COM12" (the only
// form that reaches COM10 and above), a path that is one already unchanged.
std::wstring devicePath(const std::string& device);

// The system's text for an error code, for messages.
std::string systemMessage(unsigned long error);

}  // namespace proxcred::win32

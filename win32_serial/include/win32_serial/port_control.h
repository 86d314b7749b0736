#pragma once

#include <windows.h>
// The form has a MessageBox interface of its own: Win32's macro of that name
// must not rename it.
#undef MessageBox

#include "platform/platform.h"

namespace proxcred::win32 {

// The serial port control on COM ports: a port number is chosen, then opened
// (and so checked to be usable) or closed, as SerialPortControl's contract
// says. Whether COMn exists is asked anew each time (see comPortDevice).
class PortControl final : public SerialPortControl {
  public:
    PortControl() = default;
    ~PortControl() override;
    PortControl(const PortControl&) = delete;
    PortControl& operator=(const PortControl&) = delete;

    void refreshPorts() override {}
    bool setCommPort(std::int16_t portNumber) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override { return port_ != INVALID_HANDLE_VALUE; }

  private:
    std::int16_t number_ = 0;  // none chosen
    HANDLE port_ = INVALID_HANDLE_VALUE;
};

}  // namespace proxcred::win32

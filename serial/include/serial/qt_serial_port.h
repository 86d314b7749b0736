#pragma once

#include <QSerialPort>

#include "platform/platform.h"
#include "serial/port_directory.h"

namespace proxcred {

// The form's serial port control on Qt Serial Port: a port number chosen and
// opened on its device. A missing device, one held by another program (lock
// files included) or one that fails to open cannot be opened.
class QtSerialPortControl final : public SerialPortControl {
  public:
    explicit QtSerialPortControl(PortDirectory& directory) : directory_(directory) {}

    void refreshPorts() override { directory_.refresh(); }
    bool setCommPort(std::int16_t portNumber) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override { return port_.isOpen(); }

  private:
    PortDirectory& directory_;
    QSerialPort port_;
    int portNumber_ = 0;
};

}  // namespace proxcred

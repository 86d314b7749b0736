#include "serial/qt_serial_port.h"

namespace proxcred {

bool QtSerialPortControl::setCommPort(std::int16_t portNumber) {
    if (port_.isOpen() || !directory_.device(portNumber)) return false;
    portNumber_ = portNumber;
    return true;
}

bool QtSerialPortControl::setPortOpen(bool open) {
    if (!open) {
        if (!port_.isOpen()) return false;
        port_.close();
        return true;
    }
    const std::optional<QString> device = directory_.device(portNumber_);
    if (port_.isOpen() || !device) return false;
    port_.setPortName(*device);
    return port_.open(QIODevice::ReadWrite);
}

}  // namespace proxcred

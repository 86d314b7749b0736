// The list of serial ports 1 to 9 that can be opened right now.
#include "form/frm_corvel.h"

namespace proxcred {

void frmCorvel::FillComPortList() {
    MSComm1.refreshPorts();
    ComboComPort.clear();
    for (std::int16_t port = 1; port <= kSerialPortCount; ++port) {
        if (CheckComPort(port)) ComboComPort.addItem(std::to_string(port));
    }
    if (!ComboComPort.entries().empty()) ComboComPort.setSelectedIndex(0);
}

// A port is usable exactly when it can be opened; it is always left closed.
// Failures are never reported.
bool frmCorvel::CheckComPort(std::int16_t PortNumber) {
    const bool chosen = MSComm1.setCommPort(PortNumber);
    const bool opened = MSComm1.setPortOpen(true);
    if (MSComm1.portOpen()) MSComm1.setPortOpen(false);
    return chosen && opened;
}

}  // namespace proxcred

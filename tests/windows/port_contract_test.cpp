// The serial port control on COM ports answers as every serial port control
// does. Run under Wine with the port that has a device and one that has
// none as arguments (read_under_wine.sh declares them); Wine lets a second
// program open a port, so the held-port case is not tried.
#include <gtest/gtest.h>

#include <cstdlib>

#include "serial_port_contract.h"
#include "win32_serial/port_control.h"

namespace {

proxcred::testing::ContractPorts ports;

TEST(SerialPortContract, ComPorts) {
    proxcred::win32::PortControl control;
    proxcred::testing::checkSerialPortContract(control, ports);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3) return 2;
    ports.withDevice = static_cast<std::int16_t>(std::atoi(argv[1]));
    ports.withoutDevice = static_cast<std::int16_t>(std::atoi(argv[2]));
    return RUN_ALL_TESTS();
}

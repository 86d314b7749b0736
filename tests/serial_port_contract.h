#pragma once

// What every serial port control answers (SerialPortControl's contract),
// written once and run against each of them: the fake, the one on Qt Serial
// Port, and the one on Windows' COM ports (under Wine).
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace proxcred::testing {

struct ContractPorts {
    std::int16_t withDevice = 0;     // a port whose device opens
    std::int16_t withoutDevice = 0;  // a port number with no device behind it
    // A port whose device another program holds, where the platform refuses
    // a second open (Wine does not).
    std::optional<std::int16_t> held;
};

inline void checkSerialPortContract(SerialPortControl& control, const ContractPorts& ports) {
    EXPECT_FALSE(control.portOpen());
    EXPECT_FALSE(control.setPortOpen(false)) << "closing with no port open";
    EXPECT_FALSE(control.setPortOpen(true)) << "opening with no port chosen";
    EXPECT_FALSE(control.setCommPort(ports.withoutDevice)) << "choosing a port with no device";
    EXPECT_FALSE(control.setPortOpen(true)) << "opening after choosing a port with no device";

    EXPECT_TRUE(control.setCommPort(ports.withDevice));
    EXPECT_FALSE(control.setCommPort(ports.withoutDevice)) << "a failed choice changes nothing";
    EXPECT_TRUE(control.setPortOpen(true)) << "the port chosen before stays chosen";
    EXPECT_TRUE(control.portOpen());
    EXPECT_FALSE(control.setPortOpen(true)) << "opening an open port";
    EXPECT_TRUE(control.portOpen()) << "the open port stays open";
    EXPECT_FALSE(control.setCommPort(ports.withDevice)) << "choosing while a port is open";
    EXPECT_TRUE(control.setPortOpen(false));
    EXPECT_FALSE(control.portOpen());
    EXPECT_FALSE(control.setPortOpen(false)) << "closing a closed port";
    EXPECT_TRUE(control.setPortOpen(true)) << "a closed port opens again";
    EXPECT_TRUE(control.setPortOpen(false));

    if (ports.held) {
        EXPECT_TRUE(control.setCommPort(*ports.held)) << "a held port has its device";
        EXPECT_FALSE(control.setPortOpen(true)) << "a port another program holds";
        EXPECT_FALSE(control.portOpen());
    }
}

}  // namespace proxcred::testing

#pragma once

#include "form/platform.h"

// Serial ports and a card reader for a build without them: no port can be
// opened, so the port list stays empty and a read reports "No comport
// selected"; a read that is asked for all the same fails with the reason.
namespace proxcred::gui {

class NoSerialPorts final : public SerialPortControl {
  public:
    bool setCommPort(std::int16_t /*portNumber*/) override { return true; }
    bool setPortOpen(bool open) override { return !open; }
    bool portOpen() const override { return false; }
};

class NoCardReader final : public CardReaderControl {
  public:
    void setReaderPort(std::int16_t /*portNumber*/) override {}
    void setReadTimeout(std::int16_t /*milliseconds*/) override {}
    std::string TestResult() override { return {}; }
    std::string CardData() override { return {}; }
    std::int32_t ErrorCode() override { return 0; }
    std::string ErrorText() override { return "No card reader in this build"; }
    std::string InfoText() override { return "No card reader in this build"; }
    std::int32_t StatusOK() override { return 0; }
    std::int32_t StatusTimeout() override { return 1; }
    std::int32_t StatusCancelled() override { return 2; }
    std::int32_t StatusError() override { return 3; }
    std::int32_t TestRead() override { return StatusError(); }
    std::int32_t ReadCard() override { return StatusError(); }
    void InfoAction() override {}
};

}  // namespace proxcred::gui

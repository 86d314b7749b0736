#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What the form reaches outside itself. The window supplies the real ones;
// tests and the script driver supply fakes that record what happened.
namespace proxcred {

// A modal message box with an OK button only and no icon; returns when closed.
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    virtual void show(std::string_view text, std::string_view title) = 0;
};

// The system clipboard's plain text. A clipboard without text, or one that
// cannot be read, reads as the empty text; writing does not clear it first.
class Clipboard {
  public:
    virtual ~Clipboard() = default;
    virtual std::string text() = 0;
    virtual void setText(std::string_view text) = 0;
};

// The modifier keys held at the moment of asking.
class ModifierKeys {
  public:
    virtual ~ModifierKeys() = default;
    virtual bool ctrlHeld() = 0;
    virtual bool shiftHeld() = 0;
};

// Serial ports are chosen by number, 1 to this.
inline constexpr std::int16_t kSerialPortCount = 9;

// The serial port control: a port is chosen by number (1 to kSerialPortCount)
// and opened or closed. Each write answers false when it failed.
// Every implementation answers alike (tests/serial_port_contract.h runs the
// same checks against each):
// - setCommPort(n) chooses port n: false, and the choice as it was, while a
//   port is open or when no device stands behind n now;
// - setPortOpen(true) opens the chosen port: false when none is chosen, when
//   a port is open already (it stays open), or when its device cannot be
//   opened (gone, or held by another program);
// - setPortOpen(false) closes the open port: false when none is open;
// - portOpen() tells whether a port is open.
class SerialPortControl {
  public:
    virtual ~SerialPortControl() = default;
    // Looks again which devices stand behind the port numbers: adapters come
    // and go while the program runs.
    virtual void refreshPorts() = 0;
    virtual bool setCommPort(std::int16_t portNumber) = 0;
    virtual bool setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
};

// How long a read of the card reader waits: for a card, and for a test read.
inline constexpr std::int16_t kCardReadTimeoutMs = 7500;
inline constexpr std::int16_t kTestReadTimeoutMs = 5000;

// The card-reader component that reads one card from a lock over a serial
// port. ReadCard and TestRead block until the read ends (card data, Escape,
// wait limit or failure) and return one of the four distinct status values.
class CardReaderControl {
  public:
    virtual ~CardReaderControl() = default;

    virtual void setReaderPort(std::int16_t portNumber) = 0;
    virtual void setReadTimeout(std::int16_t milliseconds) = 0;

    virtual std::string TestResult() = 0;
    virtual std::string CardData() = 0;
    virtual std::int32_t ErrorCode() = 0;  // 2: the port could not be opened
    virtual std::string ErrorText() = 0;
    virtual std::string InfoText() = 0;

    virtual std::int32_t StatusOK() = 0;
    virtual std::int32_t StatusTimeout() = 0;
    virtual std::int32_t StatusCancelled() = 0;
    virtual std::int32_t StatusError() = 0;

    virtual std::int32_t TestRead() = 0;
    virtual std::int32_t ReadCard() = 0;
    virtual void InfoAction() = 0;
};

// Unloading the one form, which ends the program.
class FormUnloader {
  public:
    virtual ~FormUnloader() = default;
    virtual void unloadForm() = 0;
};

struct Platform {
    MessageBox& messageBox;
    Clipboard& clipboard;
    ModifierKeys& modifierKeys;
    SerialPortControl& serialPort;
    CardReaderControl& cardReader;
    FormUnloader& unloader;
};

}  // namespace proxcred

#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "platform/platform.h"

// Stand-ins for the world outside the form that record what happens, for the
// script driver, the tests and the fuzz target.
namespace proxcred::fakes {

// Where the fakes report what the form did: message boxes, clipboard writes,
// the form unloading.
using EventLog = std::function<void(const std::string& line)>;

class FakeMessageBox final : public MessageBox {
  public:
    explicit FakeMessageBox(EventLog& log) : log_(log) {}
    void show(std::string_view text, std::string_view title) override;
    std::string lastTitle;

  private:
    EventLog& log_;
};

class FakeClipboard final : public Clipboard {
  public:
    explicit FakeClipboard(EventLog& log) : log_(log) {}
    std::string text() override { return content; }
    void setText(std::string_view text) override;
    std::string content;

  private:
    EventLog& log_;
};

// The modifier keys the form finds held.
class FakeModifierKeys final : public ModifierKeys {
  public:
    bool ctrlHeld() override { return ctrl; }
    bool shiftHeld() override { return shift; }
    bool ctrl = false;
    bool shift = false;
};

// Ports with devices: those in `openable` can be opened, those in `held`
// (another program has them) cannot.
class FakeSerialPort final : public SerialPortControl {
  public:
    void refreshPorts() override { ++refreshes; }
    bool setCommPort(std::int16_t portNumber) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override { return open_; }
    std::set<int> openable;
    std::set<int> held;
    int refreshes = 0;

  private:
    int port_ = 0;
    bool open_ = false;
};

// Reads take queued results in turn; with none queued a read times out.
class FakeCardReader final : public CardReaderControl {
  public:
    struct Result {
        std::int32_t status;
        std::string cardData;
        std::int32_t errorCode = 0;
        std::string errorText;
        std::string testResult;
    };
    static constexpr std::int32_t kOK = 1;
    static constexpr std::int32_t kTimeout = 2;
    static constexpr std::int32_t kCancelled = 3;
    static constexpr std::int32_t kError = 4;

    void setReaderPort(std::int16_t portNumber) override { readerPort = portNumber; }
    void setReadTimeout(std::int16_t milliseconds) override { readTimeout = milliseconds; }
    std::string TestResult() override { return last_.testResult; }
    std::string CardData() override { return last_.cardData; }
    std::int32_t ErrorCode() override { return last_.errorCode; }
    std::string ErrorText() override { return last_.errorText; }
    std::string InfoText() override { return infoText; }
    std::int32_t StatusOK() override { return kOK; }
    std::int32_t StatusTimeout() override { return kTimeout; }
    std::int32_t StatusCancelled() override { return kCancelled; }
    std::int32_t StatusError() override { return kError; }
    std::int32_t TestRead() override { return read(); }
    std::int32_t ReadCard() override { return read(); }
    // Runs at the start of each read, to look at the form while it waits.
    std::function<void()> whileReading;
    void InfoAction() override { ++infoActions; }

    std::deque<Result> queued;
    std::string infoText;
    std::int16_t readerPort = 0;
    std::int16_t readTimeout = 0;
    int reads = 0;
    int infoActions = 0;

  private:
    std::int32_t read();
    Result last_{kTimeout, {}};
};

class FakeUnloader final : public FormUnloader {
  public:
    explicit FakeUnloader(EventLog& log) : log_(log) {}
    void unloadForm() override { log_("unloaded"); }

  private:
    EventLog& log_;
};

// All of them, wired to one event log.
struct FakePlatform {
    explicit FakePlatform(EventLog eventLog = [](const std::string&) {});

    EventLog log;
    FakeMessageBox messageBox{log};
    FakeClipboard clipboard{log};
    FakeModifierKeys keys;
    FakeSerialPort serialPort;
    FakeCardReader cardReader;
    FakeUnloader unloader{log};
    Platform platform{messageBox, clipboard, keys, serialPort, cardReader, unloader};
};

}  // namespace proxcred::fakes

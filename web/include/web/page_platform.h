#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

// The form's world in a web page. Messages and clipboard writes are kept for
// the page to show (in a dialog of its own) and to copy; the modifier keys
// are those of the page's last click; a browser reaches no serial port, so
// the port list stays empty and a read never starts.
namespace proxcred::web {

struct PageEvent {
    std::string kind;  // "message" or "clipboard"
    std::string text;
    std::string title;
};

class PagePlatform {
  public:
    explicit PagePlatform(std::string clipboard);
    PagePlatform(const PagePlatform&) = delete;
    PagePlatform& operator=(const PagePlatform&) = delete;

    Platform& platform() { return platform_; }
    // What happened since the last call, in order.
    std::vector<PageEvent> takeEvents();
    void setModifiers(bool ctrl, bool shift);

  private:
    class Messages final : public MessageBox {
      public:
        explicit Messages(std::vector<PageEvent>& events) : events_(events) {}
        void show(std::string_view text, std::string_view title) override;

      private:
        std::vector<PageEvent>& events_;
    };
    class PageClipboard final : public Clipboard {
      public:
        PageClipboard(std::vector<PageEvent>& events, std::string text)
            : events_(events), text_(std::move(text)) {}
        std::string text() override { return text_; }
        void setText(std::string_view text) override;

      private:
        std::vector<PageEvent>& events_;
        std::string text_;
    };
    class Keys final : public ModifierKeys {
      public:
        bool ctrlHeld() override { return ctrl; }
        bool shiftHeld() override { return shift; }
        bool ctrl = false;
        bool shift = false;
    };
    class NoSerialPort final : public SerialPortControl {
      public:
        void refreshPorts() override {}
        bool setCommPort(std::int16_t /*portNumber*/) override { return false; }
        bool setPortOpen(bool /*open*/) override { return false; }
        bool portOpen() const override { return false; }
    };
    class NoCardReader final : public CardReaderControl {
      public:
        void setReaderPort(std::int16_t /*portNumber*/) override {}
        void setReadTimeout(std::int16_t /*milliseconds*/) override {}
        std::string TestResult() override { return {}; }
        std::string CardData() override { return {}; }
        std::int32_t ErrorCode() override { return 0; }
        std::string ErrorText() override { return {}; }
        std::string InfoText() override { return {}; }
        std::int32_t StatusOK() override { return 1; }
        std::int32_t StatusTimeout() override { return 2; }
        std::int32_t StatusCancelled() override { return 3; }
        std::int32_t StatusError() override { return 4; }
        std::int32_t TestRead() override { return StatusError(); }
        std::int32_t ReadCard() override { return StatusError(); }
        void InfoAction() override {}
    };
    // The page ends nothing: the form stays as it is.
    class StaysOpen final : public FormUnloader {
      public:
        void unloadForm() override {}
    };

    std::vector<PageEvent> events_;
    Messages messages_{events_};
    PageClipboard clipboard_;
    Keys keys_;
    NoSerialPort serialPort_;
    NoCardReader cardReader_;
    StaysOpen unloader_;
    Platform platform_{messages_, clipboard_, keys_, serialPort_, cardReader_, unloader_};
};

}  // namespace proxcred::web

#include "fakes/fake_platform.h"

namespace proxcred::fakes {

void FakeMessageBox::show(std::string_view text, std::string_view title) {
    lastTitle = std::string(title);
    log_("message: " + std::string(text));
}

void FakeClipboard::setText(std::string_view text) {
    content = std::string(text);
    log_("clipboard: " + content);
}

bool FakeSerialPort::setCommPort(std::int16_t portNumber) {
    if (open_ || (openable.count(portNumber) == 0 && held.count(portNumber) == 0)) return false;
    port_ = portNumber;
    return true;
}

bool FakeSerialPort::setPortOpen(bool open) {
    if (open == open_) return false;
    if (open && openable.count(port_) == 0) return false;
    open_ = open;
    return true;
}

std::int32_t FakeCardReader::read() {
    ++reads;
    if (whileReading) whileReading();
    if (queued.empty()) {
        last_ = Result{kTimeout, {}};
    } else {
        last_ = queued.front();
        queued.pop_front();
    }
    return last_.status;
}

FakePlatform::FakePlatform(EventLog eventLog) : log(std::move(eventLog)) {}

}  // namespace proxcred::fakes

#include "web/page_platform.h"

#include <utility>

namespace proxcred::web {

PagePlatform::PagePlatform(std::string clipboard) : clipboard_(events_, std::move(clipboard)) {}

void PagePlatform::Messages::show(std::string_view text, std::string_view title) {
    events_.push_back({"message", std::string(text), std::string(title)});
}

void PagePlatform::PageClipboard::setText(std::string_view text) {
    text_ = std::string(text);
    events_.push_back({"clipboard", text_, {}});
}

std::vector<PageEvent> PagePlatform::takeEvents() {
    return std::exchange(events_, {});
}

void PagePlatform::setModifiers(bool ctrl, bool shift) {
    keys_.ctrl = ctrl;
    keys_.shift = shift;
}

}  // namespace proxcred::web

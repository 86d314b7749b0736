#pragma once

#include <QString>
#include <string_view>

namespace proxcred::gui {

// The model's UTF-8 text as Qt holds it.
inline QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace proxcred::gui

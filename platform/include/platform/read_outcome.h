#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace proxcred {

enum class ReadKind : std::uint8_t { Card, Test };

// Error code 2 of a card read: the reader could not open its port.
inline constexpr std::int32_t kReaderPortFailedToOpen = 2;

// What the operator is told when a read of the card reader has ended with
// `status`: the test text for a test read that worked, nothing for a card
// read that worked (or a status the reader does not define), and otherwise
// why it did not. One mapping for the window and the command line.
inline std::optional<std::string> readOutcomeMessage(CardReaderControl& reader, std::int32_t status,
                                                     ReadKind kind) {
    if (status == reader.StatusOK()) {
        if (kind == ReadKind::Test) return reader.TestResult();
        return std::nullopt;
    }
    if (status == reader.StatusCancelled()) return "Cancelled";
    if (status == reader.StatusTimeout()) return "Timeout";
    if (status != reader.StatusError()) return std::nullopt;
    // A test read shows the reader's own text, whatever the code.
    if (kind == ReadKind::Card && reader.ErrorCode() == kReaderPortFailedToOpen)
        return "Error Opening Com Port";
    return reader.ErrorText();
}

}  // namespace proxcred

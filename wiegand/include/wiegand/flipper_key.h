#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Flipper Zero's RFID key files (.rfid): "Key: value" lines, # comments.
namespace proxcred::wiegand {

struct FlipperKey {
    std::string keyType;             // "H10301", "HIDProx", "EM4100", ...
    std::vector<std::uint8_t> data;  // the "Data:" bytes
};

// The file as the Flipper writes it: Filetype, Version 1, Key type and Data
// (bytes as upper-case hex pairs, one blank between them), LF line ends.
std::string flipperKeyFile(const FlipperKey& key);

// A key file's type and bytes. Blank lines and # comments are skipped, lines
// may end in LF or CR LF; the Filetype must be "Flipper RFID key", the
// Version 1, Key type and Data must each be there once, and nothing else may
// be. nullopt with `error` otherwise.
std::optional<FlipperKey> readFlipperKey(std::string_view text, std::string& error);

// "HIDProx key data is 6 bytes, not 5": for an interpreter of a key type.
std::string flipperDataSizeError(const FlipperKey& key, std::size_t bytes);

}  // namespace proxcred::wiegand

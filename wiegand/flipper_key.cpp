#include "wiegand/flipper_key.h"

#include <array>

#include "bits/digits.h"
#include "text/shown_text.h"

namespace proxcred::wiegand {
namespace {

constexpr std::string_view kFiletype = "Flipper RFID key";
constexpr std::string_view kVersion = "1";
constexpr std::string_view kSeparator = ": ";
// The most bytes a Data line may hold: more than any key type has.
constexpr std::size_t kMostDataBytes = 64;

std::string_view withoutCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::string quoted(std::string_view text) {
    return "\"" + shownText(text) + "\"";
}

// "96 27 20": hex pairs, one blank between them.
std::optional<std::vector<std::uint8_t>> readDataBytes(std::string_view text, std::string& error) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = 0;; at += 3) {
        const std::string_view pair = text.substr(at, 2);
        const bits::DigitsRead read = bits::readDigits(pair, 4);
        if (pair.size() != 2 || !read.ok() || (at + 2 < text.size() && text[at + 2] != ' ')) {
            error = "the Data line " + quoted(text) + " is not hex bytes like \"96 27 20\"";
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(read.value));
        if (bytes.size() > kMostDataBytes) {
            error = "the Data line holds more than " + std::to_string(kMostDataBytes) + " bytes";
            return std::nullopt;
        }
        if (at + 2 >= text.size()) return bytes;
    }
}

// The values of the four keys, in the order Filetype, Version, Key type, Data.
constexpr std::array<std::string_view, 4> kKeys{"Filetype", "Version", "Key type", "Data"};

bool readLines(std::string_view text, std::array<std::optional<std::string_view>, 4>& values,
               std::string& error) {
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = withoutCarriageReturn(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#') continue;
        const std::size_t separator = line.find(kSeparator);
        const std::string_view key = line.substr(0, separator);
        std::size_t index = 0;
        while (index < kKeys.size() && kKeys[index] != key) ++index;
        if (separator == std::string_view::npos || index == kKeys.size()) {
            error = "the line " + quoted(line) + " is not one of a Flipper RFID key file";
            return false;
        }
        if (values[index]) {
            error = "the key " + quoted(key) + " appears twice";
            return false;
        }
        values[index] = line.substr(separator + kSeparator.size());
    }
    return true;
}

}  // namespace

std::string flipperKeyFile(const FlipperKey& key) {
    std::string file = "Filetype: " + std::string(kFiletype) +
                       "\nVersion: " + std::string(kVersion) + "\nKey type: " + key.keyType +
                       "\nData:";
    for (const std::uint8_t byte : key.data) {
        file.push_back(' ');
        bits::appendDigits(file, byte, 4, 2);
    }
    file.push_back('\n');
    return file;
}

std::optional<FlipperKey> readFlipperKey(std::string_view text, std::string& error) {
    std::array<std::optional<std::string_view>, kKeys.size()> values;
    if (!readLines(text, values, error)) return std::nullopt;
    const auto& [filetype, version, keyType, data] = values;
    if (!filetype || *filetype != kFiletype) {
        error = filetype ? "the Filetype " + quoted(*filetype) + " is not \"Flipper RFID key\""
                         : "not a Flipper RFID key file: it has no Filetype line";
        return std::nullopt;
    }
    if (!version || *version != kVersion) {
        error = version
                    ? "version " + quoted(*version) + " of the file is not one this tool reads (1)"
                    : "the file has no Version line";
        return std::nullopt;
    }
    if (!keyType || !data) {
        error = std::string("the file has no ") + (keyType ? "Data" : "Key type") + " line";
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> bytes = readDataBytes(*data, error);
    if (!bytes) return std::nullopt;
    return FlipperKey{std::string(*keyType), std::move(*bytes)};
}

std::string flipperDataSizeError(const FlipperKey& key, std::size_t bytes) {
    return quoted(key.keyType) + " key data is " + std::to_string(bytes) + " bytes, not " +
           std::to_string(key.data.size());
}

}  // namespace proxcred::wiegand

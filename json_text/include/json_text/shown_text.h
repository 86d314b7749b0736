#pragma once

#include <string>
#include <string_view>

namespace proxcred {

// Text from outside (files, arguments, card data) as it may be shown on a
// terminal: printable ASCII and whole UTF-8 characters stay, every other byte
// (control characters, stray or cut UTF-8 bytes) is written as \xNN, so a
// message never drives the terminal or prints half a character.
inline std::string shownText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = byteAt(i);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        bool whole = length > 1 && i + length <= text.size();
        for (std::size_t k = 1; whole && k < length; ++k) whole = (byteAt(i + k) >> 6) == 0x2;
        if (length == 1 && lead >= 0x20 && lead != 0x7F) {
            shown.push_back(static_cast<char>(lead));
            ++i;
        } else if (whole) {
            shown.append(text.substr(i, length));
            i += length;
        } else {
            shown.append("\\x").push_back(kHex[lead >> 4]);
            shown.push_back(kHex[lead & 0xF]);
            ++i;
        }
    }
    return shown;
}

// One byte of input for a message: 'x' when printable, "byte 255" otherwise.
inline std::string shownByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) return std::string("'") + c + "'";
    return "byte " + std::to_string(byte);
}

}  // namespace proxcred

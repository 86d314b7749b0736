#pragma once

#include <string>
#include <string_view>

namespace proxcred {

// Characters that would change what a terminal shows around them: the C1
// controls, and the bidirectional overrides and isolates, which reorder the
// text that follows them.
constexpr bool isHiddenCharacter(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// One piece of a text: a whole UTF-8 character (`length` bytes, its code
// point), or a byte that is none (`length` 0).
struct TextPiece {
    std::size_t length = 0;
    char32_t code = 0;
};

inline TextPiece pieceAt(std::string_view text, std::size_t i) {
    const auto byteAt = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byteAt(i);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || i + length > text.size()) return {};
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byteAt(i + k) >> 6) != 0x2) return {};
        code = (code << 6) | (byteAt(i + k) & 0x3F);
    }
    return {length, code};
}

// Whether a text holds a control character (C0, DEL, C1) or a bidirectional
// override or isolate.
inline bool holdsControlCharacter(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const TextPiece piece = pieceAt(text, i);
        if (piece.length != 0 &&
            (piece.code < 0x20 || piece.code == 0x7F || isHiddenCharacter(piece.code)))
            return true;
        i += piece.length == 0 ? 1 : piece.length;
    }
    return false;
}

// Text from outside (files, arguments, card data) as it may be shown on a
// terminal: printable ASCII and whole UTF-8 characters stay; C1 controls and
// bidirectional overrides are written \uNNNN, every other byte (control
// characters, stray or cut UTF-8 bytes) \xNN, so a message never drives the
// terminal, reorders what follows it or prints half a character.
inline std::string shownText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const TextPiece piece = pieceAt(text, i);
        const auto lead = static_cast<unsigned char>(text[i]);
        if (piece.length == 1 && lead >= 0x20 && lead != 0x7F) {
            shown.push_back(static_cast<char>(lead));
        } else if (piece.length > 1 && isHiddenCharacter(piece.code)) {
            shown.append("\\u");
            for (int shift = 12; shift >= 0; shift -= 4)
                shown.push_back(kHex[(piece.code >> shift) & 0xF]);
        } else if (piece.length > 1) {
            shown.append(text.substr(i, piece.length));
        } else {
            shown.append("\\x").push_back(kHex[lead >> 4]);
            shown.push_back(kHex[lead & 0xF]);
        }
        i += piece.length > 1 ? piece.length : 1;
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

#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "text/shown_text.h"

namespace proxcred {

// JSON text with the characters that would reorder or drive a terminal (C1
// controls, bidirectional overrides) written as \uNNNN escapes, as every
// other place shows them; only strings can hold them.
inline std::string withHiddenCharactersEscaped(std::string json) {
    // Each such character starts with byte C2 or E2.
    if (json.find_first_of("\xC2\xE2") == std::string::npos) return json;
    std::string escaped;
    escaped.reserve(json.size());
    for (std::size_t i = 0; i < json.size();) {
        const TextPiece piece = pieceAt(json, i);
        const std::size_t length = piece.length == 0 ? 1 : piece.length;
        if (piece.length > 1 && isHiddenCharacter(piece.code)) {
            escaped += shownText(std::string_view(json).substr(i, length));
        } else {
            escaped.append(json, i, length);
        }
        i += length;
    }
    return escaped;
}

// A value as compact JSON text, an object's keys in the order they were
// put in. Bytes that are not UTF-8 (card data and texts may hold anything)
// become U+FFFD instead of an exception. Everything takes the one JSON type
// that keeps key order: a second would double the library's code in the web
// app.
inline std::string jsonText(const nlohmann::ordered_json& value) {
    return withHiddenCharactersEscaped(
        value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

}  // namespace proxcred

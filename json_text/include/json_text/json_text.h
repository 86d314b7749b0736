#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace proxcred {

// A value as compact JSON text. Bytes that are not UTF-8 (card data and
// texts may hold anything) become U+FFFD instead of an exception.
inline std::string jsonText(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace proxcred

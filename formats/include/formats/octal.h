#pragma once

#include <cstdint>
#include <string>

namespace proxcred {

inline constexpr std::size_t kProxDataDigits = 16;

// A 48-bit card value as prox data: 16 octal digits, most significant first.
std::string octalProxData(std::uint64_t cardValue);

}  // namespace proxcred

#pragma once

#include <string_view>

#include "formats/card_format.h"
#include "split/bit_tail.h"

// Whether a bit string is a card of a format. They look only at structure:
// length, marker, leading zeros, parity and fixed bits, all counted from the
// right-hand end, so leading zero digits never matter.
namespace proxcred {

bool recognises(CardFormat format, std::string_view bits);
bool recognises(CardFormat format, const BitTail& tail);

}  // namespace proxcred

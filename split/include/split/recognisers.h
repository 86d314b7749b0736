#pragma once

#include <string_view>

#include "formats/card_format.h"
#include "split/bit_tail.h"

// Whether a bit string is a card of a format. They look only at structure:
// length, marker, leading zeros, parity and fixed bits, all counted from the
// right-hand end, so leading zero digits never matter.
namespace proxcred {

// The recognisers under the names the form's design gives them.
bool Check26Bit(std::string_view bits);
bool Check34Bit(std::string_view bits);
bool Check35Bit(std::string_view bits);
bool Check35BitX(std::string_view bits);
bool Check36BitX(std::string_view bits);
bool Check37BitX(std::string_view bits);
bool Check37Bit(std::string_view bits);
bool CheckProxif(std::string_view bits);
bool CheckCasi(std::string_view bits);

bool recognises(CardFormat format, std::string_view bits);
bool recognises(CardFormat format, const BitTail& tail);

}  // namespace proxcred

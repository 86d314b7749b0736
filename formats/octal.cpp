#include "formats/octal.h"

namespace proxcred {

std::string octalProxData(std::uint64_t cardValue) {
    std::string digits(kProxDataDigits, '0');
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit, cardValue >>= 3) {
        *digit = static_cast<char>('0' + (cardValue & 7U));
    }
    return digits;
}

}  // namespace proxcred

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bits/digits.h"
#include "formats/encoders.h"

namespace proxcred {

// Prox data: a card value as 16 octal digits, most significant first.
inline constexpr std::size_t kProxDataDigits = 16;
inline constexpr int kOctalDigitBits = 3;

inline void appendProxData(std::string& out, CardValue card) {
    bits::appendDigits(out, card, kOctalDigitBits, kProxDataDigits);
}

inline constexpr std::string_view kRefusedProxData = "????????????????";
inline constexpr std::string_view kInvalidSerialNumber = "Invalid Serial Number";
inline constexpr std::string_view kUndefinedCardFormat = "Undefined card format / facility code";

// What the prox data calculation needs: the hotstamp text, the card format key,
// the facility code in effect, and the facility and version box texts that the
// Proxif and Casi formats read themselves.
struct ProxRequest {
    std::string_view hotstamp;
    std::string_view key;
    std::int32_t facilityCode = 0;
    std::string_view facilityText;
    std::string_view versionText;
};

struct ProxOutcome {
    enum class Kind : std::uint8_t {
        NoHotstamp,           // empty hotstamp: empty prox data, no message
        InvalidSerialNumber,  // hotstamp not a number
        UndefinedFormat,      // no key
        UnknownFormat,        // key not in the table: question marks, no message
        Card,
        Refused,
        Failed,  // a conversion failed; the caller reports it
    };

    Kind kind = Kind::NoHotstamp;
    CardValue card = 0;
    std::optional<Refusal> refusal;
    ConversionFailure failure = ConversionFailure::NotANumber;

    // The text the prox data box shows: 16 octal digits, "????????????????" or "".
    std::string text() const;
    void appendText(std::string& out) const;
    // The message shown to the operator, or "" when there is none.
    std::string message() const;
};

ProxOutcome calcProxData(const ProxRequest& request);

}  // namespace proxcred

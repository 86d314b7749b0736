#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "wiegand/format.h"

namespace proxcred::wiegand {

// The numbers given for a card, as typed, by field kind; nullopt for one not
// given.
using FieldTexts = std::array<std::optional<std::string_view>, kFieldKinds.size()>;

// The numbers read as decimal (readDecimal) and checked against the format's
// fields; nullopt with the refusal, which quotes the text as typed, when a
// field is one the format lacks or a number is not one its field can hold.
std::optional<CardNumbers> readNumbers(const Format& format, const FieldTexts& texts,
                                       std::string& refusal);

// The refusal of the first text that is no decimal number at all, whatever
// the format ("Card number \"0x643\" is not a decimal number"); empty when
// every text is one.
std::string unreadableNumber(const FieldTexts& texts);

// "H10301 has no issue level": the one wording of a number given for a
// field the format lacks.
std::string hasNoField(const Format& format, FieldKind kind);

// "Facility code 256 is too large for H10301. 255 is max.": the one wording
// of a number above its field's largest value, `shown` as it was typed.
std::string tooLarge(const Format& format, const Field& field, std::string_view shown);

}  // namespace proxcred::wiegand

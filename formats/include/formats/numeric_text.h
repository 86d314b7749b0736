#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/outcome.h"

// The rules by which the input boxes read numbers: blanks trimmed, a plain
// locale-free numeric test, and whole numbers rounded to the nearest with ties
// going to the even one.
namespace proxcred {

// Removes leading and trailing blanks (spaces).
std::string_view trimBlanks(std::string_view text);

// An optional sign, decimal digits with an optional '.' and fraction (at least
// one digit in all), and an optional exponent; blanks around it are allowed.
// The empty text is not a number.
bool isNumeric(std::string_view text);

// The value of a text that passes isNumeric. NotANumber for one that does
// not; Overflow for one beyond the range of a double (tiny values become 0).
Outcome<double> parseNumber(std::string_view text);

// Rounds to the nearest whole number, ties to the even one (12.5 -> 12).
double roundHalfEven(double value);

// The whole-number conversions of the form: the nearest whole number, ties to
// even, failing with NotANumber for a text that is no number and with Overflow
// outside the signed range.
Outcome<std::int32_t> textToInt32(std::string_view text);
Outcome<std::int16_t> textToInt16(std::string_view text);

// The plain decimal text of a number as messages show it: whole numbers
// without fraction or exponent, others in their shortest exact form.
std::string numberText(double value);

}  // namespace proxcred

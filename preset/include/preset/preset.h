#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The host's preset on the clipboard: "FC=" facility ";CF=" key ";ZELF=" flag,
// read by position. Keys match in any letter case; the flag letter "T" exactly.
namespace proxcred {

// A preset is any text that holds "ZELF=" in any letter case.
bool isPreset(std::string_view clipboardText);
// Whether the text begins with "FC=" in any letter case: the host wants the
// full reply; any other preset gets the prox data alone.
bool wantsFullReply(std::string_view clipboardText);
// Cut at ";" into at most three fields, the third keeping the rest.
std::vector<std::string_view> presetFields(std::string_view clipboardText);

// The facility code after "FC=", as a 16-bit whole number; 0 when the field
// does not match, including a number outside the 16-bit range.
std::int16_t ParseForFacilityCode(std::string_view field);
// The text after "CF=", verbatim; "26" when the field does not match.
std::string ParseForCardFormat(std::string_view field);
// True only for "ZELF" + any character + "T", exactly six characters.
bool ParseForZELFormatFlag(std::string_view field);

}  // namespace proxcred

#include "preset/preset.h"

#include <algorithm>
#include <cctype>

#include "formats/numeric_text.h"

namespace proxcred {
namespace {

bool sameLetters(char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) ==
           std::toupper(static_cast<unsigned char>(b));
}

bool startsWithAnyCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), sameLetters);
}

}  // namespace

bool isPreset(std::string_view clipboardText) {
    constexpr std::string_view kFlagKey = "ZELF=";
    return std::search(clipboardText.begin(), clipboardText.end(), kFlagKey.begin(), kFlagKey.end(),
                       sameLetters) != clipboardText.end();
}

bool wantsFullReply(std::string_view clipboardText) {
    return startsWithAnyCase(clipboardText, "FC=");
}

std::vector<std::string_view> presetFields(std::string_view clipboardText) {
    std::vector<std::string_view> fields;
    constexpr std::size_t kFields = 3;
    while (fields.size() + 1 < kFields) {
        const auto separator = clipboardText.find(';');
        if (separator == std::string_view::npos) break;
        fields.push_back(clipboardText.substr(0, separator));
        clipboardText.remove_prefix(separator + 1);
    }
    fields.push_back(clipboardText);
    return fields;
}

std::int16_t ParseForFacilityCode(std::string_view field) {
    constexpr std::size_t kKeyLength = 3;
    if (!startsWithAnyCase(field, "FC=") || field.size() <= kKeyLength) return 0;
    const Outcome<std::int16_t> value = textToInt16(field.substr(kKeyLength));
    return value ? *value : std::int16_t{0};
}

std::string ParseForCardFormat(std::string_view field) {
    constexpr std::size_t kKeyLength = 3;
    if (!startsWithAnyCase(field, "CF=") || field.size() <= kKeyLength) return "26";
    return std::string(field.substr(kKeyLength));
}

bool ParseForZELFormatFlag(std::string_view field) {
    constexpr std::size_t kFlagLength = 6;
    return startsWithAnyCase(field, "ZELF") && field.size() == kFlagLength && field[5] == 'T';
}

}  // namespace proxcred

#include "wiegand/field_texts.h"

#include <cctype>

#include "text/shown_text.h"
#include "wiegand/decimal.h"

namespace proxcred::wiegand {
namespace {

std::string capitalised(std::string_view text) {
    std::string capital(text);
    if (!capital.empty())
        capital[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(capital[0])));
    return capital;
}

}  // namespace

std::string hasNoField(const Format& format, FieldKind kind) {
    return format.name + " has no " + std::string(fieldName(kind));
}

std::string tooLarge(const Format& format, const Field& field, std::string_view shown) {
    return capitalised(fieldName(field.kind)) + " " + std::string(shown) + " is too large for " +
           format.name + ". " + std::to_string(field.max) + " is max.";
}

std::string unreadableNumber(const FieldTexts& texts) {
    for (const FieldKind kind : kFieldKinds) {
        const std::optional<std::string_view>& text = texts[static_cast<std::size_t>(kind)];
        std::string problem;
        if (!text || readDecimal(*text, problem) || problem == "is too large") continue;
        return numberRefusal(capitalised(fieldName(kind)), *text, problem);
    }
    return {};
}

std::optional<CardNumbers> readNumbers(const Format& format, const FieldTexts& texts,
                                       std::string& refusal) {
    CardNumbers numbers;
    for (const FieldKind kind : kFieldKinds) {
        const std::optional<std::string_view>& text = texts[static_cast<std::size_t>(kind)];
        if (!text) continue;
        const Field* field = format.field(kind);
        if (field == nullptr) {
            refusal = hasNoField(format, kind);
            return std::nullopt;
        }
        std::string problem;
        const std::optional<std::uint64_t> value = readDecimal(*text, problem);
        if (value ? *value > field->max : problem == "is too large") {
            refusal = tooLarge(format, *field, shownText(*text));
            return std::nullopt;
        }
        if (!value) {
            refusal = numberRefusal(capitalised(fieldName(kind)), *text, problem);
            return std::nullopt;
        }
        numbers[kind] = *value;
    }
    return numbers;
}

}  // namespace proxcred::wiegand

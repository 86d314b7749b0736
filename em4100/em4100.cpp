#include "em4100/em4100.h"

#include <algorithm>

#include "bits/digits.h"
#include "text/shown_text.h"
#include "wiegand/decimal.h"
#include "wiegand/flipper_key.h"

namespace proxcred::em4100 {
namespace {

constexpr int kByteBits = 8;
constexpr int kHexDigitBits = 4;
constexpr std::size_t kIdHexDigits = 10;
constexpr std::string_view kKeyType = "EM4100";

// A run of bytes written as one zero-padded decimal number.
struct Part {
    int firstByte = 1;  // counted from 1 at the ID's first byte
    int bytes = 1;
    std::size_t digits = 1;
};

// Each decimal form: one number, or two joined by a separator.
struct DecimalForm {
    Form form;
    std::string_view name;
    std::string_view label;
    char separator;
    std::array<Part, 2> parts;
    int partCount;
};

constexpr Part kLastTwo{4, 2, 5};
constexpr std::array kDecimalForms{
    DecimalForm{Form::Dez8, "dez8", "DEZ 8", 0, {Part{3, 3, 8}}, 1},
    DecimalForm{Form::Dez10, "dez10", "DEZ 10", 0, {Part{2, 4, 10}}, 1},
    DecimalForm{Form::Dez55, "dez5.5", "DEZ 5.5", '.', {Part{2, 2, 5}, kLastTwo}, 2},
    DecimalForm{Form::Dez35A, "dez3.5a", "DEZ 3.5A", '.', {Part{1, 1, 3}, kLastTwo}, 2},
    DecimalForm{Form::Dez35B, "dez3.5b", "DEZ 3.5B", '.', {Part{2, 1, 3}, kLastTwo}, 2},
    DecimalForm{Form::Dez35C, "dez3.5c", "DEZ 3.5C", '.', {Part{3, 1, 3}, kLastTwo}, 2},
    DecimalForm{Form::Dez14, "dez14", "DEZ 14", 0, {Part{1, 5, 14}}, 1},
    DecimalForm{Form::W26, "w26", "W26", ':', {Part{3, 1, 3}, kLastTwo}, 2},
};
static_assert(kDecimalForms.size() + 1 == kForms.size(), "every form but the ID is decimal");

const DecimalForm* decimalForm(Form form) {
    const auto found = std::find_if(kDecimalForms.begin(), kDecimalForms.end(),
                                    [&](const DecimalForm& row) { return row.form == form; });
    return found == kDecimalForms.end() ? nullptr : &*found;
}

int shiftOf(const Part& part) {
    return (kIdBytes - (part.firstByte + part.bytes - 1)) * kByteBits;
}

std::uint8_t bytesOf(const Part& part) {
    std::uint8_t mask = 0;
    for (int n = part.firstByte; n < part.firstByte + part.bytes; ++n) mask |= byteBit(n);
    return mask;
}

std::string quoted(std::string_view text) {
    return "\"" + shownText(text) + "\"";
}

std::string padded(std::uint64_t value, std::size_t digits) {
    const std::string text = std::to_string(value);
    return std::string(digits > text.size() ? digits - text.size() : 0, '0') + text;
}

// One part of a decimal form into the ID; false with `error`.
bool readPart(std::string_view text, const Part& part, const DecimalForm& form, Id& id,
              std::string& error) {
    std::string problem;
    const std::optional<std::uint64_t> value = wiegand::readDecimal(text, problem);
    const std::uint64_t largest = bits::lowBits(part.bytes * kByteBits);
    if (value && text.size() <= part.digits && *value <= largest) {
        id.value |= *value << shiftOf(part);
        id.known |= bytesOf(part);
        return true;
    }
    if (!value) {
        error = std::string(form.label) + " " + quoted(text) + " " + problem;
    } else if (text.size() > part.digits) {
        error = std::string(form.label) + " " + quoted(text) + " has more than " +
                std::to_string(part.digits) + " digits";
    } else {
        error = std::string(form.label) + " " + quoted(text) + " is more than " +
                std::to_string(part.bytes) + (part.bytes == 1 ? " byte" : " bytes") +
                " hold: " + std::to_string(largest) + " is max";
    }
    return false;
}

std::optional<Id> readDecimalForm(std::string_view text, const DecimalForm& form,
                                  std::string& error) {
    Id id{0, 0};
    const std::size_t separator =
        form.partCount == 2 ? text.find(form.separator) : std::string_view::npos;
    if (form.partCount == 2 && separator == std::string_view::npos) {
        error = quoted(text) + " is not " + std::string(form.label) + ": it has no '" +
                std::string(1, form.separator) + "'";
        return std::nullopt;
    }
    if (!readPart(text.substr(0, separator), form.parts[0], form, id, error)) return std::nullopt;
    if (form.partCount == 2 &&
        !readPart(text.substr(separator + 1), form.parts[1], form, id, error))
        return std::nullopt;
    return id;
}

std::optional<Id> readHexId(std::string_view text, std::string& error) {
    std::string_view digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits.remove_prefix(2);
    const bits::DigitsRead read = bits::readDigits(digits, kHexDigitBits);
    if (!read.ok() || digits.size() != kIdHexDigits) {
        error =
            quoted(text) + " is not an EM4100 ID: " +
            (read.ok() ? std::to_string(digits.size()) + " hex digits, not 10"
                       : "it holds " + shownByte(digits[std::min(read.badAt, digits.size() - 1)]) +
                             ", which is no hex digit");
        return std::nullopt;
    }
    return Id{read.value, kAllBytes};
}

}  // namespace

std::string_view formName(Form form) {
    const DecimalForm* row = decimalForm(form);
    return row == nullptr ? "id" : row->name;
}

std::string_view formLabel(Form form) {
    const DecimalForm* row = decimalForm(form);
    return row == nullptr ? "ID" : row->label;
}

std::optional<Form> form(std::string_view name) {
    for (const Form candidate : kForms) {
        if (formName(candidate) == name) return candidate;
    }
    return std::nullopt;
}

std::uint8_t bytesOf(Form form) {
    const DecimalForm* row = decimalForm(form);
    if (row == nullptr) return kAllBytes;
    std::uint8_t mask = 0;
    for (int part = 0; part < row->partCount; ++part)
        mask |= bytesOf(row->parts[static_cast<std::size_t>(part)]);
    return mask;
}

std::optional<std::string> textOf(const Id& id, Form form) {
    if ((id.known & bytesOf(form)) != bytesOf(form)) return std::nullopt;
    const DecimalForm* row = decimalForm(form);
    if (row == nullptr) return idText(id);
    std::string text;
    for (int index = 0; index < row->partCount; ++index) {
        const Part& part = row->parts[static_cast<std::size_t>(index)];
        if (index > 0) text.push_back(row->separator);
        text += padded((id.value >> shiftOf(part)) & bits::lowBits(part.bytes * kByteBits),
                       part.digits);
    }
    return text;
}

std::optional<Id> readId(std::string_view text, Form form, std::string& error) {
    text = wiegand::trimmedBlanks(text);
    const DecimalForm* row = decimalForm(form);
    return row == nullptr ? readHexId(text, error) : readDecimalForm(text, *row, error);
}

std::string idText(const Id& id) {
    std::string text;
    for (int n = 1; n <= kIdBytes; ++n) {
        if ((id.known & byteBit(n)) == 0) {
            text += "??";
        } else {
            bits::appendDigits(text, id.value >> ((kIdBytes - n) * kByteBits), kHexDigitBits, 2);
        }
    }
    return text;
}

std::string unknownBytes(const Id& id, std::uint8_t wanted) {
    std::string list;
    int count = 0;
    for (int n = 1; n <= kIdBytes; ++n) {
        if ((wanted & byteBit(n)) == 0 || (id.known & byteBit(n)) != 0) continue;
        list += (count == 0 ? "" : ", ") + std::to_string(n);
        ++count;
    }
    if (count == 0) return {};
    const std::size_t last = list.rfind(", ");
    if (last != std::string::npos) list.replace(last, 2, " and ");
    return (count == 1 ? "byte " : "bytes ") + list;
}

std::string flipperFile(const Id& id) {
    wiegand::FlipperKey key{std::string(kKeyType), {}};
    for (int n = 1; n <= kIdBytes; ++n)
        key.data.push_back(static_cast<std::uint8_t>(id.value >> ((kIdBytes - n) * kByteBits)));
    return wiegand::flipperKeyFile(key);
}

std::string pm3Command(const Id& id) {
    return "lf em 410x clone --id " + idText(id);
}

std::optional<Id> readFlipperFile(std::string_view text, std::string& error) {
    const std::optional<wiegand::FlipperKey> key = wiegand::readFlipperKey(text, error);
    if (!key) return std::nullopt;
    if (key->keyType != kKeyType) {
        error = "the key type " + quoted(key->keyType) + " is not EM4100";
        return std::nullopt;
    }
    if (key->data.size() != static_cast<std::size_t>(kIdBytes)) {
        error = wiegand::flipperDataSizeError(*key, kIdBytes);
        return std::nullopt;
    }
    Id id;
    for (const std::uint8_t byte : key->data) id.value = (id.value << kByteBits) | byte;
    return id;
}

}  // namespace proxcred::em4100

#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// EM4100 (EM410x) IDs, the other common 125 kHz card: five bytes, and the
// decimal forms installers read off fobs and keyboard-wedge readers.
namespace proxcred::em4100 {

inline constexpr int kIdBytes = 5;

// The mask of byte n of an ID, counted from 1 at its first (most
// significant) byte.
constexpr std::uint8_t byteBit(int n) {
    return static_cast<std::uint8_t>(1U << (kIdBytes - n));
}
inline constexpr std::uint8_t kAllBytes = 0x1F;

// An ID as far as a text tells it; a byte not known is 0 in `value`.
struct Id {
    std::uint64_t value = 0;
    std::uint8_t known = kAllBytes;  // byteBit(n) for each byte n known
    bool complete() const { return known == kAllBytes; }
    friend bool operator==(const Id&, const Id&) = default;
};

enum class Form : std::uint8_t {
    Id,      // 10 hex digits
    Dez8,    // the low 3 bytes, 8 decimal digits
    Dez10,   // the low 4 bytes, 10 digits
    Dez55,   // bytes 2-3 as 5 digits, a dot, bytes 4-5 as 5 digits
    Dez35A,  // byte 1 as 3 digits, a dot, bytes 4-5 as 5 digits
    Dez35B,  // byte 2, a dot, bytes 4-5
    Dez35C,  // byte 3, a dot, bytes 4-5
    Dez14,   // all five bytes, 14 digits
    W26,     // what a Wiegand-26 reader sends: byte 3 as H10301's facility
             // code, bytes 4-5 as its card number, written FC:CN
};
inline constexpr std::array kForms{Form::Id,     Form::Dez8,   Form::Dez10,
                                   Form::Dez55,  Form::Dez35A, Form::Dez35B,
                                   Form::Dez35C, Form::Dez14,  Form::W26};

// "id", "dez8", "dez10", "dez5.5", "dez3.5a", "dez3.5b", "dez3.5c", "dez14", "w26".
std::string_view formName(Form form);
// "ID", "DEZ 8", ..., "W26": as installers' lists write them.
std::string_view formLabel(Form form);
std::optional<Form> form(std::string_view name);
// The bytes a form carries (byteBit of each).
std::uint8_t bytesOf(Form form);

// The ID in a form; nullopt when a byte the form needs is not known.
std::optional<std::string> textOf(const Id& id, Form form);
// What a text of a form tells of an ID (blanks around it ignored): only the
// bytes that form carries are known. nullopt, with `error` quoting the text, when it is not of the
// form.
std::optional<Id> readId(std::string_view text, Form form, std::string& error);

// "0F0368568B", with "??" for each byte not known.
std::string idText(const Id& id);
// "bytes 1 and 2": the bytes of `wanted` the ID does not know; empty for none.
std::string unknownBytes(const Id& id, std::uint8_t wanted = kAllBytes);

// A complete ID as a Flipper Zero key file (key type EM4100), and as the
// Proxmark3 client's command that writes it to a blank.
std::string flipperFile(const Id& id);
std::string pm3Command(const Id& id);
// The ID of a Flipper Zero EM4100 key file; nullopt with `error` for any
// other file or key type.
std::optional<Id> readFlipperFile(std::string_view text, std::string& error);

}  // namespace proxcred::em4100

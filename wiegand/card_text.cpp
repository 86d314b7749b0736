#include "wiegand/card_text.h"

#include <algorithm>

#include "bits/digits.h"
#include "text/shown_text.h"
#include "wiegand/decimal.h"
#include "wiegand/flipper_key.h"

namespace proxcred::wiegand {
namespace {

constexpr std::array<std::string_view, kCardForms.size()> kCardFormNames{
    "bin", "hex", "hid", "octal", "pacs", "fccn", "number", "flipper", "pm3"};

constexpr std::string_view kH10301 = "H10301";
constexpr std::string_view kHidProx = "HIDProx";
constexpr int kHidProxLongestFrame = 37;
constexpr std::size_t kH10301KeyBytes = 3;
constexpr std::size_t kHidProxKeyBytes = 6;
constexpr int kHidProxUnusedBits = 4;  // the last byte's low half
constexpr int kHidProxHeaderBit = 37;  // nothing above it in a key
constexpr int kByteBits = 8;

std::size_t decimalDigits(std::uint64_t value) {
    std::size_t digits = 1;
    for (; value >= 10; value /= 10) ++digits;
    return digits;
}

void appendPadded(std::string& out, std::uint64_t value, std::size_t width) {
    const std::string digits = std::to_string(value);
    out.append(width > digits.size() ? width - digits.size() : 0, '0').append(digits);
}

// The facility code and card number fields in the order they are sent; the
// first is null for a format without a facility code.
std::pair<const Field*, const Field*> sentOrder(const Format& format) {
    const Field* facility = format.field(FieldKind::FacilityCode);
    const Field* card = format.field(FieldKind::CardNumber);
    if (facility == nullptr) return {nullptr, card};
    // A field's first bit is its most significant; higher bits are sent first.
    return facility->at.front() > card->at.front() ? std::pair(facility, card)
                                                   : std::pair(card, facility);
}

// Why fccn or number cannot carry this format's cards; empty when they can.
std::string numbersFormRefusal(const Format& format, CardForm form) {
    const std::string formName(cardFormName(form));
    if (form == CardForm::Fccn && format.field(FieldKind::FacilityCode) == nullptr)
        return format.name + " has no facility code: the fccn form is FC:CN";
    for (const FieldKind kind : {FieldKind::IssueLevel, FieldKind::OemCode}) {
        if (format.field(kind) != nullptr)
            return "the " + formName +
                   " form carries a facility code and a card number only: " + format.name +
                   " has an " + std::string(fieldName(kind)) + " too";
    }
    const auto [first, second] = sentOrder(format);
    if (first != nullptr && (first->bcd || second->bcd))
        return "the number form cannot join " + format.name + "'s BCD digits to another field";
    return {};
}

std::uint64_t numberOf(const Format& format, const CardNumbers& numbers) {
    const auto [first, second] = sentOrder(format);
    const std::uint64_t low = numbers[second->kind].value_or(0);
    if (first == nullptr) return low;
    return (numbers[first->kind].value_or(0) << second->width()) | low;
}

// The numbers a decimal number stands for in a format; nullopt where it does
// not fit its fields.
std::optional<CardNumbers> numbersOf(const Format& format, std::uint64_t number) {
    const auto [first, second] = sentOrder(format);
    CardNumbers numbers;
    const std::uint64_t low = first == nullptr ? number : number & bits::lowBits(second->width());
    const std::uint64_t high = first == nullptr ? 0 : number >> second->width();
    if (low > second->max || (first != nullptr && high > first->max)) return std::nullopt;
    numbers[second->kind] = low;
    if (first != nullptr) numbers[first->kind] = high;
    return numbers;
}

std::optional<Frame> frameOf(const Format& format, const CardNumbers& numbers,
                             std::string& refusal) {
    Encoded encoded = encode(format, numbers);
    if (!encoded.frame) refusal = std::move(encoded.refusal);
    return encoded.frame;
}

bool appendFlipper(std::string& out, const Format& format, const CardNumbers& numbers,
                   const Frame& frame, std::string& refusal) {
    FlipperKey key;
    if (format.name == kH10301) {
        const std::uint64_t card = numbers[FieldKind::CardNumber].value_or(0);
        key = {std::string(kH10301),
               {static_cast<std::uint8_t>(numbers[FieldKind::FacilityCode].value_or(0)),
                static_cast<std::uint8_t>(card >> kByteBits), static_cast<std::uint8_t>(card)}};
    } else if (frame.bits <= kHidProxLongestFrame) {
        const std::uint64_t value = hidValue(frame) << kHidProxUnusedBits;
        key.keyType = kHidProx;
        for (std::size_t byte = kHidProxKeyBytes; byte-- > 0;)
            key.data.push_back(static_cast<std::uint8_t>(value >> (byte * kByteBits)));
    } else {
        refusal = format.name + ": a Flipper HIDProx key carries frames of up to 37 bits";
        return false;
    }
    out += flipperKeyFile(key);
    return true;
}

bool appendPm3(std::string& out, const Format& format, const Frame& frame, std::string& refusal) {
    if (const std::string_view why = formRefusal(frame.bits, FrameForm::Hid); !why.empty()) {
        refusal = format.name + ": " + std::string(why);
        return false;
    }
    std::string hid;
    appendFrameText(hid, frame, FrameForm::Hid);
    std::transform(hid.begin(), hid.end(), hid.begin(),
                   [](char c) { return static_cast<char>(c >= 'A' && c <= 'F' ? c + 32 : c); });
    out.append("lf hid clone -r ").append(hid);
    return true;
}

// Every format in scope, its card of these numbers kept where `numbersFor`
// gives the format numbers that fit it.
template <class NumbersFor>
void matchEveryFormat(const Library& library, const ReadScope& scope, CardForm form,
                      NumbersFor numbersFor, Matches& matches) {
    const auto tryFormat = [&](const Format& format) {
        if (scope.bits && format.bits != *scope.bits) return;
        if (!numbersFormRefusal(format, form).empty()) return;
        const std::optional<CardNumbers> numbers = numbersFor(format);
        if (!numbers) return;
        const Encoded encoded = encode(format, *numbers);
        if (!encoded.frame) return;
        if (std::optional<Decoded> decoded = decode(format, *encoded.frame))
            matches.push_back({&format, *decoded});
    };
    if (scope.only != nullptr) {
        tryFormat(*scope.only);
    } else {
        for (const Format& format : library.formats()) tryFormat(format);
    }
    rankMatches(matches);
}

// A format asked for that the form cannot carry is an error of its own, not
// a text that fits no format.
bool formCarriesTheFormatAskedFor(const ReadScope& scope, CardForm form, CardReading& reading) {
    if (scope.only != nullptr) reading.error = numbersFormRefusal(*scope.only, form);
    return reading.error.empty();
}

void readFccn(std::string_view text, const Library& library, const ReadScope& scope,
              CardReading& reading) {
    if (!formCarriesTheFormatAskedFor(scope, CardForm::Fccn, reading)) return;
    const auto numbers = readFacilityAndCard(text, reading.error);
    if (!numbers) return;
    matchEveryFormat(
        library, scope, CardForm::Fccn,
        [&](const Format& format) -> std::optional<CardNumbers> {
            CardNumbers given;
            given[FieldKind::FacilityCode] = numbers->first;
            given[FieldKind::CardNumber] = numbers->second;
            const Field* facility = format.field(FieldKind::FacilityCode);
            const Field* card = format.field(FieldKind::CardNumber);
            if (numbers->first > facility->max || numbers->second > card->max) return std::nullopt;
            return given;
        },
        reading.matches);
}

void readNumber(std::string_view text, const Library& library, const ReadScope& scope,
                CardReading& reading) {
    if (!formCarriesTheFormatAskedFor(scope, CardForm::Number, reading)) return;
    std::string problem;
    const std::optional<std::uint64_t> number = readDecimal(text, problem);
    if (!number) {
        reading.error = numberRefusal("the number", text, problem);
        return;
    }
    matchEveryFormat(
        library, scope, CardForm::Number,
        [&](const Format& format) { return numbersOf(format, *number); }, reading.matches);
}

std::uint64_t bigEndian(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t value = 0;
    for (const std::uint8_t byte : bytes) value = (value << kByteBits) | byte;
    return value;
}

void readH10301Key(const FlipperKey& key, const Library& library, const ReadScope& scope,
                   CardReading& reading) {
    const Format* h10301 = library.find(kH10301);
    if (h10301 == nullptr || (scope.only != nullptr && scope.only != h10301) ||
        (scope.bits && *scope.bits != h10301->bits))
        return;
    CardNumbers numbers;
    numbers[FieldKind::FacilityCode] = key.data[0];
    numbers[FieldKind::CardNumber] = bigEndian({key.data[1], key.data[2]});
    const Encoded encoded = encode(*h10301, numbers);
    if (std::optional<Decoded> decoded = decode(*h10301, *encoded.frame))
        reading.matches.push_back({h10301, *decoded});
}

void readHidProxKey(const FlipperKey& key, const Library& library, const ReadScope& scope,
                    CardReading& reading) {
    const std::uint64_t value = bigEndian(key.data) >> kHidProxUnusedBits;
    if ((value >> (kHidProxHeaderBit + 1)) != 0) {
        reading.error = "the HIDProx key has bits above HID's header bit 37, which it cannot carry";
        return;
    }
    const std::optional<Frame> frame = frameOfHidValue(value, reading.error);
    if (!frame) return;
    if (scope.bits && frame->bits != *scope.bits) {
        reading.error = "not a " + std::to_string(*scope.bits) + "-bit frame (the key holds " +
                        std::to_string(frame->bits) + " bits)";
        return;
    }
    reading.frames.push_back(*frame);
    findMatches(library, reading.frames, scope.only, reading.matches);
}

void readFlipper(std::string_view text, const Library& library, const ReadScope& scope,
                 CardReading& reading) {
    const std::optional<FlipperKey> key = readFlipperKey(text, reading.error);
    if (!key) return;
    const bool h10301 = key->keyType == kH10301;
    if (h10301 || key->keyType == kHidProx) {
        const std::size_t size = h10301 ? kH10301KeyBytes : kHidProxKeyBytes;
        if (key->data.size() != size) {
            reading.error = flipperDataSizeError(*key, size);
            return;
        }
        return h10301 ? readH10301Key(*key, library, scope, reading)
                      : readHidProxKey(*key, library, scope, reading);
    }
    reading.error = key->keyType == "EM4100"
                        ? "an EM4100 key is an EM4100 ID, not a Wiegand card"
                        : "the key type \"" + shownText(key->keyType) +
                              "\" is not one this tool reads (H10301, HIDProx, EM4100)";
}

}  // namespace

std::string_view cardFormName(CardForm form) {
    return kCardFormNames[static_cast<std::size_t>(form)];
}

std::optional<CardForm> cardForm(std::string_view name) {
    for (const CardForm form : kCardForms) {
        if (cardFormName(form) == name) return form;
    }
    return std::nullopt;
}

std::optional<FrameForm> frameFormOf(CardForm form) {
    return frameForm(cardFormName(form));
}

bool appendCardText(std::string& out, const Format& format, const CardNumbers& numbers,
                    CardForm form, std::string& refusal, Frame* made) {
    const std::optional<Frame> frame = frameOf(format, numbers, refusal);
    if (!frame) return false;
    if (made != nullptr) *made = *frame;
    if (const std::optional<FrameForm> frameForm = frameFormOf(form)) {
        if (const std::string_view why = formRefusal(format.bits, *frameForm); !why.empty()) {
            refusal = format.name + ": " + std::string(why);
            return false;
        }
        appendFrameText(out, *frame, *frameForm);
        return true;
    }
    switch (form) {
        case CardForm::Fccn:
        case CardForm::Number: {
            refusal = numbersFormRefusal(format, form);
            if (!refusal.empty()) return false;
            if (form == CardForm::Number) {
                out += std::to_string(numberOf(format, numbers));
                return true;
            }
            const Field& facility = *format.field(FieldKind::FacilityCode);
            const Field& card = *format.field(FieldKind::CardNumber);
            appendPadded(out, numbers[FieldKind::FacilityCode].value_or(0),
                         decimalDigits(facility.max));
            out.push_back(':');
            appendPadded(out, numbers[FieldKind::CardNumber].value_or(0), decimalDigits(card.max));
            return true;
        }
        case CardForm::Flipper:
            return appendFlipper(out, format, numbers, *frame, refusal);
        case CardForm::Pm3:
            return appendPm3(out, format, *frame, refusal);
        default:
            return false;
    }
}

void readCard(std::string_view text, CardForm form, const Library& library, const ReadScope& scope,
              CardReading& reading) {
    reading.frames.clear();
    reading.matches.clear();
    reading.error.clear();
    if (const std::optional<FrameForm> frameForm = frameFormOf(form)) {
        framesOf(text, *frameForm, scope.bits, reading.frames, reading.error);
        if (reading.error.empty())
            findMatches(library, reading.frames, scope.only, reading.matches);
        return;
    }
    switch (form) {
        case CardForm::Fccn:
            return readFccn(trimmedBlanks(text), library, scope, reading);
        case CardForm::Number:
            return readNumber(trimmedBlanks(text), library, scope, reading);
        case CardForm::Flipper:
            return readFlipper(text, library, scope, reading);
        default:
            reading.error = "the " + std::string(cardFormName(form)) + " form is written, not read";
    }
}

std::optional<std::pair<std::uint64_t, std::uint64_t>> readFacilityAndCard(std::string_view text,
                                                                           std::string& error) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        error = "\"" + shownText(text) + "\" is not FC:CN, a facility code and a card number";
        return std::nullopt;
    }
    std::string problem;
    const std::optional<std::uint64_t> facility = readDecimal(text.substr(0, colon), problem);
    if (!facility) {
        error = numberRefusal("the facility code", text.substr(0, colon), problem);
        return std::nullopt;
    }
    const std::optional<std::uint64_t> card = readDecimal(text.substr(colon + 1), problem);
    if (!card) {
        error = numberRefusal("the card number", text.substr(colon + 1), problem);
        return std::nullopt;
    }
    return std::pair(*facility, *card);
}

}  // namespace proxcred::wiegand

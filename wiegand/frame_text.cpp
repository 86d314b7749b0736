#include "wiegand/frame_text.h"

#include <algorithm>
#include <bit>
#include <cctype>

#include "bits/digits.h"
#include "formats/card_format.h"
#include "text/shown_text.h"
#include "wiegand/decimal.h"

namespace proxcred::wiegand {
namespace {

// HID's header bit, above every frame shorter than 37 bits.
constexpr int kHidHeaderBit = 37;
constexpr std::size_t kMinOctalDigits = 16;

// The translator's card data puts a marker bit just ahead of the frame in
// its shorter formats and none in its longer ones. The octal form follows the
// translator's own table: frames shorter than its shortest format without a
// marker carry one, longer frames none.
constexpr bool hasMarker(const CardFormatInfo& info) {
    return info.bits < 64 && (info.layout.fixedOnes & bit(info.bits)) != 0;
}

constexpr int shortestUnmarked() {
    int shortest = kMaxFrameBits + 1;
    for (const CardFormatInfo& info : kCardFormats) {
        if (!hasMarker(info)) shortest = std::min(shortest, info.bits);
    }
    return shortest;
}

constexpr int kMarkedBelowBits = shortestUnmarked();

constexpr bool markersFollowLength() {
    return std::all_of(kCardFormats.begin(), kCardFormats.end(), [](const CardFormatInfo& info) {
        return hasMarker(info) == (info.bits < kMarkedBelowBits);
    });
}
static_assert(markersFollowLength(),
              "the translator's formats with a marker must be exactly its shorter ones");

constexpr int kBinDigitBits = 1;
constexpr int kOctalDigitBits = 3;
constexpr int kHexDigitBits = 4;

std::string_view digitName(int bitsPerDigit) {
    return bitsPerDigit == kBinDigitBits     ? "a binary digit"
           : bitsPerDigit == kOctalDigitBits ? "an octal digit"
                                             : "a hex digit";
}

// Why a text is no number of a base: its first character that is no digit.
std::string notADigit(std::string_view digits, std::size_t at, int bitsPerDigit,
                      std::size_t offset) {
    return shownByte(digits[at]) + " at position " + std::to_string(offset + at + 1) + " is not " +
           std::string(digitName(bitsPerDigit));
}

// Digits of a base (2, 8 or 16) into a number of at most 64 bits; nullopt,
// with `error`, when a digit is not of the base or the number is wider.
// `offset` is where the digits start in the text as typed.
std::optional<std::uint64_t> number(std::string_view digits, int bitsPerDigit, std::string& error,
                                    std::size_t offset = 0) {
    if (digits.empty()) {
        error = "no digits";
        return std::nullopt;
    }
    const bits::DigitsRead read = bits::readDigits(digits, bitsPerDigit);
    if (read.badAt != std::string_view::npos) {
        error = notADigit(digits, read.badAt, bitsPerDigit, offset);
        return std::nullopt;
    }
    if (read.tooWide) {
        error = "more than 64 bits";
        return std::nullopt;
    }
    return read.value;
}

std::string_view withoutHexPrefix(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return text.substr(2);
    return text;
}

int highestBit(std::uint64_t value) {
    return static_cast<int>(std::bit_width(value)) - 1;
}

using bits::lowBits;

void binFrames(std::string_view text, Frames& frames, std::string& error) {
    if (text.size() > static_cast<std::size_t>(kMaxFrameBits)) {
        error = "more than 64 bits";
        return;
    }
    const std::optional<std::uint64_t> value = number(text, kBinDigitBits, error);
    if (value) frames.push_back({*value, static_cast<int>(text.size())});
}

// Every length the digits allow: from the highest bit set to all of them.
void hexFrames(std::string_view text, Frames& frames, std::string& error) {
    const std::string_view digits = withoutHexPrefix(text);
    const std::optional<std::uint64_t> value =
        number(digits, kHexDigitBits, error, static_cast<std::size_t>(digits.data() - text.data()));
    if (!value) return;
    const int longest = std::min(kMaxFrameBits, static_cast<int>(digits.size()) * kHexDigitBits);
    for (int length = std::max(1, highestBit(*value) + 1); length <= longest; ++length)
        frames.push_back({*value, length});
}

// A hex text of up to 96 bits, as the Proxmark3 client prints a raw value:
// the word above bit 64 and the 64 bits below it.
struct WideValue {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
};

constexpr std::size_t kWideHexDigits = 24;
constexpr std::size_t kWordHexDigits = 16;

std::optional<WideValue> wideNumber(std::string_view text, std::string& error) {
    const std::string_view digits = withoutHexPrefix(text);
    const auto offset = static_cast<std::size_t>(digits.data() - text.data());
    if (digits.empty()) {
        error = "no digits";
        return std::nullopt;
    }
    const auto bad =
        std::find_if(digits.begin(), digits.end(), [](char c) { return bits::digitValue(c) > 15; });
    if (bad != digits.end()) {
        error = notADigit(digits, static_cast<std::size_t>(bad - digits.begin()), kHexDigitBits,
                          offset);
        return std::nullopt;
    }
    const std::string_view significant =
        digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
    if (significant.size() > kWideHexDigits) {
        error = "more than 96 bits";
        return std::nullopt;
    }
    const std::size_t split =
        significant.size() > kWordHexDigits ? significant.size() - kWordHexDigits : 0;
    return WideValue{bits::readDigits(significant.substr(0, split), kHexDigitBits).value,
                     bits::readDigits(significant.substr(split), kHexDigitBits).value};
}

constexpr std::uint64_t kExtendedLengthMarker = 0x09E00000;

void hidFrames(std::string_view text, Frames& frames, std::string& error) {
    const std::optional<WideValue> value = wideNumber(text, error);
    if (!value) return;
    if (value->high != 0 && value->high != kExtendedLengthMarker) {
        error = "more than 64 bits: the hid form carries frames of up to 63 bits";
        return;
    }
    if (const std::optional<Frame> frame = frameOfHidValue(value->low, error))
        frames.push_back(*frame);
}

constexpr int kByteBits = 8;
constexpr int kPacsMostPadding = 7;
constexpr std::size_t kPacsMostBytes = 13;

// One byte counting the padding bits, then the frame first bit first,
// padded with zeros to whole bytes.
void appendPacs(std::string& out, const Frame& frame) {
    const int padding = (kByteBits - frame.bits % kByteBits) % kByteBits;
    bits::appendDigits(out, static_cast<std::uint64_t>(padding), kHexDigitBits, 2);
    bits::appendDigits(out, frame.value << padding, kHexDigitBits,
                       bits::digitCount(frame.bits + padding, kHexDigitBits));
}

void pacsFrames(std::string_view text, Frames& frames, std::string& error) {
    const std::string_view digits = withoutHexPrefix(text);
    const auto offset = static_cast<std::size_t>(digits.data() - text.data());
    if (digits.size() % 2 != 0) {
        error = "a pacs value is whole bytes, two hex digits each";
        return;
    }
    const std::size_t bytes = digits.size() / 2;
    if (bytes > kPacsMostBytes) {
        error = "more than 13 bytes";
        return;
    }
    const std::optional<std::uint64_t> padding =
        number(digits.substr(0, 2), kHexDigitBits, error, offset);
    if (!padding) return;
    if (*padding > kPacsMostPadding) {
        error = "the padding count " + std::to_string(*padding) + " is more than 7";
        return;
    }
    if (bytes < 2) {
        error =
            "the padding count " + std::to_string(*padding) + " has no bytes of a frame after it";
        return;
    }
    const int bits = static_cast<int>((bytes - 1) * kByteBits) - static_cast<int>(*padding);
    const std::optional<std::uint64_t> value =
        number(digits.substr(2), kHexDigitBits, error, offset + 2);
    if (!value) return;
    if (bits > kMaxFrameBits) {
        error = "more than 64 bits";
        return;
    }
    if ((*value & lowBits(static_cast<int>(*padding))) != 0) {
        error = "the " + std::to_string(*padding) + " padding bits are not all zero";
        return;
    }
    frames.push_back({*value >> *padding, bits});
}

// Below the marked lengths, the frame under its marker; from them on, every
// length the digits can hold (lock data may carry leading zeros beyond the
// frame's own width).
void octalFrames(std::string_view text, Frames& frames, std::string& error) {
    const auto significant = std::min(text.find_first_not_of('0'), text.size());
    const std::optional<std::uint64_t> value =
        significant == text.size()
            ? std::optional<std::uint64_t>{0}
            : number(text.substr(significant), kOctalDigitBits, error, significant);
    if (!value) return;
    if (text.empty()) {
        error = "no digits";
        return;
    }
    const int highest = highestBit(*value);
    if (highest >= 1 && highest < kMarkedBelowBits)
        frames.push_back({*value & lowBits(highest), highest});
    const int longest =
        static_cast<int>(std::min<std::size_t>(kMaxFrameBits, kOctalDigitBits * text.size()));
    for (int length = std::max(kMarkedBelowBits, highest + 1); length <= longest; ++length)
        frames.push_back({*value, length});
    if (frames.empty()) error = "no frame: a marker bit alone";
}

void framesOfForm(std::string_view text, FrameForm form, Frames& frames, std::string& error) {
    switch (form) {
        case FrameForm::Bin:
            return binFrames(text, frames, error);
        case FrameForm::Hex:
            return hexFrames(text, frames, error);
        case FrameForm::Hid:
            return hidFrames(text, frames, error);
        case FrameForm::Octal:
            return octalFrames(text, frames, error);
        case FrameForm::Pacs:
            return pacsFrames(text, frames, error);
    }
}

// "26", "26 or 37", "36 to 48".
std::string lengthsOf(const Frames& frames) {
    std::string first = std::to_string(frames.front().bits);
    const std::string last = std::to_string(frames.back().bits);
    if (frames.size() == 1) return first;
    return first + (frames.size() == 2 ? " or " : " to ") + last;
}

}  // namespace

std::optional<Frame> frameOfHidValue(std::uint64_t value, std::string& error) {
    if ((value >> (kHidHeaderBit + 1)) != 0) {
        const int sentinel = highestBit(value);
        return Frame{value & lowBits(sentinel), sentinel};
    }
    if ((value & bits::bit(kHidHeaderBit)) == 0) return Frame{value, kHidHeaderBit};
    // HID's header: a frame shorter than 37 bits stands below its sentinel.
    const std::uint64_t rest = value & lowBits(kHidHeaderBit);
    if (rest <= 1) {
        error = "no frame below the sentinel bit";
        return std::nullopt;
    }
    return Frame{rest & lowBits(highestBit(rest)), highestBit(rest)};
}

std::uint64_t hidValue(const Frame& frame) {
    std::uint64_t hid = frame.value;
    if (frame.bits != kHidHeaderBit) hid |= bits::bit(frame.bits);
    if (frame.bits < kHidHeaderBit) hid |= bits::bit(kHidHeaderBit);
    return hid;
}

std::optional<FrameForm> frameForm(std::string_view name) {
    if (name == "bin") return FrameForm::Bin;
    if (name == "hex") return FrameForm::Hex;
    if (name == "hid") return FrameForm::Hid;
    if (name == "octal") return FrameForm::Octal;
    if (name == "pacs") return FrameForm::Pacs;
    return std::nullopt;
}

std::string_view formRefusal(int bits, FrameForm form) {
    if (form == FrameForm::Hid && bits >= kMaxFrameBits)
        return "the hid form has no room for a sentinel above a 64-bit frame";
    return {};
}

void appendFrameText(std::string& out, const Frame& frame, FrameForm form) {
    switch (form) {
        case FrameForm::Bin:
            return bits::appendDigits(out, frame.value, kBinDigitBits,
                                      static_cast<std::size_t>(frame.bits));
        case FrameForm::Hex:
            return bits::appendDigits(out, frame.value, kHexDigitBits,
                                      bits::digitCount(frame.bits, kHexDigitBits));
        case FrameForm::Hid: {
            // Whole bytes, as the tools that carry it print it, and at least
            // the frame's own (a bare 37-bit frame keeps its leading zeros).
            const std::uint64_t hid = hidValue(frame);
            const auto bits = std::max(static_cast<int>(std::bit_width(hid)), frame.bits);
            return bits::appendDigits(out, hid, kHexDigitBits, 2 * bits::digitCount(bits, 8));
        }
        case FrameForm::Pacs:
            return appendPacs(out, frame);
        case FrameForm::Octal: {
            if (frame.bits < kMarkedBelowBits)
                return bits::appendNumberDigits(out, frame.value | bits::bit(frame.bits),
                                                kOctalDigitBits, kMinOctalDigits);
            return bits::appendDigits(
                out, frame.value, kOctalDigitBits,
                std::max(kMinOctalDigits, bits::digitCount(frame.bits, kOctalDigitBits)));
        }
    }
}

void framesOf(std::string_view text, FrameForm form, std::optional<int> bits, Frames& frames,
              std::string& error) {
    frames.clear();
    error.clear();
    text = trimmedBlanks(text);
    if (bits && (*bits < 1 || *bits > kMaxFrameBits)) {
        error = "--bits must be 1 to 64";
        return;
    }
    framesOfForm(text, form, frames, error);
    if (!bits || frames.empty()) return;
    if (form == FrameForm::Hex && frames.front().bits <= *bits) {
        frames.assign(1, {frames.front().value, *bits});  // leading zeros may be left out
        return;
    }
    const auto isWanted = [&](const Frame& frame) { return frame.bits == *bits; };
    if (std::none_of(frames.begin(), frames.end(), isWanted)) {
        error = "not a " + std::to_string(*bits) + "-bit frame (the text reads as " +
                lengthsOf(frames) + " bits)";
        frames.clear();
        return;
    }
    std::erase_if(frames, [&](const Frame& frame) { return !isWanted(frame); });
}

}  // namespace proxcred::wiegand

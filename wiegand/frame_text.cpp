#include "wiegand/frame_text.h"

#include <algorithm>
#include <bit>
#include <cctype>

#include "formats/card_format.h"
#include "json_text/shown_text.h"

namespace proxcred::wiegand {
namespace {

constexpr int kHidPreambleBit = 37;
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

std::uint64_t lowBits(int count) {
    return count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
}

std::size_t digitsFor(int bits, int bitsPerDigit) {
    return static_cast<std::size_t>((bits + bitsPerDigit - 1) / bitsPerDigit);
}

std::string digitsOf(std::uint64_t value, int bitsPerDigit, std::size_t minDigits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.push_back(kDigits[value & lowBits(bitsPerDigit)]);
        value >>= bitsPerDigit;
    } while (value != 0);
    if (text.size() < minDigits) text.append(minDigits - text.size(), '0');
    std::reverse(text.begin(), text.end());
    return text;
}

std::string_view digitName(int bitsPerDigit) {
    return bitsPerDigit == 1   ? "a binary digit"
           : bitsPerDigit == 3 ? "an octal digit"
                               : "a hex digit";
}

// Digits of a base (2, 8 or 16) into a number of at most 64 bits; nullopt,
// with `error`, when a digit is not of the base or the number is wider.
std::optional<std::uint64_t> number(std::string_view digits, int bitsPerDigit, std::string& error,
                                    std::size_t offset = 0) {
    if (digits.empty()) {
        error = "no digits";
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (std::size_t at = 0; at < digits.size(); ++at) {
        const char c = digits[at];
        const auto byte = static_cast<unsigned char>(c);
        const int digit = std::isdigit(byte) != 0    ? c - '0'
                          : std::isxdigit(byte) != 0 ? std::toupper(byte) - 'A' + 10
                                                     : 99;
        if (digit >= (1 << bitsPerDigit)) {
            error = shownByte(c) + " at position " + std::to_string(offset + at + 1) + " is not " +
                    std::string(digitName(bitsPerDigit));
            return std::nullopt;
        }
        if ((value >> (64 - bitsPerDigit)) != 0) {
            error = "more than 64 bits";
            return std::nullopt;
        }
        value = (value << bitsPerDigit) | static_cast<std::uint64_t>(digit);
    }
    return value;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string_view withoutHexPrefix(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return text.substr(2);
    return text;
}

int highestBit(std::uint64_t value) {
    return static_cast<int>(std::bit_width(value)) - 1;
}

std::vector<Frame> binFrames(std::string_view text, std::string& error) {
    if (text.size() > static_cast<std::size_t>(kMaxFrameBits)) {
        error = "more than 64 bits";
        return {};
    }
    const std::optional<std::uint64_t> value = number(text, 1, error);
    if (!value) return {};
    return {{*value, static_cast<int>(text.size())}};
}

// Every length the digits allow: from the highest bit set to all of them.
std::vector<Frame> hexFrames(std::string_view text, std::string& error) {
    const std::string_view digits = withoutHexPrefix(text);
    const std::optional<std::uint64_t> value =
        number(digits, 4, error, static_cast<std::size_t>(digits.data() - text.data()));
    if (!value) return {};
    std::vector<Frame> frames;
    const int longest = std::min(kMaxFrameBits, static_cast<int>(digits.size()) * 4);
    for (int length = std::max(1, highestBit(*value) + 1); length <= longest; ++length)
        frames.push_back({*value, length});
    return frames;
}

std::vector<Frame> hidFrames(std::string_view text, std::string& error) {
    const std::string_view digits = withoutHexPrefix(text);
    const std::optional<std::uint64_t> value =
        number(digits, 4, error, static_cast<std::size_t>(digits.data() - text.data()));
    if (!value) {
        if (error == "more than 64 bits") error += ": the hid form carries frames of up to 63 bits";
        return {};
    }
    if (*value <= 1) {
        error = "no frame below the sentinel bit";
        return {};
    }
    const int sentinel = highestBit(*value);
    std::vector<Frame> frames{{*value & lowBits(sentinel), sentinel}};
    // Bit 37 is the sentinel of a 37-bit frame, or the preamble of a shorter
    // one whose sentinel stands below it.
    const std::uint64_t rest = *value & lowBits(kHidPreambleBit);
    if (sentinel == kHidPreambleBit && rest > 1)
        frames.push_back({rest & lowBits(highestBit(rest)), highestBit(rest)});
    return frames;
}

// Below the marked lengths, the frame under its marker; from them on, every
// length the digits can hold (lock data may carry leading zeros beyond the
// frame's own width).
std::vector<Frame> octalFrames(std::string_view text, std::string& error) {
    const auto significant = std::min(text.find_first_not_of('0'), text.size());
    const std::optional<std::uint64_t> value =
        significant == text.size() ? std::optional<std::uint64_t>{0}
                                   : number(text.substr(significant), 3, error, significant);
    if (!value) return {};
    if (text.empty()) {
        error = "no digits";
        return {};
    }
    std::vector<Frame> frames;
    const int highest = highestBit(*value);
    if (highest >= 1 && highest < kMarkedBelowBits)
        frames.push_back({*value & lowBits(highest), highest});
    const int longest = static_cast<int>(std::min<std::size_t>(kMaxFrameBits, 3 * text.size()));
    for (int length = std::max(kMarkedBelowBits, highest + 1); length <= longest; ++length)
        frames.push_back({*value, length});
    if (frames.empty()) error = "no frame: a marker bit alone";
    return frames;
}

std::vector<Frame> framesOfForm(std::string_view text, FrameForm form, std::string& error) {
    switch (form) {
        case FrameForm::Bin:
            return binFrames(text, error);
        case FrameForm::Hex:
            return hexFrames(text, error);
        case FrameForm::Hid:
            return hidFrames(text, error);
        case FrameForm::Octal:
            return octalFrames(text, error);
    }
    return {};
}

// "26", "26 or 37", "36 to 48".
std::string lengthsOf(const std::vector<Frame>& frames) {
    std::string first = std::to_string(frames.front().bits);
    const std::string last = std::to_string(frames.back().bits);
    if (frames.size() == 1) return first;
    return first + (frames.size() == 2 ? " or " : " to ") + last;
}

}  // namespace

std::optional<FrameForm> frameForm(std::string_view name) {
    if (name == "bin") return FrameForm::Bin;
    if (name == "hex") return FrameForm::Hex;
    if (name == "hid") return FrameForm::Hid;
    if (name == "octal") return FrameForm::Octal;
    return std::nullopt;
}

std::string_view formRefusal(int bits, FrameForm form) {
    if (form == FrameForm::Hid && bits >= kMaxFrameBits)
        return "the hid form has no room for a sentinel above a 64-bit frame";
    return {};
}

std::string frameText(const Frame& frame, FrameForm form) {
    switch (form) {
        case FrameForm::Bin: {
            std::string bits;
            for (int position = 0; position < frame.bits; ++position)
                bits.push_back(((frame.value >> (frame.bits - 1 - position)) & 1U) != 0 ? '1'
                                                                                        : '0');
            return bits;
        }
        case FrameForm::Hex:
            return digitsOf(frame.value, 4, digitsFor(frame.bits, 4));
        case FrameForm::Hid: {
            std::uint64_t hid = frame.value | (std::uint64_t{1} << frame.bits);
            if (frame.bits < kHidPreambleBit) hid |= std::uint64_t{1} << kHidPreambleBit;
            return digitsOf(hid, 4, 1);
        }
        case FrameForm::Octal: {
            if (frame.bits < kMarkedBelowBits)
                return digitsOf(frame.value | (std::uint64_t{1} << frame.bits), 3, kMinOctalDigits);
            return digitsOf(frame.value, 3, std::max(kMinOctalDigits, digitsFor(frame.bits, 3)));
        }
    }
    return {};
}

std::vector<Frame> framesOf(std::string_view text, FrameForm form, std::optional<int> bits,
                            std::string& error) {
    error.clear();
    text = trimmed(text);
    if (bits && (*bits < 1 || *bits > kMaxFrameBits)) {
        error = "--bits must be 1 to 64";
        return {};
    }
    std::vector<Frame> frames = framesOfForm(text, form, error);
    if (!bits || frames.empty()) return frames;
    if (form == FrameForm::Hex && !frames.empty() && frames.front().bits <= *bits)
        return {{frames.front().value, *bits}};  // leading zeros may be left out
    std::vector<Frame> wanted;
    std::copy_if(frames.begin(), frames.end(), std::back_inserter(wanted),
                 [&](const Frame& frame) { return frame.bits == *bits; });
    if (wanted.empty())
        error = "not a " + std::to_string(*bits) + "-bit frame (the text reads as " +
                lengthsOf(frames) + " bits)";
    return wanted;
}

}  // namespace proxcred::wiegand

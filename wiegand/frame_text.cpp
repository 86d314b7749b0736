#include "wiegand/frame_text.h"

#include <algorithm>
#include <bit>
#include <cctype>

namespace proxcred::wiegand {
namespace {

constexpr int kHidPreambleBit = 37;
constexpr int kMarkedBelowBits = 37;
constexpr std::size_t kMinOctalDigits = 16;

std::uint64_t lowBits(int count) {
    return count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
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

// Digits of a base (2, 8 or 16) into a number of at most `maxBits` significant
// bits; nullopt, with `error`, when a digit is not of the base or the number
// is too wide.
std::optional<std::uint64_t> number(std::string_view digits, int bitsPerDigit, int maxBits,
                                    std::string& error) {
    if (digits.empty()) {
        error = "no digits";
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : digits) {
        const auto byte = static_cast<unsigned char>(c);
        const int digit = std::isdigit(byte) != 0    ? c - '0'
                          : std::isxdigit(byte) != 0 ? std::toupper(byte) - 'A' + 10
                                                     : 99;
        if (digit >= (1 << bitsPerDigit)) {
            error = std::string("'") + c + "' is not a digit of the form";
            return std::nullopt;
        }
        if ((value >> (64 - bitsPerDigit)) != 0) {
            error = "more than " + std::to_string(maxBits) + " bits";
            return std::nullopt;
        }
        value = (value << bitsPerDigit) | static_cast<std::uint64_t>(digit);
    }
    if (static_cast<int>(std::bit_width(value)) > maxBits) {
        error = "more than " + std::to_string(maxBits) + " bits";
        return std::nullopt;
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

// The frame below a sentinel 1 at `bits`.
Frame belowSentinel(std::uint64_t value, int bits) {
    return {value & lowBits(bits), bits};
}

std::vector<Frame> binFrames(std::string_view text, std::optional<int> bits, std::string& error) {
    const std::optional<std::uint64_t> value = number(text, 1, kMaxFrameBits, error);
    if (!value) return {};
    if (text.size() > static_cast<std::size_t>(kMaxFrameBits)) {
        error = "more than 64 bits";
        return {};
    }
    const int length = static_cast<int>(text.size());
    if (bits && *bits != length) {
        error = std::to_string(length) + " bits, not " + std::to_string(*bits);
        return {};
    }
    return {{*value, length}};
}

std::vector<Frame> hexFrames(std::string_view text, std::optional<int> bits, std::string& error) {
    const std::string_view digits = withoutHexPrefix(text);
    const std::optional<std::uint64_t> value = number(digits, 4, kMaxFrameBits, error);
    if (!value) return {};
    const int shortest = std::max(1, static_cast<int>(std::bit_width(*value)));
    if (bits) {
        if (shortest > *bits) {
            error = "the value needs more than " + std::to_string(*bits) + " bits";
            return {};
        }
        return {{*value, *bits}};
    }
    std::vector<Frame> frames;
    const int longest = std::min(kMaxFrameBits, static_cast<int>(digits.size()) * 4);
    for (int length = shortest; length <= longest; ++length) frames.push_back({*value, length});
    return frames;
}

std::vector<Frame> hidFrames(std::string_view text, std::string& error) {
    const std::optional<std::uint64_t> value =
        number(withoutHexPrefix(text), 4, kMaxFrameBits, error);
    if (!value) return {};
    if (*value == 0) {
        error = "no sentinel bit";
        return {};
    }
    const int highest = static_cast<int>(std::bit_width(*value)) - 1;
    if (highest != kHidPreambleBit) return {belowSentinel(*value, highest)};
    // Bit 37 is the sentinel of a 37-bit frame, or the preamble of a shorter
    // one whose sentinel stands below it.
    std::vector<Frame> frames{belowSentinel(*value, kHidPreambleBit)};
    const std::uint64_t rest = *value & lowBits(kHidPreambleBit);
    if (rest != 0)
        frames.push_back(belowSentinel(rest, static_cast<int>(std::bit_width(rest)) - 1));
    return frames;
}

std::vector<Frame> octalFrames(std::string_view text, std::string& error) {
    // Lock data may carry leading zeros far beyond the frame.
    const auto significant = text.find_first_not_of('0');
    const std::string_view digits = significant == std::string_view::npos
                                        ? text.substr(text.empty() ? 0 : text.size() - 1)
                                        : text.substr(significant);
    if (const auto bad = text.find_first_not_of("01234567"); bad != std::string_view::npos) {
        error = std::string("'") + text[bad] + "' is not an octal digit";
        return {};
    }
    const std::optional<std::uint64_t> value = number(digits, 3, kMaxFrameBits, error);
    if (!value) return {};
    if (*value == 0) {
        error = "no bits set";
        return {};
    }
    const int highest = static_cast<int>(std::bit_width(*value)) - 1;
    std::vector<Frame> frames;
    if (highest < kMarkedBelowBits) {
        // A marker bit above a short frame, or a 37-bit frame (which has no
        // marker) that begins with zeros.
        frames.push_back(belowSentinel(*value, highest));
        frames.push_back({*value, kMarkedBelowBits});
        return frames;
    }
    for (int length = highest + 1; length <= kMaxFrameBits; ++length)
        frames.push_back({*value, length});
    return frames;
}

}  // namespace

std::optional<FrameForm> frameForm(std::string_view name) {
    if (name == "bin") return FrameForm::Bin;
    if (name == "hex") return FrameForm::Hex;
    if (name == "hid") return FrameForm::Hid;
    if (name == "octal") return FrameForm::Octal;
    return std::nullopt;
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
            return digitsOf(frame.value, 4, 1);
        case FrameForm::Hid: {
            // A 64-bit frame's sentinel would be bit 64: such frames have none.
            std::uint64_t hid = frame.value;
            if (frame.bits < kMaxFrameBits) hid |= std::uint64_t{1} << frame.bits;
            if (frame.bits < kHidPreambleBit) hid |= std::uint64_t{1} << kHidPreambleBit;
            return digitsOf(hid, 4, 1);
        }
        case FrameForm::Octal: {
            std::uint64_t card = frame.value;
            if (frame.bits < kMarkedBelowBits) card |= std::uint64_t{1} << frame.bits;
            return digitsOf(card, 3, kMinOctalDigits);
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
    switch (form) {
        case FrameForm::Bin:
            return binFrames(text, bits, error);
        case FrameForm::Hex:
            return hexFrames(text, bits, error);
        case FrameForm::Hid:
            return hidFrames(text, error);
        case FrameForm::Octal:
            return octalFrames(text, error);
    }
    return {};
}

}  // namespace proxcred::wiegand

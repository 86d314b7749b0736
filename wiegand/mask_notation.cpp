#include "wiegand/mask_notation.h"

#include <algorithm>
#include <cctype>

#include "text/shown_text.h"

namespace proxcred::wiegand {
namespace {

constexpr std::string_view kFieldLetters = "FCNIM";

FieldKind kindOf(char letter) {
    switch (letter) {
        case 'F':
            return FieldKind::FacilityCode;
        case 'I':
            return FieldKind::IssueLevel;
        case 'M':
            return FieldKind::OemCode;
        default:
            return FieldKind::CardNumber;  // C or N
    }
}

char letterOf(FieldKind kind) {
    switch (kind) {
        case FieldKind::FacilityCode:
            return 'F';
        case FieldKind::IssueLevel:
            return 'I';
        case FieldKind::OemCode:
            return 'M';
        case FieldKind::CardNumber:
            break;
    }
    return 'C';
}

bool isParityLetter(char letter) {
    return letter == 'P' || letter == 'E' || letter == 'O';
}

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// One parity line read against the mask; false with `error`.
bool readParityLine(const std::string& mask, std::string_view given, std::size_t number,
                    MaskLayout::ParityLine& line, std::string& error) {
    const std::string what = "parity line " + std::to_string(number);
    const std::string text = upper(given);
    if (text.size() != mask.size()) {
        error = what + " has " + std::to_string(text.size()) + " characters, the mask " +
                std::to_string(mask.size());
        return false;
    }
    int marks = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == 'X') {
            line.covers.push_back(static_cast<int>(at));
        } else if (c == 'E' || c == 'O') {
            ++marks;
            line.bit = static_cast<int>(at);
            line.odd = c == 'O';
        } else if (c != '.') {
            error = what + " holds \"" + shownText(std::string_view(&given[at], 1)) +
                    "\": only X, . and one E or O";
            return false;
        }
    }
    if (marks != 1) {
        error = what + " must mark its own bit with one E or O";
        return false;
    }
    const char maskLetter = mask[static_cast<std::size_t>(line.bit)];
    if (!isParityLetter(maskLetter)) {
        error = what + " marks position " + std::to_string(line.bit) +
                ", which the mask does not make a parity bit";
        return false;
    }
    if (maskLetter != 'P' && (maskLetter == 'O') != line.odd) {
        error = what + " makes position " + std::to_string(line.bit) +
                (line.odd ? " odd" : " even") + " where the mask says " + maskLetter;
        return false;
    }
    return true;
}

}  // namespace

std::optional<MaskLayout> readMask(std::string_view given,
                                   const std::vector<std::string>& parityLines,
                                   std::string& error) {
    const std::string mask = upper(given);
    MaskLayout layout;
    layout.bits = static_cast<int>(mask.size());
    for (std::size_t at = 0; at < mask.size(); ++at) {
        const char letter = mask[at];
        const int position = static_cast<int>(at);
        if (kFieldLetters.find(letter) != std::string_view::npos) {
            const FieldKind kind = kindOf(letter);
            auto field = std::find_if(layout.fields.begin(), layout.fields.end(),
                                      [&](const auto& entry) { return entry.first == kind; });
            if (field == layout.fields.end()) field = layout.fields.insert(field, {kind, {}});
            field->second.push_back(position);
        } else if (letter == '0' || letter == '1') {
            layout.fixed.emplace_back(position, letter == '1');
        } else if (!isParityLetter(letter) && letter != '.') {
            error = "the mask holds \"" + shownText(given.substr(at, 1)) + "\" at position " +
                    std::to_string(at) + ": the letters are P, E, O, F, C, N, I, M, 0, 1 and .";
            return std::nullopt;
        }
    }
    for (std::size_t number = 0; number < parityLines.size(); ++number) {
        MaskLayout::ParityLine line;
        if (!readParityLine(mask, parityLines[number], number + 1, line, error))
            return std::nullopt;
        layout.parity.push_back(std::move(line));
    }
    for (std::size_t at = 0; at < mask.size(); ++at) {
        if (!isParityLetter(mask[at])) continue;
        const auto computed =
            std::count_if(layout.parity.begin(), layout.parity.end(),
                          [&](const auto& line) { return line.bit == static_cast<int>(at); });
        if (computed != 1) {
            error = "the parity bit at position " + std::to_string(at) + " has " +
                    (computed == 0 ? "no parity line" : "more than one parity line");
            return std::nullopt;
        }
    }
    return layout;
}

std::vector<std::string> notationOf(const Format& format) {
    const auto size = static_cast<std::size_t>(format.bits);
    // Positions count from the first bit sent; the engine's bits from the last.
    const auto position = [&](int bit) { return size - 1 - static_cast<std::size_t>(bit); };
    std::string mask(size, '.');
    for (const Field& field : format.fields) {
        for (const int bit : field.at) mask[position(bit)] = letterOf(field.kind);
    }
    for (int bit = 0; bit < format.bits; ++bit) {
        if ((format.fixedMask >> bit & 1U) != 0)
            mask[position(bit)] = (format.fixedValue >> bit & 1U) != 0 ? '1' : '0';
    }
    std::vector<std::string> lines{mask};
    for (const bits::ParityBit& parity : format.parity) {
        mask[position(parity.bit)] = 'P';
        std::string line(size, '.');
        for (int bit = 0; bit < format.bits; ++bit) {
            if ((parity.covers >> bit & 1U) != 0) line[position(bit)] = 'X';
        }
        line[position(parity.bit)] = parity.parity == bits::Parity::Odd ? 'O' : 'E';
        lines.push_back(line);
    }
    lines.front() = mask;
    return lines;
}

}  // namespace proxcred::wiegand

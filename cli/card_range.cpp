#include "cli/card_range.h"

#include "wiegand/decimal.h"

namespace proxcred::cli {
namespace {

std::uint64_t largestCard(const wiegand::Format& format) {
    return format.field(wiegand::FieldKind::CardNumber)->max;
}

}  // namespace

std::optional<CardRange> readCardRange(std::string_view text, std::string& error) {
    const std::string_view trimmed = wiegand::trimmedBlanks(text);
    const std::size_t dash = trimmed.find('-');
    if (dash == std::string_view::npos || dash == 0) return std::nullopt;
    std::string problem;
    const auto first = wiegand::readDecimal(trimmed.substr(0, dash), problem);
    const auto last =
        first ? wiegand::readDecimal(trimmed.substr(dash + 1), problem) : std::nullopt;
    if (!first || !last) {
        error = wiegand::numberRefusal("Card number range", text, "is not two decimal numbers");
        return CardRange{};
    }
    if (*last < *first) {
        error = wiegand::numberRefusal("Card number range", text, "runs backwards");
        return CardRange{};
    }
    return CardRange{*first, *last};
}

std::optional<std::uint64_t> offsetCard(std::uint64_t printed, std::int64_t offset,
                                        const wiegand::Format& format, std::string& error) {
    const std::uint64_t largest = largestCard(format);
    // The offset's size, taken apart from its sign so that no sum overflows.
    const std::uint64_t size = offset < 0 ? static_cast<std::uint64_t>(-(offset + 1)) + 1
                                          : static_cast<std::uint64_t>(offset);
    const bool below = offset < 0 && printed < size;
    const bool past = !below && (offset < 0 ? printed - size > largest
                                            : printed > largest || size > largest - printed);
    if (!below && !past) return offset < 0 ? printed - size : printed + size;
    const std::string with = offset == 0 ? "" : " with --offset " + std::to_string(offset);
    error = "Card number " + std::to_string(printed) + with +
            (below ? " is below 0"
                   : " is past " + std::to_string(largest) + ", the largest " + format.name +
                         " card number");
    return std::nullopt;
}

std::optional<std::uint64_t> printedCard(std::uint64_t encoded, std::int64_t offset) {
    if (offset >= 0) {
        const auto size = static_cast<std::uint64_t>(offset);
        return encoded < size ? std::nullopt : std::optional(encoded - size);
    }
    const std::uint64_t size = static_cast<std::uint64_t>(-(offset + 1)) + 1;
    return size > UINT64_MAX - encoded ? std::nullopt : std::optional(encoded + size);
}

bool checkRange(const CardRange& range, std::int64_t offset, std::uint64_t most,
                const wiegand::Format& format, std::string& error) {
    if (range.count() > most || range.count() == 0) {
        error = "Card numbers " + std::to_string(range.first) + "-" + std::to_string(range.last) +
                " are more than " + std::to_string(most) + " cards (--max-cards)";
        return false;
    }
    const std::uint64_t largest = largestCard(format);
    std::string problem;
    if (!offsetCard(range.first, offset, format, problem)) {
        error = problem;
        return false;
    }
    if (!offsetCard(range.last, offset, format, problem)) {
        error = "Card numbers " + std::to_string(range.first) + "-" + std::to_string(range.last) +
                (offset != 0 ? " with --offset " + std::to_string(offset) : "") + " run past " +
                std::to_string(largest) + ", the largest " + format.name + " card number";
        return false;
    }
    return true;
}

}  // namespace proxcred::cli

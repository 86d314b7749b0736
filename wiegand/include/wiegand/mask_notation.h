#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "wiegand/format.h"

// Formats in the notation of access-control documentation: a mask of one
// letter a bit, first bit first (P, E or O parity; F facility; C or N card;
// I issue; M OEM; 0 and 1 fixed; . unused), and one line per parity bit, in
// the order they are computed, marking the bits it covers with X and itself
// with E (even) or O (odd). H10304:
//   PFFFFFFFFFFFFFFFFCCCCCCCCCCCCCCCCCCCP
//   EXXXXXXXXXXXXXXXXXX..................
//   ..................XXXXXXXXXXXXXXXXXXO
namespace proxcred::wiegand {

// What a mask says, by position (0 the first bit), for the loader to check
// as it checks any format.
struct MaskLayout {
    struct ParityLine {
        int bit = 0;
        bool odd = false;
        std::vector<int> covers;
    };
    int bits = 0;
    std::vector<std::pair<FieldKind, std::vector<int>>> fields;  // most significant first
    std::vector<std::pair<int, bool>> fixed;                     // position, value
    std::vector<ParityLine> parity;
};

// nullopt with `error` for a mask or parity line that is not of the
// notation: an unknown letter, a line of another length, a parity line
// without exactly one E or O, or one whose E or O is not at a parity bit of
// the mask (or disagrees with the mask's E or O there), a parity bit of the
// mask that no line computes.
std::optional<MaskLayout> readMask(std::string_view mask,
                                   const std::vector<std::string>& parityLines, std::string& error);

// A format's layout in the notation: the mask and a line per parity bit.
std::vector<std::string> notationOf(const Format& format);

}  // namespace proxcred::wiegand

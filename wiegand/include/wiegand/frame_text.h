#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "wiegand/format.h"

// The forms a frame is written in, and reading them back.
namespace proxcred::wiegand {

enum class FrameForm : std::uint8_t {
    Bin,    // the frame's bits, first transmitted first, exactly its length
    Hex,    // the frame as a hexadecimal number of its own width, ceil(bits / 4) digits
    Hid,    // hexadecimal with HID's sentinel and preamble (see frameText)
    Octal,  // this tool's card data: a marker bit above the frames the
            // translator marks (the shorter ones), as octal digits, at least
            // 16 and at least the frame's own width
};

// "bin", "hex", "hid", "octal"; nullopt for anything else.
std::optional<FrameForm> frameForm(std::string_view name);

// Why a form cannot carry a frame of this length (hid has no room for the
// sentinel of a 64-bit frame); empty when it can.
std::string_view formRefusal(int bits, FrameForm form);

// The frame in a form that can carry it. Hid sets a sentinel 1 just above the
// frame and, for frames shorter than 37 bits, HID's preamble bit 37 as well (a
// 26-bit frame reads 20 04 xx xx xx); a 37-bit frame's sentinel is bit 37
// itself.
void appendFrameText(std::string& out, const Frame& frame, FrameForm form);

// The frames a text stands for; kept by the caller, so that reading line
// after line allocates nothing.
using Frames = std::vector<Frame>;

// Every frame a text may stand for: one for bin; for hex every length its
// digits allow; for hid the sentinel's length (and, with bit 37 set, a
// shorter frame whose sentinel stands below that preamble); for octal the
// frame under the marker where the text has a marker's length, and every
// unmarked length its digits can hold. `bits` keeps only frames of that
// length (hex: the value read at that length). Empty with `error` set when
// the text is not of the form or has no frame of that length; never a frame
// of no bits.
void framesOf(std::string_view text, FrameForm form, std::optional<int> bits, Frames& frames,
              std::string& error);

}  // namespace proxcred::wiegand

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
    Hid,    // hexadecimal as HID readers and cloners write a card (see appendFrameText)
    Octal,  // this tool's card data: a marker bit above the frames the
            // translator marks (the shorter ones), as octal digits, at least
            // 16 and at least the frame's own width
    Pacs,   // iCLASS and SEOS credentials' encoding: a byte counting the
            // padding bits, then the frame, first bit first, padded with
            // zeros to whole bytes
};

// "bin", "hex", "hid", "octal", "pacs"; nullopt for anything else.
std::optional<FrameForm> frameForm(std::string_view name);

// Why a form cannot carry a frame of this length (hid has no room for the
// sentinel of a 64-bit frame); empty when it can.
std::string_view formRefusal(int bits, FrameForm form);

// The frame in a form that can carry it. Hid is the form HID readers, the
// Proxmark3 client and Flipper Zero write: a frame shorter than 37 bits gets
// HID's header bit 37 and a sentinel 1 just above it (a 26-bit frame reads
// 20 04 xx xx xx), a 37-bit frame is written bare, and a longer one gets
// the sentinel alone.
void appendFrameText(std::string& out, const Frame& frame, FrameForm form);

// The hid form's value of a frame of at most 63 bits, and the one frame a
// value of the hid form stands for (nullopt with `error` for a header bit
// with no frame below it). Both follow appendFrameText's convention.
std::uint64_t hidValue(const Frame& frame);
std::optional<Frame> frameOfHidValue(std::uint64_t value, std::string& error);

// The frames a text stands for; kept by the caller, so that reading line
// after line allocates nothing.
using Frames = std::vector<Frame>;

// Every frame a text may stand for: one for bin, hid and pacs; for hex every
// length its digits allow; for octal the frame under the marker where the
// text has a marker's length, and every unmarked length its digits can hold.
// Hex and hid take a 0x prefix and the zero-padded 24 digits the Proxmark3
// client prints; hid reads a value with a bit above 37 as a frame of 38 or
// more bits below its highest 1 (the extended-length marker 09E00000 above
// bit 64 dropped), otherwise with bit 37 set a shorter frame below its
// sentinel, otherwise a 37-bit frame. `bits` keeps only frames of that
// length (hex: the value read at that length). Empty with `error` set when
// the text is not of the form or has no frame of that length; never a frame
// of no bits.
void framesOf(std::string_view text, FrameForm form, std::optional<int> bits, Frames& frames,
              std::string& error);

}  // namespace proxcred::wiegand

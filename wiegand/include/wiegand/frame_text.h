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
    Hex,    // the frame as a hexadecimal number
    Hid,    // hexadecimal with HID's sentinel and preamble (see frameText)
    Octal,  // this tool's card data: a marker bit above frames shorter than
            // 37 bits, as octal digits, at least 16
};

// "bin", "hex", "hid", "octal"; nullopt for anything else.
std::optional<FrameForm> frameForm(std::string_view name);

// The frame in a form. Hid sets a sentinel 1 just above the frame and, for
// frames shorter than 37 bits, HID's preamble bit 37 as well (a 26-bit
// frame reads 20 04 xx xx xx); a 37-bit frame's sentinel is bit 37 itself.
std::string frameText(const Frame& frame, FrameForm form);

// Every frame a text may stand for: one for bin, hid with a sentinel above
// 37 bits, or hex with `bits`; several where the length is open (hex without
// `bits`: every length its digits allow; hid below 37 bits: the sentinel's
// length or 37; octal: below 37 bits the marker's length or 37, above them
// every length from the highest bit set). Empty with `error` set when the text is not of the form.
std::vector<Frame> framesOf(std::string_view text, FrameForm form, std::optional<int> bits,
                            std::string& error);

}  // namespace proxcred::wiegand

// Arbitrary bytes as a Wiegand format file and as frame text in every form:
// no crash, a refused file leaves the library as it was, no frame read has no
// bits, every frame read decodes against every format, and every format
// loaded encodes its own zero card, whose parity holds on the wire and which
// reads back from every form that can carry it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wiegand/frame_text.h"
#include "wiegand/library.h"

namespace {

using namespace proxcred::wiegand;

std::string textOf(const Frame& frame, FrameForm form) {
    std::string text;
    appendFrameText(text, frame, form);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const Library builtIn = Library::builtIn();
    Library library = builtIn;
    std::string error;
    Frames frames;
    const bool loaded = library.addFormats(text, error);
    if (!loaded && library.formats().size() != builtIn.formats().size()) __builtin_trap();
    for (const FrameForm form :
         {FrameForm::Bin, FrameForm::Hex, FrameForm::Hid, FrameForm::Octal}) {
        framesOf(text, form, std::nullopt, frames, error);
        for (const Frame& frame : frames) {
            if (frame.bits < 1) __builtin_trap();
            for (const Format& format : library.formats()) (void)decode(format, frame);
        }
    }
    if (loaded) {
        for (const Format& format : library.formats()) {
            CardNumbers zero;
            for (const Field& field : format.fields) zero[field.kind] = 0;
            const Encoded encoded = encode(format, zero);
            if (!encoded.frame) __builtin_trap();
            const std::optional<Decoded> decoded = decode(format, *encoded.frame);
            if (!decoded || decoded->parity == ParityVerdict::Fail) __builtin_trap();
            for (const FrameForm form :
                 {FrameForm::Bin, FrameForm::Hex, FrameForm::Hid, FrameForm::Octal}) {
                if (!formRefusal(format.bits, form).empty()) continue;
                framesOf(textOf(*encoded.frame, form), form, format.bits, frames, error);
                if (frames.size() != 1 || !(frames.front() == *encoded.frame)) __builtin_trap();
            }
        }
    }
    return 0;
}

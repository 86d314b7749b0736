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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace proxcred::wiegand;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const Library builtIn = Library::builtIn();
    Library library = builtIn;
    std::string error;
    const bool loaded = library.addFormats(text, error);
    if (!loaded && library.formats().size() != builtIn.formats().size()) __builtin_trap();
    for (const FrameForm form :
         {FrameForm::Bin, FrameForm::Hex, FrameForm::Hid, FrameForm::Octal}) {
        for (const Frame& frame : framesOf(text, form, std::nullopt, error)) {
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
                const std::vector<Frame> read =
                    framesOf(frameText(*encoded.frame, form), form, format.bits, error);
                if (read.size() != 1 || !(read.front() == *encoded.frame)) __builtin_trap();
            }
        }
    }
    return 0;
}

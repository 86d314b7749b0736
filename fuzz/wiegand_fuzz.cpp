// Arbitrary bytes as a Wiegand format file and as frame text in every form:
// no crash, a refused file leaves the library as it was, every frame read
// decodes against every format, and every format loaded encodes and decodes
// its own zero card.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
            for (const Format& format : library.formats()) (void)decode(format, frame);
        }
    }
    if (loaded) {
        for (const Format& format : library.formats()) {
            CardNumbers zero;
            for (const Field& field : format.fields) zero[field.kind] = 0;
            const Encoded encoded = encode(format, zero);
            if (!encoded.frame || !decode(format, *encoded.frame)) __builtin_trap();
        }
    }
    return 0;
}

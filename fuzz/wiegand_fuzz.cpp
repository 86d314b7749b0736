// Arbitrary bytes as a Wiegand format file, as a card's text in every form
// and as an EM4100 ID in every form: no crash, a refused file leaves the
// library as it was, no frame read has no bits, every reading of a text
// re-encodes to a card of the same numbers, an EM4100 text read writes back
// as itself or its padded form, and every format loaded encodes its own zero
// card, whose parity holds on the wire and which reads back from every form
// that can carry it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "em4100/em4100.h"
#include "wiegand/card_text.h"
#include "wiegand/library.h"

namespace {

using namespace proxcred::wiegand;

void readEveryForm(std::string_view text, const Library& library, CardReading& reading) {
    for (const CardForm form : kCardForms) {
        if (!isReadable(form)) continue;
        readCard(text, form, library, {}, reading);
        for (const Frame& frame : reading.frames) {
            if (frame.bits < 1) __builtin_trap();
        }
        for (const Match& match : reading.matches) {
            const Encoded again = encode(*match.format, match.decoded.numbers);
            if (!again.frame) __builtin_trap();
            const std::optional<Decoded> decoded = decode(*match.format, *again.frame);
            if (!decoded || decoded->numbers.values != match.decoded.numbers.values)
                __builtin_trap();
        }
    }
}

void readEveryEmForm(std::string_view text) {
    namespace em = proxcred::em4100;
    std::string error;
    for (const em::Form form : em::kForms) {
        const std::optional<em::Id> id = em::readId(text, form, error);
        if (!id) continue;
        const std::optional<std::string> written = em::textOf(*id, form);
        if (!written) __builtin_trap();
        const std::optional<em::Id> again = em::readId(*written, form, error);
        if (!again || !(*again == *id)) __builtin_trap();
    }
}

void zeroCardsReadBack(const Library& library, CardReading& reading) {
    for (const Format& format : library.formats()) {
        CardNumbers zero;
        for (const Field& field : format.fields) zero[field.kind] = 0;
        const Encoded encoded = encode(format, zero);
        if (!encoded.frame) __builtin_trap();
        const std::optional<Decoded> decoded = decode(format, *encoded.frame);
        if (!decoded || decoded->parity == ParityVerdict::Fail) __builtin_trap();
        for (const CardForm form : kCardForms) {
            std::string text;
            std::string refusal;
            if (!isReadable(form) || !appendCardText(text, format, zero, form, refusal)) continue;
            readCard(text, form, library, {&format, format.bits}, reading);
            if (reading.matches.size() != 1 ||
                reading.matches.front().decoded.numbers.values != decoded->numbers.values)
                __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const Library builtIn = Library::builtIn();
    Library library = builtIn;
    std::string error;
    CardReading reading;
    const bool loaded = library.addFormats(text, error);
    if (!loaded && library.formats().size() != builtIn.formats().size()) __builtin_trap();
    readEveryForm(text, library, reading);
    readEveryEmForm(text);
    if (loaded) zeroCardsReadBack(library, reading);
    return 0;
}

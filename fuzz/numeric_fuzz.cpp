// Arbitrary text through the numeric text rules and the prox data
// calculation of every format key: no crash, and the answers agree. Numbers
// read and written by the portable conversions (WebAssembly's) match the
// standard library's.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/float_text.h"
#include "formats/numeric_text.h"
#include "formats/prox_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto number = proxcred::parseNumber(text);
    const bool numeric = proxcred::isNumeric(text);
    if (numeric != (number.ok() || number.failure() == proxcred::ConversionFailure::Overflow)) {
        __builtin_trap();
    }
    if (numeric) {
        std::string_view digits = proxcred::trimBlanks(text);
        if (digits.front() == '+' || digits.front() == '-') digits.remove_prefix(1);
        const auto library = proxcred::float_text::read(digits);
        const auto portable = proxcred::float_text::readPortably(digits);
        if (library.outOfRange != portable.outOfRange) __builtin_trap();
        if (!library.outOfRange && (library.value != portable.value ||
                                    proxcred::float_text::shortest(library.value) !=
                                        proxcred::float_text::shortestPortably(library.value)))
            __builtin_trap();
    }
    (void)proxcred::textToInt32(text);
    (void)proxcred::textToInt16(text);

    for (const auto& info : proxcred::kCardFormats) {
        for (const std::int32_t facility : {0, 1, -1, 2147483647}) {
            const auto outcome = proxcred::calcProxData({text, info.key, facility, text, text});
            const std::size_t length = outcome.text().size();
            if (length != 0 && length != 16) __builtin_trap();
            (void)outcome.message();
        }
    }
    return 0;
}

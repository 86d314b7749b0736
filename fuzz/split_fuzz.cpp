// Arbitrary card data through the splitter and the CLI's JSON rendering: no
// crash, and every rendering is valid JSON with nine results or an error.
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string_view>

#include "cli/line_buffer.h"
#include "cli/split_command.h"
#include "split/card_bits.h"
#include "split/recognisers.h"
#include "split/split_card.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const auto result = proxcred::splitCardData(input);
    if (result && proxcred::cardDataToBits(input).bits.size() != input.size() * 3) __builtin_trap();

    // The recognisers and extractors also take strings that are no bit string.
    for (const auto& info : proxcred::kCardFormats) {
        if (proxcred::recognises(info.format, input)) {
            (void)proxcred::extractFields(info.format, proxcred::BitTail::ofBits(input));
        }
    }

    std::string error;
    proxcred::cli::LineBuffer line;
    proxcred::cli::appendSplitJson(line, input, error);
    const auto json = nlohmann::json::parse(line.view());
    const bool wellFormed = result ? json["results"].size() == 9 : json.contains("error");
    if (!wellFormed) __builtin_trap();
    return 0;
}

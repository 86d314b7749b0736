// Arbitrary bytes from a lock, in arbitrary pieces, through the line assembler
// and the reply parser: no crash, lines within the limit, card data octal.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lock_protocol/lock_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using proxcred::lock::LineAssembler;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first byte chooses the size of the pieces the bytes arrive in.
    const std::size_t piece =
        bytes.empty() ? 1 : static_cast<unsigned char>(bytes.front()) % 16 + 1;
    LineAssembler lines;
    while (!bytes.empty()) {
        std::size_t used = 0;
        const LineAssembler::Result result = lines.feed(bytes.substr(0, piece), used);
        bytes.remove_prefix(used);
        if (result == LineAssembler::Result::Line) {
            if (lines.line().size() + 2 > proxcred::lock::kMaxLineLength) __builtin_trap();
            const auto reply = proxcred::lock::parseReply(lines.line());
            if (reply.kind == proxcred::lock::Reply::Kind::Card &&
                reply.text.find_first_not_of("01234567") != std::string::npos) {
                __builtin_trap();
            }
        } else if (result != LineAssembler::Result::NeedMore) {
            lines.reset();
        }
    }
    return 0;
}

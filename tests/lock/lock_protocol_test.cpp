#include "host/lock/lock_protocol.h"

#include <gtest/gtest.h>

namespace proxcred::lock {
namespace {

TEST(LockProtocol, RepliesTheReaderUnderstands) {
    const struct {
        const char* line;
        Reply::Kind kind;
        const char* text;
        std::int32_t code;
    } cases[] = {
        {"CARD 0000000600400002", Reply::Kind::Card, "0000000600400002", 0},
        {"CARD 7", Reply::Kind::Card, "7", 0},
        {"TEST lock ready", Reply::Kind::Test, "lock ready", 0},
        {"ERR 2 reader unreachable", Reply::Kind::Error, "reader unreachable", 2},
        {"ERR 17", Reply::Kind::Error, "Lock error 17", 17},
        {"CARD ", Reply::Kind::Invalid, nullptr, 0},
        {"CARD 12 8", Reply::Kind::Invalid, nullptr, 0},
        {"CARD 0x12", Reply::Kind::Invalid, nullptr, 0},
        {"ERR x oops", Reply::Kind::Invalid, nullptr, 0},
        {"ERR 0 zero", Reply::Kind::Invalid, nullptr, 0},
        {"ERR 99999999999 big", Reply::Kind::Invalid, nullptr, 0},
        {"card 1", Reply::Kind::Invalid, nullptr, 0},
        {"", Reply::Kind::Invalid, nullptr, 0},
    };
    for (const auto& c : cases) {
        const Reply reply = parseReply(c.line);
        EXPECT_EQ(reply.kind, c.kind) << c.line;
        if (c.text != nullptr) {
            EXPECT_EQ(reply.text, c.text) << c.line;
        }
        EXPECT_EQ(reply.code, c.code) << c.line;
    }
    EXPECT_EQ(parseReply("CARD " + std::string(64, '1')).kind, Reply::Kind::Card);
    EXPECT_EQ(parseReply("CARD " + std::string(65, '1')).kind, Reply::Kind::Invalid);
}

// Feeds the bytes in pieces of `piece` bytes and answers the first verdict.
LineAssembler::Result assemble(LineAssembler& lines, std::string_view bytes, std::size_t piece) {
    while (!bytes.empty()) {
        std::size_t used = 0;
        const auto result = lines.feed(bytes.substr(0, piece), used);
        bytes.remove_prefix(used);
        if (result != LineAssembler::Result::NeedMore) return result;
    }
    return LineAssembler::Result::NeedMore;
}

TEST(LockProtocol, LinesArriveInAnyPieces) {
    for (const std::size_t piece : {1U, 3U, 100U}) {
        LineAssembler lines;
        EXPECT_EQ(assemble(lines, "CARD 0000000600400002\r\n", piece), LineAssembler::Result::Line);
        EXPECT_EQ(lines.line(), "CARD 0000000600400002");
        EXPECT_FALSE(lines.pending());
        EXPECT_EQ(assemble(lines, "TEST ok\n", piece), LineAssembler::Result::Line);
        EXPECT_EQ(lines.line(), "TEST ok");
        EXPECT_EQ(assemble(lines, "CARD 00000006", piece), LineAssembler::Result::NeedMore);
        EXPECT_TRUE(lines.pending());
    }
}

TEST(LockProtocol, FaultsOfTheLine) {
    LineAssembler lines;
    EXPECT_EQ(assemble(lines, std::string(126, 'A') + "\r\n", 7), LineAssembler::Result::Line);
    lines.reset();
    EXPECT_EQ(assemble(lines, std::string(127, 'A') + "\r\n", 7), LineAssembler::Result::TooLong);
    lines.reset();
    EXPECT_EQ(assemble(lines, std::string(100000, 'A'), 4096), LineAssembler::Result::TooLong);
    lines.reset();
    EXPECT_EQ(assemble(lines, "CARD \x01\r\n", 4), LineAssembler::Result::BadByte);
    lines.reset();
    EXPECT_EQ(assemble(lines, "CARD 1\rX\n", 4), LineAssembler::Result::BadByte);
    lines.reset();
    EXPECT_EQ(assemble(lines, std::string_view("CA\0RD\n", 6), 4), LineAssembler::Result::BadByte);
}

}  // namespace
}  // namespace proxcred::lock

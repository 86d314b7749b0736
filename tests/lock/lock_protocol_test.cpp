#include "lock_protocol/lock_protocol.h"

#include <gtest/gtest.h>

namespace proxcred::lock {
namespace {

TEST(LockProtocol, RepliesTheReaderUnderstands) {
    const struct {
        const char* line;
        Reply::Kind kind;
        std::uint32_t request;
        const char* text;
        std::int32_t code;
    } cases[] = {
        {"CARD 5 0000000600400002", Reply::Kind::Card, 5, "0000000600400002", 0},
        {"CARD 2147483647 7", Reply::Kind::Card, 2147483647, "7", 0},
        {"TEST 9 lock ready", Reply::Kind::Test, 9, "lock ready", 0},
        {"ERR 3 2 reader unreachable", Reply::Kind::Error, 3, "reader unreachable", 2},
        {"ERR 3 17", Reply::Kind::Error, 3, "Lock error 17", 17},
        // The form before request numbers, and numbers out of their range.
        {"CARD 0000000600400002", Reply::Kind::Invalid, 0, nullptr, 0},
        {"CARD 0 7", Reply::Kind::Invalid, 0, nullptr, 0},
        {"CARD 2147483648 7", Reply::Kind::Invalid, 0, nullptr, 0},
        {"CARD -1 7", Reply::Kind::Invalid, 0, nullptr, 0},
        {"CARD 1 ", Reply::Kind::Invalid, 0, nullptr, 0},
        {"CARD 1 12 8", Reply::Kind::Invalid, 0, nullptr, 0},
        {"CARD 1 0x12", Reply::Kind::Invalid, 0, nullptr, 0},
        {"ERR 1 x oops", Reply::Kind::Invalid, 0, nullptr, 0},
        {"ERR 1 0 zero", Reply::Kind::Invalid, 0, nullptr, 0},
        {"ERR 1 99999999999 big", Reply::Kind::Invalid, 0, nullptr, 0},
        {"card 1 1", Reply::Kind::Invalid, 0, nullptr, 0},
        {"", Reply::Kind::Invalid, 0, nullptr, 0},
    };
    for (const auto& c : cases) {
        const Reply reply = parseReply(c.line);
        EXPECT_EQ(reply.kind, c.kind) << c.line;
        EXPECT_EQ(reply.request, c.request) << c.line;
        if (c.text != nullptr) {
            EXPECT_EQ(reply.text, c.text) << c.line;
        }
        EXPECT_EQ(reply.code, c.code) << c.line;
    }
    EXPECT_EQ(parseReply("CARD 1 " + std::string(64, '1')).kind, Reply::Kind::Card);
    EXPECT_EQ(parseReply("CARD 1 " + std::string(65, '1')).kind, Reply::Kind::Invalid);
}

TEST(LockProtocol, RequestsCarryTheirNumber) {
    EXPECT_EQ(requestLine(kRead, 17), "READ 17\r\n");
    const std::optional<Request> stop = parseRequest("STOP 2147483647");
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->verb, kStop);
    EXPECT_EQ(stop->number, kMaxRequestNumber);
    for (const char* bad : {"READ", "READ 0", "READ x", "READ 1 2", "PING 1", "read 1"}) {
        EXPECT_FALSE(parseRequest(bad)) << bad;
    }
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

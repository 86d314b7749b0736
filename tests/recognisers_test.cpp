#include "split/recognisers.h"

#include <gtest/gtest.h>

#include "formats/encoders.h"
#include "split/card_bits.h"
#include "test_support.h"

namespace proxcred {
namespace {

std::string bitsOf(std::string_view cardData) {
    return cardDataToBits(cardData).bits;
}

struct Corruptible {
    CardFormat format;
    EncodeInput input;
    std::size_t checkedFromEnd;  // marker and frame (or parity window), counted from the end
    std::vector<std::size_t> uncheckedFromEnd;  // positions no test covers, 0 = last bit
};

// Any single changed bit of a recognised frame makes its recogniser say no,
// but for the one bit of the 36-bit Xceed ID window that no run covers.
TEST(Recognisers, SingleBitCorruptionOfAFrameIsCaught) {
    const Corruptible cards[] = {
        {CardFormat::Bit26, {12345, 123, 0}, 27, {}},
        {CardFormat::Bit34, {12345, 123, 0}, 35, {}},
        {CardFormat::Bit35, {12345, 123, 0}, 36, {}},
        {CardFormat::Bit35X, {12345, 100, 0}, 36, {}},
        {CardFormat::Bit36X, {12345, 100, 0}, 36, {18}},
        {CardFormat::Bit37X, {12345, 100, 0}, 37, {}},
        {CardFormat::Bit37, {12345, 100, 0}, 37, {}},
    };
    for (const Corruptible& card : cards) {
        const std::string bits = bitsOf(proxcred::testing::proxDataOf(
            std::get<CardValue>(encodeCard(card.format, card.input))));
        ASSERT_TRUE(recognises(card.format, bits)) << formatInfo(card.format).key;
        for (std::size_t fromEnd = 0; fromEnd < card.checkedFromEnd; ++fromEnd) {
            std::string corrupted = bits;
            char& bit = corrupted[bits.size() - 1 - fromEnd];
            bit = bit == '0' ? '1' : '0';
            const bool unchecked = std::count(card.uncheckedFromEnd.begin(),
                                              card.uncheckedFromEnd.end(), fromEnd) != 0;
            EXPECT_EQ(recognises(card.format, corrupted), unchecked)
                << formatInfo(card.format).key << " bit " << fromEnd << " from the end";
        }
    }
}

TEST(Recognisers, ProxifAndCasiOnlyCheckTheirZeroBits) {
    const std::string bits = bitsOf("0000000000000000");
    for (std::size_t at = 0; at < bits.size(); ++at) {
        std::string changed = bits;
        changed[at] = '1';
        const std::size_t position = at + 1;
        EXPECT_EQ(recognises(CardFormat::Proxif, changed), position > 9 && position != 28)
            << position;
        EXPECT_EQ(recognises(CardFormat::Casi, changed),
                  position > 4 && (position < 13 || position > 16))
            << position;
    }
}

}  // namespace
}  // namespace proxcred

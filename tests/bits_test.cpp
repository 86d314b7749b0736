// The bit kernel on its own, with values worked out by hand: masks, runs and
// lists of bits, parity computed in order and checked, digits in base 2, 8
// and 16. Both format engines stand on it, so a fault here would show in
// both alike and could pass their round trips.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "bits/bit_field.h"
#include "bits/digits.h"
#include "bits/parity.h"

namespace proxcred::bits {
namespace {

TEST(BitKernel, Masks) {
    EXPECT_EQ(bit(0), 1U);
    EXPECT_EQ(bit(63), 0x8000000000000000U);
    EXPECT_EQ(lowBits(0), 0U);
    EXPECT_EQ(lowBits(12), 0xFFFU);
    EXPECT_EQ(lowBits(64), ~std::uint64_t{0});
    EXPECT_EQ(bitRange(4, 7), 0xF0U);
    EXPECT_EQ(bitsWhere(0, 7, [](int n) { return n % 2 == 1; }), 0xAAU);
}

// 0b1011'0110: the run of 3 bits from bit 2 is 0b101; written back with
// 0b010 it is 0b1010'1010.
TEST(BitKernel, RunsAndListsOfBits) {
    constexpr std::uint64_t value = 0b1011'0110;
    EXPECT_EQ(readRun(value, {2, 3}), 0b101U);
    EXPECT_EQ(writeRun(value, {2, 3}, 0b010), 0b1010'1010U);
    EXPECT_EQ(writeRun(0, {60, 4}, 0xFF), 0xF000000000000000U) << "the number is cut to the run";
    // Bits 7, 0 and 4, most significant first: 1, 0, 1.
    constexpr std::array kList{7, 0, 4};
    EXPECT_EQ(readBits(value, kList), 0b101U);
    EXPECT_EQ(writeBits(0, kList, 0b110), 0b1000'0001U);
    EXPECT_EQ(writeBits(~std::uint64_t{0}, kList, 0), ~std::uint64_t{0b1001'0001});
}

// H10301's two parity bits by hand for facility 1, card 1 (the frame
// 1 00000001 0000000000000001 0, first bit sent first): the even bit over
// the first half's one 1 is 1, the odd bit over the second half's one 1 is 0.
TEST(BitKernel, ParityByHand) {
    constexpr std::uint64_t data = (std::uint64_t{1} << 17) | (1U << 1);
    constexpr std::array kH10301{ParityBit{25, bitRange(13, 24), Parity::Even},
                                 ParityBit{0, bitRange(1, 12), Parity::Odd}};
    EXPECT_EQ(withParity(data, kH10301), data | bit(25));
    EXPECT_TRUE(parityHolds(data | bit(25), kH10301, bit(25) | bit(0)));
    EXPECT_FALSE(parityHolds(data, kH10301, bit(25) | bit(0)));
    EXPECT_FALSE(parityHolds(data | bit(25) | bit(0), kH10301, bit(25) | bit(0)));
    // A parity bit's own bit never counts, even where its group lists it.
    EXPECT_EQ(parityBitValue(bit(3), ParityBit{3, bitRange(0, 7), Parity::Even}), false);
}

// In order: a bit that covers one set before it counts it as set. Bits 0-1
// hold 01; bit 2 is even over 0-1 (1), bit 3 odd over 0-2 (1 and 1: 1).
// Computed the other way round, bit 3 would see bit 2 still 0 and be 0.
TEST(BitKernel, ParityIsComputedInOrder) {
    constexpr std::array kInOrder{ParityBit{2, bitRange(0, 1), Parity::Even},
                                  ParityBit{3, bitRange(0, 2), Parity::Odd}};
    EXPECT_EQ(withParity(0b01, kInOrder), 0b1101U);
    constexpr std::array kReversed{kInOrder[1], kInOrder[0]};
    EXPECT_EQ(withParity(0b01, kReversed), 0b0101U);
    EXPECT_EQ(parityMask(kInOrder), 0b1100U);
}

TEST(BitKernel, DigitsInEveryBase) {
    std::string text;
    appendDigits(text, 0x2EC0C86, 4, 7);
    EXPECT_EQ(text, "2EC0C86");
    text.clear();
    appendDigits(text, 5, 3, 4);
    EXPECT_EQ(text, "0005");
    text.clear();
    appendNumberDigits(text, 0b101, 1, 2);
    EXPECT_EQ(text, "101");
    text.clear();
    appendNumberDigits(text, 0, 4, 1);
    EXPECT_EQ(text, "0");
    EXPECT_EQ(digitCount(26, 3), 9U);
    EXPECT_EQ(digitCount(64, 4), 16U);
    EXPECT_EQ(readDigits("2ec0C86", 4).value, 0x2EC0C86U);
    EXPECT_EQ(readDigits("778", 3).badAt, 2U);
    EXPECT_TRUE(readDigits("10000000000000000", 4).tooWide);
    EXPECT_TRUE(readDigits("FFFFFFFFFFFFFFFF", 4).ok());
    EXPECT_EQ(readDigits("0000000000000000000001", 4).value, 1U) << "leading zeros cost no width";
}

}  // namespace
}  // namespace proxcred::bits

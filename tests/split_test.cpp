#include "split/split_card.h"

#include <gtest/gtest.h>

#include "split/card_bits.h"
#include "split/get_number.h"

namespace proxcred {
namespace {

// One line per format: its number field (or verdict), facility code and third field.
std::vector<std::string> shown(const SplitResult& result) {
    std::vector<std::string> rows;
    for (const FormatReading& reading : result.readings) {
        if (!reading.match) {
            rows.emplace_back(verdictText(reading.format));
            continue;
        }
        std::string row =
            fieldText(reading.fields.hotstamp) + "/" + fieldText(reading.fields.facilityCode);
        if (hasThirdField(reading.format)) row += "/" + fieldText(reading.fields.third);
        rows.push_back(row);
    }
    return rows;
}

TEST(CardBits, ThreeBitsPerOctalDigit) {
    EXPECT_EQ(cardDataToBits("0").bits, "000");
    EXPECT_EQ(cardDataToBits("17").bits, "001111");
    EXPECT_EQ(cardDataToBits("0000000600400002").bits,
              std::string(21, '0') + "110" + "000000" + "100" + std::string(12, '0') + "010");
    EXPECT_EQ(cardDataToBits("").bits, "");
}

TEST(CardBits, FirstNonOctalCharacterEmptiesTheBits) {
    for (const auto& [data, at] : std::vector<std::pair<std::string, std::size_t>>{
             {" 000000600400002", 0}, {"12345678", 7}, {"????????????????", 0}, {"12 3", 2},
             {"0x12", 1}, {"-1", 0}}) {
        const CardBits converted = cardDataToBits(data);
        EXPECT_EQ(converted.bits, "") << data;
        EXPECT_EQ(converted.badCharacterAt, at) << data;
    }
}

TEST(GetNumber, DecimalTextOfBaseTwoDigits) {
    EXPECT_EQ(GetNumber("101"), "5");
    EXPECT_EQ(GetNumber("0101"), "5");
    EXPECT_EQ(GetNumber("000"), "0");
    EXPECT_EQ(GetNumber(""), "");
    EXPECT_EQ(GetNumber(std::string(35, '1')), "34359738367");
    EXPECT_EQ(GetNumber(std::string(64, '1')), "18446744073709551615");
    EXPECT_EQ(GetNumber("1" + std::string(64, '0')), "18446744073709551616");
    EXPECT_EQ(GetNumber("1" + std::string(100, '0')), "1267650600228229401496703205376");
}

struct SplitCase {
    const char* cardData;
    std::vector<std::string> shown;  // in format table order
};

const std::vector<SplitCase> kSplitCases = {
    {"0000000600400002",
     {"1/1", "Not 34 Bit", "Not 35 Bit", "Not 35X", "Not 36 Bit X", "Not 37 Bit X", "Not 37 Bit",
      "131074/48/0", "100794370/0"}},
    {"",
     {"Not 26 Bit", "Not 34 Bit", "Not 35 Bit", "Not 35X", "Not 36 Bit X", "Not 37 Bit X",
      "Not 37 Bit", "Not Proxif", "Not Casi"}},
    {"0000000000000000",
     {"Not 26 Bit", "Not 34 Bit", "Not 35 Bit", "Not 35X", "Not 36 Bit X", "Not 37 Bit X",
      "Not 37 Bit", "0/0/0", "0/0"}},
    {"1000000600400002",
     {"Not 26 Bit", "Not 34 Bit", "Not 35 Bit", "Not 35X", "Not 36 Bit X", "Not 37 Bit X",
      "Not 37 Bit", "Not Proxif", "Not Casi"}},
    // The 35-bit format has no lead-in test: a seven in front still passes.
    {"7000700010000003",
     {"Not 26 Bit", "Not 34 Bit", "1/1", "Not 35X", "Not 36 Bit X", "Not 37 Bit X", "Not 37 Bit",
      "Not Proxif", "Not Casi"}},
    {"0000777777777777",
     {"Not 26 Bit", "Not 34 Bit", "Not 35 Bit", "Not 35X", "Not 36 Bit X", "524287/65535",
      "524287/65535/34359738367", "Not Proxif", "Not Casi"}},
    {"0377037777777777",
     {"Not 26 Bit", "Not 34 Bit", "Not 35 Bit", "Not 35X", "Not 36 Bit X", "Not 37 Bit X",
      "Not 37 Bit", "Not Proxif", "4294967295/255"}},
    {"0007777773777777",
     {"Not 26 Bit", "Not 34 Bit", "Not 35 Bit", "Not 35X", "Not 36 Bit X", "Not 37 Bit X",
      "Not 37 Bit", "1048575/32767/7", "Not Casi"}},
    // Fields are read from the right-hand end, so shorter and longer card data
    // of the same card give the same numbers.
    {"600400002",
     {"1/1", "Not 34 Bit", "Not 35 Bit", "Not 35X", "Not 36 Bit X", "Not 37 Bit X", "Not 37 Bit",
      "Not Proxif", "Not Casi"}},
    {"00000000600400002",
     {"1/1", "Not 34 Bit", "Not 35 Bit", "Not 35X", "Not 36 Bit X", "Not 37 Bit X", "Not 37 Bit",
      "131074/48/0", "100794370/0"}},
};

TEST(Split, EveryFormatShowsItsNumbersOrItsVerdict) {
    for (const SplitCase& c : kSplitCases) {
        const auto result = splitCardData(c.cardData);
        ASSERT_TRUE(result) << c.cardData;
        EXPECT_EQ(result->bits.size(), std::string_view(c.cardData).size() * 3);
        EXPECT_EQ(shown(*result), c.shown) << c.cardData;
    }
}

TEST(Split, CardDataWithAnyOtherCharacterIsRefused) {
    std::size_t at = 99;
    EXPECT_FALSE(splitCardData("00000006004000028", &at));
    EXPECT_EQ(at, 16U);
    EXPECT_FALSE(splitCardData("????????????????"));
}

}  // namespace
}  // namespace proxcred

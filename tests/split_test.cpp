#include <gtest/gtest.h>

#include <random>

#include "split/card_bits.h"
#include "split/split_card.h"

namespace proxcred {
namespace {

// One line per format: its number field, facility code and third field, or
// "-" where the format does not match.
std::vector<std::string> shown(const SplitResult& result) {
    std::vector<std::string> rows;
    for (const FormatReading& reading : result.readings) {
        if (!reading.match) {
            rows.emplace_back("-");
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
    for (const auto& [data, at] :
         std::vector<std::pair<std::string, std::size_t>>{{" 000000600400002", 0},
                                                          {"12345678", 7},
                                                          {"????????????????", 0},
                                                          {"12 3", 2},
                                                          {"0x12", 1},
                                                          {"-1", 0}}) {
        const CardBits converted = cardDataToBits(data);
        EXPECT_EQ(converted.bits, "") << data;
        EXPECT_EQ(converted.badCharacterAt, at) << data;
    }
}

struct SplitCase {
    const char* cardData;
    std::vector<std::string> shown;  // in format table order
};

const std::vector<SplitCase> kSplitCases = {
    {"0000000600400002", {"1/1", "-", "-", "-", "-", "-", "-", "131074/48/0", "100794370/0"}},
    {"", {"-", "-", "-", "-", "-", "-", "-", "-", "-"}},
    {"0000000000000000", {"-", "-", "-", "-", "-", "-", "-", "0/0/0", "0/0"}},
    {"1000000600400002", {"-", "-", "-", "-", "-", "-", "-", "-", "-"}},
    // The 35-bit format has no lead-in test: a seven in front still passes.
    {"7000700010000003", {"-", "-", "1/1", "-", "-", "-", "-", "-", "-"}},
    {"0000777777777777",
     {"-", "-", "-", "-", "-", "524287/65535", "524287/65535/34359738367", "-", "-"}},
    {"0377037777777777", {"-", "-", "-", "-", "-", "-", "-", "-", "4294967295/255"}},
    {"0007777773777777", {"-", "-", "-", "-", "-", "-", "-", "1048575/32767/7", "-"}},
    // Fields are read from the right-hand end, so shorter and longer card data
    // of the same card give the same numbers.
    {"600400002", {"1/1", "-", "-", "-", "-", "-", "-", "-", "-"}},
    {"00000000600400002", {"1/1", "-", "-", "-", "-", "-", "-", "131074/48/0", "100794370/0"}},
};

TEST(Split, EveryFormatShowsItsNumbersOrItsVerdict) {
    for (const SplitCase& c : kSplitCases) {
        const auto result = splitCardData(c.cardData);
        ASSERT_TRUE(result) << c.cardData;
        EXPECT_EQ(cardDataToBits(c.cardData).bits.size(), std::string_view(c.cardData).size() * 3);
        EXPECT_EQ(shown(*result), c.shown) << c.cardData;
    }
}

TEST(Split, AFormatThatDoesNotMatchShowsItsVerdict) {
    std::vector<std::string_view> verdicts;
    for (const CardFormatInfo& info : kCardFormats) verdicts.push_back(verdictText(info.format));
    EXPECT_EQ(verdicts, (std::vector<std::string_view>{"Not 26 Bit", "Not 34 Bit", "Not 35 Bit",
                                                       "Not 35X", "Not 36 Bit X", "Not 37 Bit X",
                                                       "Not 37 Bit", "Not Proxif", "Not Casi"}));
}

TEST(Split, CardDataWithAnyOtherCharacterIsRefused) {
    std::size_t at = 99;
    EXPECT_FALSE(splitCardData("00000006004000028", &at));
    EXPECT_EQ(at, 16U);
    EXPECT_FALSE(splitCardData("????????????????"));
}

}  // namespace
}  // namespace proxcred

namespace proxcred {
namespace {

// The decimal text of a run of base-2 digits, the empty text for none.
std::string decimalOfBits(std::string_view bits) {
    if (bits.empty()) return {};
    std::uint64_t value = 0;
    for (const char bit : bits) value = (value << 1) | (bit == '1' ? 1U : 0U);
    return std::to_string(value);
}

// The literal reading of a field: the run at 48-bit position `first` moved
// with the string's right-hand end, cut to the characters that exist, read
// as a number.
std::string literalField(std::string_view bits, int first, int width) {
    const auto length = static_cast<int>(bits.size());
    const int start = first + length - 48;
    const int from = std::max(start, 1);
    const int to = std::min(start + width - 1, length);
    if (from > to) return {};
    return decimalOfBits(
        bits.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1)));
}

TEST(Extractors, AgreeWithTheLiteralReadingOfEveryField) {
    struct Layout {
        CardFormat format;
        int hotstamp[2];
        int facility[2];
        int third[2];
    };
    const Layout layouts[] = {
        {CardFormat::Bit26, {32, 16}, {24, 8}, {}},
        {CardFormat::Bit34, {32, 16}, {16, 16}, {}},
        {CardFormat::Bit35, {28, 20}, {16, 12}, {}},
        {CardFormat::Bit35X, {28, 20}, {15, 13}, {}},
        {CardFormat::Bit36X, {26, 21}, {14, 12}, {}},
        {CardFormat::Bit37X, {29, 19}, {13, 16}, {}},
        {CardFormat::Bit37, {29, 19}, {13, 16}, {13, 35}},
        {CardFormat::Proxif, {29, 20}, {13, 15}, {10, 3}},
        {CardFormat::Casi, {17, 32}, {5, 8}, {}},
    };
    std::mt19937 random(48);
    for (int i = 0; i < 3000; ++i) {
        std::string bits(static_cast<std::size_t>(random() % 90), '0');
        for (char& bit : bits) bit = static_cast<char>('0' + random() % 2);
        for (const Layout& layout : layouts) {
            const CardFields fields = extractFields(layout.format, BitTail::ofBits(bits));
            const std::string where = std::string(formatInfo(layout.format).key) + " " + bits;
            EXPECT_EQ(fieldText(fields.hotstamp),
                      literalField(bits, layout.hotstamp[0], layout.hotstamp[1]))
                << where;
            EXPECT_EQ(fieldText(fields.facilityCode),
                      literalField(bits, layout.facility[0], layout.facility[1]))
                << where;
            if (hasThirdField(layout.format)) {
                EXPECT_EQ(fieldText(fields.third),
                          literalField(bits, layout.third[0], layout.third[1]))
                    << where;
            }
        }
    }
}

}  // namespace
}  // namespace proxcred

#include "formats/encoders.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace proxcred {
namespace {

using testing::proxDataOf;

struct KnownCard {
    CardFormat format;
    double hotstamp;
    std::int32_t facility;
    std::int32_t version;
    const char* proxData;
};

// Cards whose prox data is known, from the format descriptions.
const KnownCard kKnownCards[] = {
    {CardFormat::Bit26, 12345, 123, 0, "0000000475460163"},
    {CardFormat::Bit26, 1, 1, 0, "0000000600400002"},
    {CardFormat::Bit26, 0, 0, 0, "0000000400000001"},
    {CardFormat::Bit26, 65535, 255, 0, "0000000577777777"},
    {CardFormat::Bit34, 12345, 123, 0, "0000200075460163"},
    {CardFormat::Bit34, 0, 0, 0, "0000200000000001"},
    {CardFormat::Bit34, 1, 1, 0, "0000300000400002"},
    {CardFormat::Bit34, 65535, 65535, 0, "0000277777777777"},
    {CardFormat::Bit37, 12345, 123, 0, "0000000754060163"},
    {CardFormat::Bit37, 1, 1, 0, "0001000004000002"},
    {CardFormat::Bit37, 524287, 65535, 0, "0000777777777777"},
    {CardFormat::Bit37, 0, 0, 0, "0000000000000001"},  // without facility code from here
    {CardFormat::Bit37, 1, 0, 0, "0000000000000002"},
    {CardFormat::Bit37, 100, 0, 0, "0000000000000310"},
    {CardFormat::Bit37, 131072, 0, 0, "0001000001000000"},
    {CardFormat::Bit37, 34359738367, 0, 0, "0000777777777777"},
    {CardFormat::Bit35, 0, 0, 0, "0000400000000001"},
    {CardFormat::Bit35, 1, 1, 0, "0000700010000003"},
    {CardFormat::Bit35, 12345, 123, 0, "0000601730060162"},
    {CardFormat::Bit35, 1048575, 4095, 0, "0000677777777776"},
    {CardFormat::Bit35X, 12345, 100, 0, "0000601440060163"},
    {CardFormat::Bit35X, 0, 0, 0, "0000400000000001"},
    {CardFormat::Bit35X, 1048575, 4095, 0, "0000477777777776"},
    {CardFormat::Bit36X, 12345, 100, 0, "0000406200140346"},
    {CardFormat::Bit36X, 0, 0, 0, "0000000000000002"},
    {CardFormat::Bit36X, 2097151, 4095, 0, "0000377777777776"},
    {CardFormat::Bit37X, 12345, 100, 0, "0001000620060163"},
    {CardFormat::Bit37X, 0, 0, 0, "0000000000000001"},
    {CardFormat::Bit37X, 524287, 65535, 0, "0000777777777777"},
    {CardFormat::Proxif, 12345, 100, 1, "0001001440030071"},
    {CardFormat::Proxif, 0, 0, 0, "0000000000000000"},
    {CardFormat::Proxif, 1048575, 32767, 7, "0007777773777777"},
    {CardFormat::Casi, 12345, 100, 0, "0144000000030071"},
    {CardFormat::Casi, 4294967295, 255, 0, "0377037777777777"},
    {CardFormat::Casi, 0, 0, 0, "0000000000000000"},
    {CardFormat::Casi, 1073741823, 0, 0, "0000007777777777"},
    {CardFormat::Casi, 1073741824, 0, 0, "0000010000000000"},
    {CardFormat::Casi, 3221225472, 0, 0, "0000030000000000"},
};

TEST(Encoders, KnownCardsHaveTheirProxData) {
    for (const KnownCard& card : kKnownCards) {
        EXPECT_EQ(proxDataOf(encodeCard(card.format, {card.hotstamp, card.facility, card.version})),
                  card.proxData)
            << formatInfo(card.format).key << " " << card.hotstamp << "/" << card.facility;
    }
}

struct RangeCase {
    CardFormat format;
    double hotstamp;
    std::int32_t facility;
    std::int32_t version;
    const char* message;  // "" when the value is accepted
    const char* correction;
};

const RangeCase kRangeCases[] = {
    {CardFormat::Bit26, 65535, 255, 0, "", ""},
    {CardFormat::Bit26, 65536, 0, 0, "Hotstamp 65536 is too large. 65535 is max.", "65535"},
    {CardFormat::Bit26, 0, 256, 0, "Facility Code 256 is too large. 255 is max.", "255"},
    {CardFormat::Bit26, 70000, 300, 0, "Hotstamp 70000 is too large. 65535 is max.", "65535"},
    {CardFormat::Bit26, -5, 1, 0, "Hotstamp -5 is too small. 0 is min.", "0"},
    {CardFormat::Bit26, 1, -1, 0, "Facility Code -1 is too small. 0 is min.", "0"},
    {CardFormat::Bit26, 70000, -1, 0, "Hotstamp 70000 is too large. 65535 is max.", "65535"},
    {CardFormat::Bit26, -5, 300, 0, "Hotstamp -5 is too small. 0 is min.", "0"},
    {CardFormat::Bit26, 1, 300, 0, "Facility Code 300 is too large. 255 is max.", "255"},
    {CardFormat::Bit34, 0, 65536, 0, "Facility Code 65536 is too large. 65535 is max.", "65535"},
    {CardFormat::Bit35, 1048575, 4095, 0, "", ""},
    {CardFormat::Bit35, 1048576, 0, 0, "Hotstamp 1048576 is too large. 1048575 is max.", "1048575"},
    {CardFormat::Bit35, 0, 4096, 0, "Facility Code 4096 is too large. 4095 is max.", "4095"},
    {CardFormat::Bit37, 524288, 1, 0, "Hotstamp 524288 is too large. 524287 is max.", "524287"},
    {CardFormat::Bit37, 524288, 0, 0, "", ""},
    {CardFormat::Bit37, 34359738368, 0, 0, "Hotstamp 34359738368 is too large. 34359738367 is max.",
     "34359738367"},
    {CardFormat::Bit37, 1, -1, 0, "Facility Code -1 is too small. 0 is min.", "0"},
    {CardFormat::Proxif, 1048576, 0, 0, "Hotstamp 1048576 is too large. 1048575 is max.",
     "1048575"},
    {CardFormat::Proxif, 2000000, 40000, 0, "Hotstamp 2000000 is too large. 1048575 is max.",
     "1048575"},
    {CardFormat::Proxif, 0, 32768, 0, "Facility Code 32768 is too large. 32767 is max.", "32767"},
    {CardFormat::Proxif, 1, 1, 8, "Version 8 is too large. 7 is max.", "7"},
    {CardFormat::Casi, 4294967296, 0, 0, "Hotstamp 4294967296 is too large. 4294967295 is max.",
     "4294967295"},
    {CardFormat::Casi, 0, 256, 0, "Facility Code 256 is too large. 255 is max.", "255"},
    {CardFormat::Bit35X, 99999999, 99999, 0, "", ""},
};

TEST(Encoders, RangeChecksReportTheFirstValueOutOfRange) {
    for (const RangeCase& c : kRangeCases) {
        const EncodeResult result = encodeCard(c.format, {c.hotstamp, c.facility, c.version});
        const auto* refusal = std::get_if<Refusal>(&result);
        const std::string where = std::string(formatInfo(c.format).key) + " " +
                                  std::to_string(c.hotstamp) + "/" + std::to_string(c.facility);
        if (std::string_view(c.message).empty()) {
            EXPECT_TRUE(std::holds_alternative<CardValue>(result)) << where << proxDataOf(result);
            continue;
        }
        ASSERT_NE(refusal, nullptr) << where << proxDataOf(result);
        EXPECT_EQ(refusal->message(), c.message) << where;
        EXPECT_EQ(refusal->correction(), c.correction) << where;
    }
}

TEST(Encoders, FractionsRoundHalfToEven) {
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit35X, {12.5, 100})),
              proxDataOf(encodeCard(CardFormat::Bit35X, {12, 100})));
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit35X, {13.5, 100})),
              proxDataOf(encodeCard(CardFormat::Bit35X, {14, 100})));
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit26, {1.5, 1})),
              proxDataOf(encodeCard(CardFormat::Bit26, {2, 1})));
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit26, {2.5, 1})),
              proxDataOf(encodeCard(CardFormat::Bit26, {2, 1})));
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit37, {0.4, 0})), "0000000000000001");
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit34, {65535.4, 0})),
              "refused: Hotstamp 65535.4 is too large. 65535 is max.");
}

TEST(Encoders, XceedFormatsKeepTheLowBitsOfWideValues) {
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit35X, {1048576, 0})),
              proxDataOf(encodeCard(CardFormat::Bit35X, {0, 0})));
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit37X, {0, 65536})),
              proxDataOf(encodeCard(CardFormat::Bit37X, {0, 0})));
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit36X, {0, 4096})),
              proxDataOf(encodeCard(CardFormat::Bit36X, {0, 0})));
    // A negative value is its 32-bit two's complement: all ones in the field.
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit35X, {-1, 0})),
              proxDataOf(encodeCard(CardFormat::Bit35X, {1048575, 0})));
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit35X, {2147483648.0, 0})), "failed: 6 Overflow");
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit36X, {-2147483649.0, 0})), "failed: 6 Overflow");
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Bit37X, {2147483647.0, 0})),
              proxDataOf(encodeCard(CardFormat::Bit37X, {524287, 0})));
}

TEST(Encoders, ProxifAndCasiTakeNegativesAsTwosComplement) {
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Proxif, {-1, 0, 0})), "0000000007777777");
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Proxif, {0, -1, -1})), "7777777770000000");
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Casi, {-1, 0})), "0000037777777777");
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Casi, {0, -1})), "7777000000000000");
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Casi, {-2147483648.0, 0})), "0000020000000000");
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Casi, {-2147483649.0, 0})), "failed: 6 Overflow");
    EXPECT_EQ(proxDataOf(encodeCard(CardFormat::Proxif, {-2147483649.0, 0, 0})),
              "failed: 6 Overflow");
}

}  // namespace
}  // namespace proxcred

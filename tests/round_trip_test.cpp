#include <gtest/gtest.h>

#include <random>

#include "formats/encoders.h"
#include "split/split_card.h"
#include "test_support.h"

namespace proxcred {
namespace {

struct Ranges {
    CardFormat format;
    std::uint64_t hotstampMax;
    std::int32_t facilityMin;  // 1 for the 37-bit format with facility code
    std::int32_t facilityMax;
    std::int32_t versionMax;
};

// The largest values each format carries and gives back unchanged.
const Ranges kRanges[] = {
    {CardFormat::Bit26, 65535, 0, 255, 0},     {CardFormat::Bit34, 65535, 0, 65535, 0},
    {CardFormat::Bit35, 1048575, 0, 4095, 0},  {CardFormat::Bit35X, 1048575, 0, 4095, 0},
    {CardFormat::Bit36X, 2097151, 0, 4095, 0}, {CardFormat::Bit37X, 524287, 0, 65535, 0},
    {CardFormat::Bit37, 524287, 1, 65535, 0},  {CardFormat::Proxif, 1048575, 0, 32767, 7},
    {CardFormat::Casi, 4294967295, 0, 255, 0},
};

TEST(RoundTrip, EveryFormatSplitsBackIntoItsNumbers) {
    std::mt19937_64 random(20261206);
    for (const Ranges& range : kRanges) {
        std::uniform_int_distribution<std::uint64_t> hotstamps(0, range.hotstampMax);
        std::uniform_int_distribution<std::int32_t> facilities(range.facilityMin,
                                                               range.facilityMax);
        std::uniform_int_distribution<std::int32_t> versions(0, range.versionMax);
        for (int i = 0; i < 2000; ++i) {
            const std::uint64_t hotstamp = hotstamps(random);
            const std::int32_t facility = facilities(random);
            const std::int32_t version = versions(random);
            const EncodeResult encoded =
                encodeCard(range.format, {static_cast<double>(hotstamp), facility, version});
            const std::string proxData =
                proxcred::testing::proxDataOf(std::get<CardValue>(encoded));
            const auto split = splitCardData(proxData);
            ASSERT_TRUE(split);
            const FormatReading& reading = split->readings[static_cast<std::size_t>(range.format)];
            ASSERT_TRUE(reading.match) << formatInfo(range.format).key << " " << proxData;
            EXPECT_EQ(reading.fields.hotstamp, hotstamp) << proxData;
            EXPECT_EQ(reading.fields.facilityCode, static_cast<std::uint64_t>(facility))
                << proxData;
            if (range.format == CardFormat::Proxif) {
                EXPECT_EQ(reading.fields.third, static_cast<std::uint64_t>(version)) << proxData;
            }
        }
    }
}

TEST(RoundTrip, The37BitFormatWithoutFacilityCodeReadsAsOneNumber) {
    std::mt19937_64 random(37);
    std::uniform_int_distribution<std::uint64_t> hotstamps(0, 34359738367);
    for (int i = 0; i < 2000; ++i) {
        const std::uint64_t hotstamp = hotstamps(random);
        const std::string proxData = proxcred::testing::proxDataOf(std::get<CardValue>(
            encodeCard(CardFormat::Bit37, {static_cast<double>(hotstamp), 0, 0})));
        const auto split = splitCardData(proxData);
        ASSERT_TRUE(split);
        const FormatReading& reading = split->readings[static_cast<std::size_t>(CardFormat::Bit37)];
        ASSERT_TRUE(reading.match) << proxData;
        EXPECT_EQ(reading.fields.third, hotstamp) << proxData;
    }
}

}  // namespace
}  // namespace proxcred

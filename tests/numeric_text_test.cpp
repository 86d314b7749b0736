#include "formats/numeric_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace proxcred {
namespace {

TEST(NumericText, NumericTestAcceptsSignDigitsFractionAndExponent) {
    for (const char* text :
         {"0", "12345", " 12 ", "+5", "-5", "1.", ".5", "12.5", "1e5", "1E+5", "2.5e-3", "00042"}) {
        EXPECT_TRUE(isNumeric(text)) << text;
    }
    for (const char* text : {"", " ", "+", "-", ".", "e5", "1e", "1e+", "abc", "12a", "1 2", "0x10",
                             "1,000", "inf", "nan", "--1", "1.2.3", "$5"}) {
        EXPECT_FALSE(isNumeric(text)) << text;
    }
}

TEST(NumericText, TrimmingRemovesBlanksOnly) {
    EXPECT_EQ(trimBlanks("  12  "), "12");
    EXPECT_EQ(trimBlanks("   "), "");
    EXPECT_EQ(trimBlanks("\t12"), "\t12");
}

TEST(NumericText, WholeNumbersRoundHalfToEven) {
    const struct {
        double given;
        double expected;
    } cases[] = {{12.5, 12}, {13.5, 14}, {0.5, 0},    {1.5, 2},    {-0.5, -0},
                 {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {7, 7}};
    for (const auto& c : cases) EXPECT_EQ(roundHalfEven(c.given), c.expected) << c.given;
}

TEST(NumericText, Int32ConversionFailsOutsideTheSignedRange) {
    EXPECT_EQ(*textToInt32("2147483647"), 2147483647);
    EXPECT_EQ(*textToInt32("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(*textToInt32("-2147483648.5"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(textToInt32("2147483647.5").failure(), ConversionFailure::Overflow);
    EXPECT_EQ(textToInt32("2147483648").failure(), ConversionFailure::Overflow);
    EXPECT_EQ(textToInt32("99999999999999999999").failure(), ConversionFailure::Overflow);
    EXPECT_EQ(textToInt32("1e999").failure(), ConversionFailure::Overflow);
    EXPECT_EQ(textToInt32("abc").failure(), ConversionFailure::NotANumber);
    EXPECT_EQ(textToInt32("").failure(), ConversionFailure::NotANumber);
    EXPECT_EQ(*textToInt32(" 12.5 "), 12);
    EXPECT_EQ(*textToInt32("1e-999"), 0);
}

TEST(NumericText, Int16ConversionFailsOutsideItsRange) {
    EXPECT_EQ(*textToInt16("32767"), 32767);
    EXPECT_EQ(*textToInt16("-32768"), -32768);
    EXPECT_EQ(textToInt16("40000").failure(), ConversionFailure::Overflow);
    EXPECT_EQ(textToInt16("-32769").failure(), ConversionFailure::Overflow);
}

TEST(NumericText, FailuresHaveDistinctNumbersAndMessages) {
    EXPECT_EQ(failureMessage(ConversionFailure::Overflow), "6 Overflow");
    EXPECT_EQ(failureMessage(ConversionFailure::NotANumber), "13 Type mismatch");
}

TEST(NumericText, NumberTextIsPlainDecimal) {
    EXPECT_EQ(numberText(70000), "70000");
    EXPECT_EQ(numberText(34359738368.0), "34359738368");
    EXPECT_EQ(numberText(-5), "-5");
    EXPECT_EQ(numberText(65535.5), "65535.5");
    EXPECT_EQ(numberText(1e20), "1E+20");
}

}  // namespace
}  // namespace proxcred

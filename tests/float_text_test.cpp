// The portable decimal conversions against the standard library's, where the
// library has them (they are what the WebAssembly build uses instead).
#include "formats/float_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <version>

namespace proxcred {
namespace {

TEST(FloatText, ShortestTextIsFixedOrScientificWhicheverIsShorter) {
    const std::pair<double, const char*> cases[] = {
        {65535.5, "65535.5"},
        {1e20, "1e+20"},
        {1e15, "1e+15"},
        {123456789012.5, "123456789012.5"},
        {0.0001, "1e-04"},
        {0.001, "0.001"},
        {1e-05, "1e-05"},
        {1.5e-07, "1.5e-07"},
        {5e-324, "5e-324"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
        {0.1, "0.1"},
        {2.5, "2.5"},
        {100.25, "100.25"},
        {1e100, "1e+100"},
        {123e20, "1.23e+22"},
        {-0.5, "-0.5"},
        {21899647263916318720.0, "21899647263916318720"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(float_text::shortestPortably(value), text) << value;
        EXPECT_EQ(float_text::shortest(value), text) << value;
    }
}

TEST(FloatText, ReadingGivesTheNearestDoubleOrOutOfRange) {
    const struct {
        const char* text;
        double value;
        bool outOfRange;
    } cases[] = {
        {"12.5", 12.5, false},     {".5", 0.5, false},
        {"5.", 5.0, false},        {"1e308", 1e308, false},
        {"1e309", 0.0, true},      {"1e-400", 0.0, true},
        {"4e-324", 5e-324, false},  // the smallest subnormal: a value, not out of range
        {"0.000", 0.0, false},     {"9007199254740993", 9007199254740992.0, false},
    };
    for (const auto& [text, value, outOfRange] : cases) {
        for (const auto& reading : {float_text::readPortably(text), float_text::read(text)}) {
            EXPECT_EQ(reading.outOfRange, outOfRange) << text;
            if (!outOfRange) {
                EXPECT_EQ(reading.value, value) << text;
            }
        }
    }
}

#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
// Random doubles of every magnitude, and random decimal texts, both ways.
TEST(FloatText, ThePortablePathAgreesWithTheLibrary) {
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 40000; ++i) {
        const double value = std::bit_cast<double>(random() & ~(std::uint64_t{1} << 63));
        if (!std::isfinite(value)) continue;
        ASSERT_EQ(float_text::shortestPortably(value), float_text::shortest(value));
    }
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-340, 320);
    for (int i = 0; i < 40000; ++i) {
        std::string text;
        const int length = 1 + static_cast<int>(random() % 20);
        for (int d = 0; d < length; ++d) text += static_cast<char>('0' + digit(random));
        if (random() % 2 == 0) text.insert(random() % text.size(), ".");
        if (random() % 2 == 0) text += "e" + std::to_string(exponent(random));
        const float_text::Reading library = float_text::read(text);
        const float_text::Reading portable = float_text::readPortably(text);
        ASSERT_EQ(portable.outOfRange, library.outOfRange) << text;
        if (!library.outOfRange) {
            ASSERT_EQ(portable.value, library.value) << text;
        }
    }
}
#endif

}  // namespace
}  // namespace proxcred

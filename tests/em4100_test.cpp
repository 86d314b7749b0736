// EM4100 IDs: the public vectors in every form both ways, what each decimal
// form tells of an ID and what it leaves unknown, and refusals.
#include "em4100/em4100.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace proxcred::em4100 {
namespace {

Id idOf(std::string_view text) {
    std::string error;
    const std::optional<Id> id = readId(text, Form::Id, error);
    EXPECT_TRUE(id) << text << error;
    return id.value_or(Id{});
}

TEST(Em4100, PublicVectorsBothWays) {
    std::ifstream file(PROXCRED_EM4100_VECTORS);
    ASSERT_TRUE(file) << PROXCRED_EM4100_VECTORS;
    int rows = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string idHex;
        std::string formName_;
        std::string text;
        std::getline(fields, idHex, '\t');
        std::getline(fields, formName_, '\t');
        std::getline(fields, text, '\t');
        const Id id = idOf(idHex);
        const Form form_ = *form(formName_);
        EXPECT_EQ(textOf(id, form_), text) << line;
        std::string error;
        const std::optional<Id> read = readId(text, form_, error);
        ASSERT_TRUE(read) << line << error;
        EXPECT_EQ(read->known, bytesOf(form_)) << line;
        EXPECT_EQ(
            read->value, id.value &
                             [&] {
                                 std::uint64_t mask = 0;
                                 for (int n = 1; n <= kIdBytes; ++n) {
                                     if ((read->known & byteBit(n)) != 0)
                                         mask |= std::uint64_t{0xFF} << (8 * (kIdBytes - n));
                                 }
                                 return mask;
                             }())
            << line;
        ++rows;
    }
    EXPECT_GE(rows, 10);
}

// A decimal form gives back what it carries; the ID names the bytes it lacks,
// and the forms that need them are not written.
TEST(Em4100, DecimalFormsTellWhatTheyCarry) {
    std::string error;
    const std::optional<Id> dez8 = readId("06837899", Form::Dez8, error);
    ASSERT_TRUE(dez8);
    EXPECT_EQ(idText(*dez8), "????68568B");
    EXPECT_EQ(unknownBytes(*dez8), "bytes 1 and 2");
    EXPECT_EQ(textOf(*dez8, Form::Dez35C), "104.22155");
    EXPECT_EQ(textOf(*dez8, Form::W26), "104:22155");
    EXPECT_FALSE(textOf(*dez8, Form::Dez10));
    EXPECT_EQ(unknownBytes(*dez8, bytesOf(Form::Dez10)), "byte 2");
    const std::optional<Id> a = readId("15.22155", Form::Dez35A, error);
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(idText(*a), "0F????568B");
    EXPECT_EQ(unknownBytes(*a), "bytes 2 and 3");
    EXPECT_EQ(unknownBytes(idOf("0x0f0368568b")), "");
    EXPECT_EQ(pm3Command(idOf("0F0368568B")), "lf em 410x clone --id 0F0368568B");
    const std::string flipper = flipperFile(idOf("0123456789"));
    EXPECT_EQ(flipper,
              "Filetype: Flipper RFID key\nVersion: 1\nKey type: EM4100\nData: 01 23 45 67 89\n");
    EXPECT_EQ(readFlipperFile(flipper, error), idOf("0123456789"));
}

TEST(Em4100, TextsNotOfTheirFormAreRefused) {
    for (const auto& [text, form_, why] : {
             std::tuple{"0F0368568", Form::Id,
                        "\"0F0368568\" is not an EM4100 ID: 9 hex digits, not 10"},
             std::tuple{"0F0368568B0", Form::Id,
                        "\"0F0368568B0\" is not an EM4100 ID: 11 hex digits, not 10"},
             std::tuple{"0F0368568G", Form::Id,
                        "\"0F0368568G\" is not an EM4100 ID: it holds 'G', which is no hex digit"},
             std::tuple{"006837899", Form::Dez8, "DEZ 8 \"006837899\" has more than 8 digits"},
             std::tuple{"16777216", Form::Dez8,
                        "DEZ 8 \"16777216\" is more than 3 bytes hold: 16777215 is max"},
             std::tuple{"0087222155", Form::Dez55, "\"0087222155\" is not DEZ 5.5: it has no '.'"},
             std::tuple{"256.1", Form::Dez35B,
                        "DEZ 3.5B \"256\" is more than 1 byte hold: 255 is max"},
             std::tuple{"104:65536", Form::W26,
                        "W26 \"65536\" is more than 2 bytes hold: 65535 is max"},
             std::tuple{"1.x", Form::Dez35C, "DEZ 3.5C \"x\" is not a decimal number"},
         }) {
        std::string error;
        EXPECT_FALSE(readId(text, form_, error)) << text;
        EXPECT_EQ(error, why) << text;
    }
    std::string error;
    EXPECT_FALSE(readFlipperFile(
        "Filetype: Flipper RFID key\nVersion: 1\nKey type: H10301\nData: 96 27 20\n", error));
    EXPECT_EQ(error, "the key type \"H10301\" is not EM4100");
}

}  // namespace
}  // namespace proxcred::em4100

// The forms a card is carried in: the hid form as readers and cloners write
// it, pacs, FC:CN, one number, Flipper key files and Proxmark3 lines; which
// reading comes first; and every built-in format read back from each form.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "wiegand/card_text.h"
#include "wiegand/flipper_key.h"
#include "wiegand_support.h"

namespace proxcred::wiegand {
namespace {

using testing::format;
using testing::library;
using testing::numbers;

Frame frameOf(std::string_view name, const CardNumbers& given) {
    return testing::encoded(format(name), given);
}

std::string textOf(const Frame& frame, FrameForm form) {
    return testing::frameText(frame, form);
}

Frames framesOf(std::string_view text, FrameForm form, std::string& error,
                std::optional<int> bits = std::nullopt) {
    Frames frames;
    wiegand::framesOf(text, form, bits, frames, error);
    return frames;
}

CardReading read(std::string_view text, CardForm form, ReadScope scope = {}) {
    CardReading reading;
    readCard(text, form, library(), scope, reading);
    return reading;
}

std::vector<std::string> namesOf(const Matches& matches) {
    std::vector<std::string> names;
    for (const Match& match : matches) names.push_back(match.format->name);
    return names;
}

// A frame shorter than 37 bits carries HID's header bit and its sentinel, a
// 37-bit frame neither, a longer one its sentinel; the raw value the
// Proxmark3 client prints (24 digits, and the extended-length marker above
// bit 64) reads as the same frame.
TEST(WiegandHidForm, IsTheFormReadersAndClonersUse) {
    const struct {
        Frame frame;
        const char* written;
        std::vector<const char*> alsoRead;
    } cases[] = {
        {frameOf("H10301", numbers(118, 1603)),
         "2006EC0C86",
         {"0x2006ec0c86", "0000000000000002006ec0c86"}},
        {frameOf("H10304", numbers(1234, 56789)), "104D21BBAA", {"00000000000000104d21bbaa"}},
        {frameOf("C1k48s", numbers(118, 1603)), "01400076000C86", {"09E000000001400076000C86"}},
        {Frame{0x3FF, 40}, "0100000003FF", {"09E0000000000100000003FF"}},
        {Frame{0, 1}, "2000000002", {}},
        {Frame{0, 37}, "0000000000", {"0", "000000000000000000000000"}},
        {Frame{~std::uint64_t{0} >> 1, 63}, "FFFFFFFFFFFFFFFF", {"09e00000ffffffffffffffff"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textOf(c.frame, FrameForm::Hid), c.written);
        std::string error;
        std::vector<const char*> texts = c.alsoRead;
        texts.push_back(c.written);
        for (const char* text : texts)
            EXPECT_EQ(framesOf(text, FrameForm::Hid, error), Frames{c.frame}) << text << error;
    }
}

// One value is one frame: every length the form carries, written and read.
TEST(WiegandHidForm, EveryValueIsOneFrame) {
    std::mt19937_64 random(3);
    std::string error;
    for (int bits = 1; bits < kMaxFrameBits; ++bits) {
        for (const std::uint64_t value :
             {std::uint64_t{0}, ~std::uint64_t{0}, random(), random()}) {
            const Frame frame{value & bits::lowBits(bits), bits};
            EXPECT_EQ(framesOf(textOf(frame, FrameForm::Hid), FrameForm::Hid, error), Frames{frame})
                << bits << " " << textOf(frame, FrameForm::Hid);
        }
    }
}

// 26-bit cards written in the hid form come back as H10301 first, and never
// as a 37-bit card.
TEST(WiegandHidForm, RandomH10301CardsReadBackAsH10301First) {
    std::mt19937_64 random(4000);
    for (int trial = 0; trial < 4000; ++trial) {
        const CardNumbers given = numbers(random() % 256, random() % 65536);
        const std::string hid = textOf(frameOf("H10301", given), FrameForm::Hid);
        const CardReading reading = read(hid, CardForm::Hid);
        ASSERT_FALSE(reading.matches.empty()) << hid;
        EXPECT_EQ(reading.matches.front().format->name, "H10301") << hid;
        EXPECT_EQ(reading.matches.front().decoded.numbers.values, given.values) << hid;
        EXPECT_TRUE(std::none_of(reading.matches.begin(), reading.matches.end(),
                                 [](const Match& m) { return m.format->bits == 37; }))
            << hid;
    }
}

TEST(WiegandFrameForms, PacsCarriesEveryLength) {
    std::string error;
    for (int bits = 1; bits <= kMaxFrameBits; ++bits) {
        const Frame frame{bits::lowBits(bits) & 0x5A5A5A5A5A5A5A5A, bits};
        const std::string text = textOf(frame, FrameForm::Pacs);
        EXPECT_EQ(text.size(), 2 + 2 * static_cast<std::size_t>((bits + 7) / 8)) << text;
        EXPECT_EQ(framesOf(text, FrameForm::Pacs, error), Frames{frame}) << text << error;
    }
    EXPECT_EQ(textOf(frameOf("H10301", numbers(123, 4567)), FrameForm::Pacs), "06BD88EB80");
}

TEST(WiegandFrameForms, TextsThatAreNotOfTheirFormAreRefused) {
    for (const auto& [text, form, why] : {
             std::tuple{"12", FrameForm::Bin, "'2' at position 2 is not a binary digit"},
             std::tuple{"0x1G", FrameForm::Hex, "'G' at position 4 is not a hex digit"},
             std::tuple{"18", FrameForm::Octal, "'8' at position 2 is not an octal digit"},
             std::tuple{"1\xff", FrameForm::Hex, "byte 255 at position 2 is not a hex digit"},
             std::tuple{"1FFFFFFFFFFFFFFFF", FrameForm::Hex, "more than 64 bits"},
             std::tuple{"1", FrameForm::Octal, "no frame: a marker bit alone"},
             std::tuple{"", FrameForm::Bin, "no digits"},
             std::tuple{"0x", FrameForm::Hid, "'x' at position 2 is not a hex digit"},
             std::tuple{"2000000000", FrameForm::Hid, "no frame below the sentinel bit"},
             std::tuple{"2000000001", FrameForm::Hid, "no frame below the sentinel bit"},
             std::tuple{"1FFFFFFFFFFFFFFFF", FrameForm::Hid,
                        "more than 64 bits: the hid form carries frames of up to 63 bits"},
             std::tuple{"1000000000000000000000000", FrameForm::Hid, "more than 96 bits"},
             std::tuple{"2006EC0C8G", FrameForm::Hid, "'G' at position 10 is not a hex digit"},
             std::tuple{"08BD88EB80", FrameForm::Pacs, "the padding count 8 is more than 7"},
             std::tuple{"06", FrameForm::Pacs,
                        "the padding count 6 has no bytes of a frame after it"},
             std::tuple{"06BD88EB81", FrameForm::Pacs, "the 6 padding bits are not all zero"},
             std::tuple{"6BD88EB80", FrameForm::Pacs,
                        "a pacs value is whole bytes, two hex digits each"},
             std::tuple{"000102030405060708090A0B0C0D", FrameForm::Pacs, "more than 13 bytes"},
             std::tuple{"00010203040506070809", FrameForm::Pacs, "more than 64 bits"},
         }) {
        std::string error;
        EXPECT_TRUE(framesOf(text, form, error).empty()) << text;
        EXPECT_EQ(error, why) << text;
    }
    std::string error;
    EXPECT_TRUE(framesOf("2006EC0C86", FrameForm::Hid, error, 37).empty());
    EXPECT_EQ(error, "not a 37-bit frame (the text reads as 26 bits)");
    EXPECT_EQ(framesOf("1F", FrameForm::Hex, error),
              (Frames{{0x1F, 5}, {0x1F, 6}, {0x1F, 7}, {0x1F, 8}}));
}

// Parity ok first, then no parity, then failed; within each the formats in
// wide use in their order, then the rest by length.
TEST(WiegandRanking, TheLikelyCardComesFirst) {
    EXPECT_EQ(namesOf(read("2004C607CF", CardForm::Hid).matches),
              (std::vector<std::string>{"H10301", "ind26"}));
    EXPECT_EQ(namesOf(read("200020002", CardForm::Hex, {nullptr, 34}).matches),
              (std::vector<std::string>{"H10306", "N10002", "BQT34", "Optus34", "SMP34"}));
    const std::vector<std::string> order{"H10301", "C1k35s", "H10304", "H10306",  "C1k48s",
                                         "H10302", "ind26",  "ind27",  "indasc27"};
    for (std::size_t i = 1; i < order.size(); ++i)
        EXPECT_LT(library().rankOf(format(order[i - 1])), library().rankOf(format(order[i])))
            << order[i];
    // A 37-bit card whose parity fails as H10304 still lists it, after the
    // formats without parity.
    Frame flipped = frameOf("H10304", numbers(1, 1));
    flipped.value ^= 1;
    const std::vector<std::string> names =
        namesOf(read(textOf(flipped, FrameForm::Hid), CardForm::Hid).matches);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), "P10004");
}

// Texts that read as many frames of many lengths: the readings are the same
// as unranked, in rank order.
TEST(WiegandRanking, ManyReadingsAreSortedWithoutLosingAny) {
    std::mt19937_64 random(26);
    for (int trial = 0; trial < 500; ++trial) {
        const std::string text = textOf(Frame{random() & bits::lowBits(26), 26},
                                        trial % 2 == 0 ? FrameForm::Octal : FrameForm::Hex);
        CardReading reading = read(text, trial % 2 == 0 ? CardForm::Octal : CardForm::Hex);
        Matches unranked;
        for (const Frame& frame : reading.frames) {
            for (const Format& f : library().formats()) {
                if (auto decoded = decode(f, frame)) unranked.push_back({&f, *decoded});
            }
        }
        ASSERT_EQ(reading.matches.size(), unranked.size()) << text;
        const auto key = [](const Match& m) {
            const int verdict = m.decoded.parity == ParityVerdict::Ok     ? 0
                                : m.decoded.parity == ParityVerdict::None ? 1
                                                                          : 2;
            return std::pair(verdict, library().rankOf(*m.format));
        };
        for (std::size_t i = 1; i < reading.matches.size(); ++i)
            EXPECT_LT(key(reading.matches[i - 1]), key(reading.matches[i])) << text;
        for (const Match& m : unranked) {
            EXPECT_TRUE(std::any_of(reading.matches.begin(), reading.matches.end(),
                                    [&](const Match& r) {
                                        return r.format == m.format &&
                                               r.decoded.numbers.values == m.decoded.numbers.values;
                                    }))
                << text << " " << m.format->name;
        }
    }
}

// Every built-in format's card, small and large numbers, in every form that
// carries it, reads back as that format with its numbers; a form refuses a
// card only where it has no room for it.
TEST(WiegandCardForms, EveryFormatsOwnCardReadsBackInEveryForm) {
    for (const Format& f : library().formats()) {
        const bool onlyFacilityAndCard =
            f.field(FieldKind::IssueLevel) == nullptr && f.field(FieldKind::OemCode) == nullptr;
        for (const bool large : {false, true}) {
            CardNumbers given;
            for (const Field& field : f.fields)
                given[field.kind] = large ? field.max : std::min<std::uint64_t>(5, field.max);
            for (const CardForm form : kCardForms) {
                std::string text;
                std::string refusal;
                if (!appendCardText(text, f, given, form, refusal)) {
                    const bool expected =
                        (form == CardForm::Fccn &&
                         (f.field(FieldKind::FacilityCode) == nullptr || !onlyFacilityAndCard)) ||
                        (form == CardForm::Number && !onlyFacilityAndCard) ||
                        (form == CardForm::Flipper && f.bits > 37) ||
                        ((form == CardForm::Hid || form == CardForm::Pm3) && f.bits == 64);
                    EXPECT_TRUE(expected) << f.name << " " << cardFormName(form) << ": " << refusal;
                    continue;
                }
                if (!isReadable(form)) continue;
                const CardReading reading = read(text, form);
                EXPECT_TRUE(std::any_of(reading.matches.begin(), reading.matches.end(),
                                        [&](const Match& m) {
                                            return m.format == &f &&
                                                   m.decoded.numbers.values == given.values &&
                                                   m.decoded.parity != ParityVerdict::Fail;
                                        }))
                    << f.name << " " << cardFormName(form) << " " << text << " " << reading.error;
            }
        }
    }
}

TEST(WiegandCardForms, FacilityAndCardAsImportFilesAndReadersShowThem) {
    std::string text;
    std::string refusal;
    ASSERT_TRUE(appendCardText(text, format("H10306"), numbers(1, 5), CardForm::Fccn, refusal));
    EXPECT_EQ(text, "00001:00005");
    for (const char* typed : {"118:1603", "118:01603", " 0118:1603 "}) {
        const CardReading reading = read(typed, CardForm::Fccn, {&format("H10301"), std::nullopt});
        ASSERT_EQ(reading.matches.size(), 1U) << typed << reading.error;
        EXPECT_EQ(reading.matches.front().decoded.numbers.values, numbers(118, 1603).values);
    }
    const CardReading number = read("77108", CardForm::Number);
    ASSERT_FALSE(number.matches.empty());
    EXPECT_EQ(number.matches.front().format->name, "H10301");
    EXPECT_EQ(number.matches.front().decoded.numbers.values, numbers(1, 11572).values);
    // Facility after the card number in the frame: the card's bits come first.
    text.clear();
    ASSERT_TRUE(appendCardText(text, format("Optus34"), numbers(1, 2), CardForm::Number, refusal));
    EXPECT_EQ(text, std::to_string((2 << 11) | 1));
    for (const auto& [typed, form, only, why] : {
             std::tuple{"1:5", CardForm::Fccn, "H10302",
                        "H10302 has no facility code: the fccn form is FC:CN"},
             std::tuple{"1:5", CardForm::Fccn, "S12906",
                        "the fccn form carries a facility code and a card number only: S12906 "
                        "has an issue level too"},
             std::tuple{"5", CardForm::Number, "Kastle",
                        "the number form carries a facility code and a card number only: Kastle "
                        "has an issue level too"},
             std::tuple{"118-1603", CardForm::Fccn, "",
                        "\"118-1603\" is not FC:CN, a facility code and a card number"},
             std::tuple{"x:1", CardForm::Fccn, "",
                        "the facility code \"x\" is not a decimal number"},
             std::tuple{"1:", CardForm::Fccn, "", "the card number \"\" is empty"},
             std::tuple{"-5", CardForm::Number, "", "the number \"-5\" is negative"},
         }) {
        const Format* scope = *only == '\0' ? nullptr : &format(only);
        const CardReading reading = read(typed, form, {scope, std::nullopt});
        EXPECT_EQ(reading.error, why) << typed;
        EXPECT_TRUE(reading.matches.empty());
    }
}

TEST(WiegandCardForms, FlipperKeyFilesAndProxmarkLines) {
    std::string text;
    std::string refusal;
    ASSERT_TRUE(
        appendCardText(text, format("H10304"), numbers(1234, 56789), CardForm::Flipper, refusal));
    EXPECT_EQ(
        text,
        "Filetype: Flipper RFID key\nVersion: 1\nKey type: HIDProx\nData: 01 04 D2 1B BA A0\n");
    text.clear();
    ASSERT_TRUE(
        appendCardText(text, format("H10304"), numbers(1234, 56789), CardForm::Pm3, refusal));
    EXPECT_EQ(text, "lf hid clone -r 104d21bbaa");
    EXPECT_FALSE(appendCardText(text, format("C1k48s"), numbers(1, 1), CardForm::Flipper, refusal));
    EXPECT_EQ(refusal, "C1k48s: a Flipper HIDProx key carries frames of up to 37 bits");
    // As a Flipper writes them by hand: comments, CR LF.
    const CardReading commented = read(
        "Filetype: Flipper RFID key\r\nVersion: 1\r\n# Key type can be EM4100, H10301, ...\r\n"
        "Key type: H10301\r\n# Data size for H10301 is 3\r\nData: 96 27 20\r\n",
        CardForm::Flipper);
    ASSERT_EQ(commented.matches.size(), 1U) << commented.error;
    EXPECT_EQ(commented.matches.front().decoded.numbers.values, numbers(150, 10016).values);

    const std::string head = "Filetype: Flipper RFID key\nVersion: 1\n";
    for (const auto& [file, why] : {
             std::pair{
                 head + "Key type: Indala26\nData: 01 02 03 04\n",
                 "the key type \"Indala26\" is not one this tool reads (H10301, HIDProx, EM4100)"},
             std::pair{head + "Key type: EM4100\nData: 01 02 03 04 05\n",
                       "an EM4100 key is an EM4100 ID, not a Wiegand card"},
             std::pair{head + "Key type: H10301\nData: 96 27\n",
                       "\"H10301\" key data is 3 bytes, not 2"},
             std::pair{head + "Key type: HIDProx\nData: 0F 04 D2 1B BA A0\n",
                       "the HIDProx key has bits above HID's header bit 37, which it cannot carry"},
             std::pair{head + "Key type: H10301\nData: 96 27 2G\n",
                       "the Data line \"96 27 2G\" is not hex bytes like \"96 27 20\""},
             std::pair{head + "Key type: H10301\n", "the file has no Data line"},
             std::pair{head + "Key type: H10301\nKey type: H10301\nData: 96 27 20\n",
                       "the key \"Key type\" appears twice"},
             std::pair{head + "Key type: H10301\nColor: red\nData: 96 27 20\n",
                       "the line \"Color: red\" is not one of a Flipper RFID key file"},
             std::pair{std::string("Filetype: Flipper NFC device\nVersion: 1\nKey type: "
                                   "H10301\nData: 96 27 20\n"),
                       "the Filetype \"Flipper NFC device\" is not \"Flipper RFID key\""},
             std::pair{
                 std::string(
                     "Filetype: Flipper RFID key\nVersion: 2\nKey type: H10301\nData: 96 27 20\n"),
                 "version \"2\" of the file is not one this tool reads (1)"},
             std::pair{std::string("2006EC0C86\n"),
                       "the line \"2006EC0C86\" is not one of a Flipper RFID key file"},
         }) {
        const CardReading reading = read(file, CardForm::Flipper);
        EXPECT_EQ(reading.error, why) << file;
        EXPECT_TRUE(reading.matches.empty());
    }
}

}  // namespace
}  // namespace proxcred::wiegand

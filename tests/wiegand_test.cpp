// The Wiegand format library: every built-in format both ways, parity,
// ambiguous frames, the frame forms, users' format files, and agreement with
// the translator's own formats.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "formats/encoders.h"
#include "wiegand/card_text.h"
#include "wiegand/frame_text.h"
#include "wiegand/library.h"
#include "wiegand_support.h"

namespace proxcred::wiegand {
namespace {

using testing::encoded;
using testing::format;
using testing::frameText;
using testing::library;
using testing::numbers;

std::vector<Frame> framesOf(std::string_view text, FrameForm form, std::optional<int> bits,
                            std::string& error) {
    Frames frames;
    proxcred::wiegand::framesOf(text, form, bits, frames, error);
    return frames;
}

TEST(WiegandLibrary, HasEveryFormatOfThePublicList) {
    const char* names[] = {
        "H10301", "ind26",   "ind27",  "indasc27", "Tecom27",   "2804W",  "ind29",    "ATSW30",
        "ADT31",  "HCP32",   "HPP32",  "Kastle",   "Kantech",   "WIE32",  "D10202",   "H10306",
        "N10002", "Optus34", "SMP34",  "BQT34",    "C1k35s",    "C15001", "S12906",   "S12906b",
        "Sie36",  "H10320",  "H10302", "H10304",   "P10004",    "HGen37", "MDI37",    "BQT38",
        "ISCS",   "PW39",    "P10001", "Casi40",   "Verkada40", "BC40",   "Defcon32", "H800002",
        "C1k48s", "Avig56",  "IR56",   "S10401"};
    EXPECT_EQ(library().formats().size(), std::size(names));
    for (const char* name : names) EXPECT_NE(library().find(name), nullptr) << name;
    EXPECT_EQ(library().find("h10301"), library().find("H10301"));
}

// Corners and random values of every field, encoded and decoded again.
TEST(WiegandLibrary, EveryFormatRoundTripsAcrossItsFieldRanges) {
    std::mt19937_64 random(7);
    for (const Format& f : library().formats()) {
        for (int trial = 0; trial < 200; ++trial) {
            CardNumbers given;
            for (const Field& field : f.fields) {
                given[field.kind] =
                    trial == 0 ? 0
                    : trial == 1
                        ? field.max
                        : random() % (field.max == ~std::uint64_t{0} ? field.max : field.max + 1);
            }
            const Frame frame = encoded(f, given);
            const std::optional<Decoded> decoded = decode(f, frame);
            ASSERT_TRUE(decoded) << f.name;
            for (const FieldKind kind : kFieldKinds)
                EXPECT_EQ(decoded->numbers[kind], given[kind]) << f.name << " " << fieldKey(kind);
            EXPECT_EQ(decoded->parity, f.hasParity() ? ParityVerdict::Ok : ParityVerdict::None)
                << f.name;
        }
    }
}

// Any one bit that a parity bit protects, or the parity bit itself, flipped:
// the verdict is "fail" (or the frame is no longer of the format at all).
TEST(WiegandLibrary, OneFlippedBitFailsTheParity) {
    for (const Format& f : library().formats()) {
        if (!f.hasParity()) continue;
        CardNumbers given;
        for (const Field& field : f.fields) given[field.kind] = field.max / 3;
        const Frame frame = encoded(f, given);
        for (int position = 0; position < f.bits; ++position) {
            const std::uint64_t at = bits::bit(f.bits - 1 - position);
            const bool checked = std::any_of(f.parity.begin(), f.parity.end(), [&](const auto& p) {
                return ((p.covers | bits::bit(p.bit)) & at) != 0;
            });
            if (!checked) continue;
            Frame flipped = frame;
            flipped.value ^= at;
            const std::optional<Decoded> decoded = decode(f, flipped);
            if (decoded) {
                EXPECT_EQ(decoded->parity, ParityVerdict::Fail) << f.name << " " << position;
            }
        }
    }
}

TEST(WiegandLibrary, RefusesWhatAFormatCannotHold) {
    EXPECT_EQ(encode(format("H10301"), numbers(256, 1)).refusal,
              "Facility code 256 is too large for H10301. 255 is max.");
    CardNumbers withIssue = numbers(1, 1);
    withIssue[FieldKind::IssueLevel] = 1;
    EXPECT_EQ(encode(format("H10301"), withIssue).refusal, "H10301 has no issue level");
    CardNumbers noCard;
    noCard[FieldKind::FacilityCode] = 1;
    EXPECT_EQ(encode(format("H10301"), noCard).refusal, "H10301 needs a card number");
    CardNumbers tooLong;
    tooLong[FieldKind::CardNumber] = 100000000;
    EXPECT_EQ(encode(format("H10320"), tooLong).refusal,
              "Card number 100000000 is too large for H10320. 99999999 is max.");
}

// Public vectors, both ways: the HID form of H10301 118/1603, and the
// translator's card data of the 26-bit card 1/1.
TEST(WiegandLibrary, GoldenFramesBothWays) {
    const struct {
        const char* format;
        std::uint64_t facility;
        std::uint64_t card;
        FrameForm form;
        const char* text;
    } vectors[] = {
        {"H10301", 118, 1603, FrameForm::Hid, "2006EC0C86"},
        {"H10301", 1, 1, FrameForm::Octal, "0000000600400002"},
        {"H10301", 1, 1, FrameForm::Bin, "10000000100000000000000010"},
        {"H10306", 1, 1, FrameForm::Hex, "200020002"},
        // Eight BCD digits, then the four parity bits 1100.
        {"H10320", 0, 12345678, FrameForm::Hex, "12345678C"},
    };
    for (const auto& v : vectors) {
        const Format& f = format(v.format);
        CardNumbers given = numbers(v.facility, v.card);
        if (f.field(FieldKind::FacilityCode) == nullptr) given[FieldKind::FacilityCode].reset();
        const Frame frame = encoded(f, given);
        EXPECT_EQ(frameText(frame, v.form), v.text) << v.format;
        std::string error;
        const std::vector<Frame> frames = framesOf(v.text, v.form, f.bits, error);
        EXPECT_NE(std::find(frames.begin(), frames.end(), frame), frames.end()) << v.text << error;
    }
}

TEST(WiegandLibrary, AmbiguousFramesFitEveryFormatTheyCan) {
    const Frame frame = encoded(format("H10306"), numbers(1, 1));
    std::vector<std::string> fitting;
    for (const Format& f : library().formats()) {
        if (auto decoded = decode(f, frame); decoded && decoded->parity != ParityVerdict::Fail)
            fitting.push_back(f.name);
    }
    EXPECT_EQ(fitting, (std::vector<std::string>{"H10306", "N10002", "Optus34", "SMP34", "BQT34"}));
}

// Public vectors (tests/data/wiegand_vectors.tsv), both ways: the numbers make
// the card's text in its form, and the text reads back as the numbers with
// parity ok. A Flipper file's lines are written with \n.
TEST(WiegandLibrary, PublicVectorsBothWays) {
    std::ifstream file(PROXCRED_WIEGAND_VECTORS);
    ASSERT_TRUE(file) << PROXCRED_WIEGAND_VECTORS;
    int rows = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name;
        std::string form;
        std::string text;
        CardNumbers given;
        std::getline(fields, name, '\t');
        for (const FieldKind kind : kFieldKinds) {
            std::string value;
            std::getline(fields, value, '\t');
            if (value != "-") given[kind] = std::stoull(value);
        }
        std::getline(fields, form, '\t');
        std::getline(fields, text, '\t');
        for (std::size_t at; (at = text.find("\\n")) != std::string::npos;)
            text.replace(at, 2, "\n");
        const Format& f = format(name);
        const CardForm cardForm_ = *cardForm(form);
        std::string written;
        std::string refusal;
        EXPECT_TRUE(appendCardText(written, f, given, cardForm_, refusal)) << line << refusal;
        EXPECT_EQ(written, text) << line;
        CardReading reading;
        readCard(text, cardForm_, library(), {&f, std::nullopt}, reading);
        ASSERT_EQ(reading.matches.size(), 1U) << line << ": " << reading.error;
        EXPECT_EQ(reading.matches.front().decoded.numbers.values, given.values) << line;
        EXPECT_EQ(reading.matches.front().decoded.parity, ParityVerdict::Ok) << line;
        ++rows;
    }
    EXPECT_GE(rows, 20);
}

TEST(WiegandLibrary, EveryBuiltInFormatSaysWhereItComesFrom) {
    for (const Format& f : library().formats()) EXPECT_FALSE(f.source.empty()) << f.name;
}

// The translator's formats and the library's formats of the same layout
// make the same frames: the translator's card value without its marker.
TEST(WiegandLibrary, AgreesWithTheTranslatorsFormats) {
    const struct {
        CardFormat translator;
        const char* library;
        bool facility;
    } pairs[] = {
        {CardFormat::Bit26, "H10301", true},  {CardFormat::Bit34, "H10306", true},
        {CardFormat::Bit35, "C1k35s", true},  {CardFormat::Bit37, "H10304", true},
        {CardFormat::Bit37, "H10302", false},
    };
    std::mt19937_64 random(11);
    for (const auto& pair : pairs) {
        const Format& f = format(pair.library);
        const std::uint64_t maxFacility = pair.facility ? f.field(FieldKind::FacilityCode)->max : 0;
        const std::uint64_t maxCard = f.field(FieldKind::CardNumber)->max;
        for (int trial = 0; trial < 2000; ++trial) {
            // Facility code 0 selects the 37-bit layout without facility code.
            const std::uint64_t facility = pair.facility ? 1 + random() % maxFacility : 0;
            const std::uint64_t card = random() % (maxCard + 1);
            const EncodeResult translated = encodeCard(
                pair.translator, {static_cast<double>(card), static_cast<std::int32_t>(facility)});
            ASSERT_TRUE(std::holds_alternative<CardValue>(translated)) << pair.library;
            CardNumbers given = numbers(facility, card);
            if (!pair.facility) given[FieldKind::FacilityCode].reset();
            const std::uint64_t mask = (std::uint64_t{1} << f.bits) - 1;
            EXPECT_EQ(std::get<CardValue>(translated) & mask, encoded(f, given).value)
                << pair.library << " " << facility << "/" << card;
        }
    }
}

const char* kUserFile = R"({"formats": [{
    "name": "Site40", "description": "Our site's 40-bit", "bits": 40,
    "fields": {"facility": {"start": 1, "length": 10},
               "card": {"positions": ["11-37"], "max": 99999999}},
    "fixed": [{"bit": 38, "value": 1}],
    "parity": [{"bit": 0, "parity": "even", "covers": ["1-19"]},
               {"bit": 39, "parity": "odd", "covers": ["20-38"]}]}]})";

TEST(WiegandFormatFiles, AUsersFormatLoadsAndEncodes) {
    Library mine = Library::builtIn();
    std::string error;
    ASSERT_TRUE(mine.addFormats(kUserFile, error)) << error;
    const Format* site = mine.find("site40");
    ASSERT_NE(site, nullptr);
    const Frame frame = encoded(*site, numbers(1000, 99999999));
    EXPECT_EQ(decode(*site, frame)->parity, ParityVerdict::Ok);
    EXPECT_FALSE(encode(*site, numbers(1, 100000000)).frame);
}

// The cap on a file's formats is the file's own: the built-in ones do not
// count against it.
TEST(WiegandFormatFiles, AFileMayHoldAsManyFormatsAsTheCap) {
    const auto formats = [](std::size_t count) {
        std::string file = "[";
        for (std::size_t i = 0; i < count; ++i)
            file += (i == 0 ? R"({"name":"F)" : R"(,{"name":"F)") + std::to_string(i) +
                    R"(","bits":1,"fields":{"card":{"start":0,"length":1}}})";
        return file + "]";
    };
    Library mine = Library::builtIn();
    std::string error;
    EXPECT_TRUE(mine.addFormats(formats(Library::kMaxFormats), error)) << error;
    Library again = Library::builtIn();
    EXPECT_FALSE(again.addFormats(formats(Library::kMaxFormats + 1), error));
    EXPECT_EQ(error, "the file has more than 100000 formats");
}

TEST(WiegandFormatFiles, EachClassOfBadFileIsRefusedWhole) {
    const auto file = [](const std::string& format) {
        return R"({"formats": [{"name": "Good", "bits": 8, "fields": {"card": {"start": 0, "length": 8}}}, )" +
               format + "]}";
    };
    const struct {
        std::string text;
        const char* error;
    } cases[] = {
        {file(R"({"name": "A", "bits": 10, "fields": {"card": {"start": 5, "length": 8}}})"),
         "format \"A\": field \"card\" uses position 10, past the 10-bit frame"},
        {file(
             R"({"name": "B", "bits": 10, "fields": {"card": {"start": 0, "length": 6}, "facility": {"start": 5, "length": 2}}})"),
         "format \"B\": field \"facility\" overlaps field \"card\" at position 5"},
        {file(
             R"({"name": "C", "bits": 10, "fields": {"card": {"start": 1, "length": 8}}, "parity": [{"bit": 0, "parity": "even", "covers": ["0-8"]}]})"),
         "format \"C\": the parity bit at 0 covers its own bit"},
        {file(R"({"name": "good", "bits": 4, "fields": {"card": {"start": 0, "length": 4}}})"),
         "format \"good\": the name is taken"},
        {file(R"({"name": "E", "bits": "ten", "fields": {}})"),
         "format \"E\": bits is not a whole number"},
        {file(R"({"name": "F", "bits": 10, "fields": {"pin": {"start": 0, "length": 4}}})"),
         "format \"F\": unknown field \"pin\" (facility, card, issue or oem)"},
        {file(
             R"({"name": "G", "bits": 10, "fields": {"card": {"start": 0, "length": 6, "bcd": true}}})"),
         "format \"G\": field \"card\" is BCD but its length is not a multiple of 4"},
        {file(R"({"name": "H", "bits": 80, "fields": {}})"), "format \"H\": bits must be 1 to 64"},
        {file(
             R"({"name": "I", "bits": 10, "fields": {"card": {"start": 1, "length": 8}}, "parity": [{"bit": 0, "parity": "even", "covers": ["0-1000000000"]}]})"),
         "format \"I\": covers uses position 1000000000, past the 10-bit frame"},
        {file(
             R"({"name": "J", "bits": 10, "fields": {"card": {"positions": ["1-99999999999999999999"]}}})"),
         "format \"J\": field \"card\" positions holds \"1-99999999999999999999\", which is no "
         "range like \"1-12\""},
        {file(
             R"({"name": "K", "bits": 10, "fields": {"card": {"start": 1, "length": 8}}, "partiy": []})"),
         "format \"K\": unknown key \"partiy\" (name, description, source, bits, fields, fixed, "
         "parity, mask, parity_masks)"},
        {file(
             R"({"name": "L", "bits": 10, "fields": {"card": {"start": 1, "length": 8, "lenght": 2}}})"),
         "format \"L\": unknown key \"lenght\" in field \"card\" (start, length, positions, bcd, "
         "max)"},
        {file(
             R"({"name": "M", "bits": 10, "fields": {"card": {"start": 1, "length": 8}, "card": {"start": 0, "length": 1}}})"),
         "format \"M\": the key \"card\" appears twice"},
        {file(R"({"name": "N", "bits": 10, "fields": {"facility": {"start": 1, "length": 8}}})"),
         "format \"N\": has no \"card\" field: every format carries a card number"},
        {file(
             R"({"name": "O", "bits": 10, "fields": {"card": {"start": 2, "length": 7}}, "parity": [{"bit": 0, "parity": "even", "covers": ["1-9"]}, {"bit": 9, "parity": "odd", "covers": ["2-8"]}]})"),
         "format \"O\": the parity bit at 0 covers the parity bit at 9, which is computed after "
         "it: list that one first"},
        {file(
             R"({"name": "P", "bits": 10, "fields": {"card": {"start": 1, "length": 8}}, "parity": [{"bit": 0, "parity": "even", "covers": [1, 2, 1]}]})"),
         "format \"P\": the parity bit at 0 covers position 1 twice"},
        {file(
             R"({"name": "Q\u001b[2J", "bits": 10, "fields": {"card": {"start": 0, "length": 8}}})"),
         "the format name \"Q\\x1B[2J\" holds a control character or a bidirectional override"},
        {file(R"({"name": "Q\u0085", "bits": 10, "fields": {"card": {"start": 0, "length": 8}}})"),
         "the format name \"Q\\u0085\" holds a control character or a bidirectional override"},
        {file(
             R"({"name": "Q\u202Egnp.exe", "bits": 10, "fields": {"card": {"start": 0, "length": 8}}})"),
         "the format name \"Q\\u202Egnp.exe\" holds a control character or a bidirectional "
         "override"},
        {file(
             R"({"name": "R", "bits": 10, "fields": {"card": {"start": 0, "length": 8, "positions": [9]}}})"),
         "format \"R\": field \"card\" gives both positions and start/length: give one"},
        {std::string(R"({"formats": []})") + '\0' + "garbage",
         "the file holds a NUL byte at byte 16: a format file is JSON text to its end"},
        {R"({"formats": [{"name": "S", "bits": 8, "fields": {"card": {"start": 0, "length": 8}}, )" +
             [] {
                 std::string keys;
                 for (int i = 0; i < 20; ++i) keys += "\"k" + std::to_string(i) + "\": 1, ";
                 return keys;
             }() +
             R"("source": ""}]})",
         "an object has more than 16 keys: no object of a format file has that many"},
        {std::string(Library::kMaxFileBytes / 2, '[') +
             std::string(Library::kMaxFileBytes / 2, ']'),
         "lists and objects are nested more than 8 deep: a format file needs six"},
        {R"({"formats": [], "formats": []})", "the key \"formats\" appears twice"},
        {R"({"formats": [], "comment": 1})", "unknown key \"comment\" in the file (formats)"},
        {"[" + std::string(Library::kMaxFileBytes, ' ') + "]", "the file is larger than 16 MiB"},
        {"[{}" + std::string() +
             [] {
                 std::string more;
                 for (std::size_t i = 0; i < Library::kMaxFormats; ++i) more += ",{}";
                 return more;
             }() +
             "]",
         "the file has more than 100000 formats"},
        {"{\"formats\": [", nullptr},
        {"{\"formats\": [\xff\x01]}", nullptr},
    };
    for (const auto& c : cases) {
        Library mine = Library::builtIn();
        std::string error;
        EXPECT_FALSE(mine.addFormats(c.text, error)) << c.text;
        if (c.error != nullptr) {
            EXPECT_EQ(error, c.error);
        } else {
            EXPECT_EQ(error.rfind("not a JSON format file", 0), 0U) << error;
        }
        // Input bytes are quoted escaped: no control or stray non-ASCII byte.
        EXPECT_TRUE(std::none_of(error.begin(), error.end(), [](char byte) {
            return static_cast<unsigned char>(byte) < 0x20 ||
                   static_cast<unsigned char>(byte) >= 0x7F;
        })) << error;
        // Nothing half-loaded: the good format before the bad one is not there.
        EXPECT_EQ(mine.find("Good"), nullptr);
        EXPECT_EQ(mine.formats().size(), library().formats().size());
    }
}

}  // namespace
}  // namespace proxcred::wiegand

namespace proxcred::wiegand {
namespace {

// A frame is a format's only where its fixed bits hold and its BCD digits
// are digits: else no format fits, whatever the parity says.
TEST(WiegandLibrary, DecodingRefusesBrokenFixedBitsAndBcdDigits) {
    const Frame bcd{0xA2345678C, 36};  // H10320 with a first "digit" of A
    EXPECT_FALSE(decode(format("H10320"), bcd));
    CardNumbers card;
    card[FieldKind::CardNumber] = 5;
    Frame hgen = encoded(format("HGen37"), card);
    ASSERT_TRUE(decode(format("HGen37"), hgen));
    hgen.value &= ~bits::bit(0);  // its fixed bit 36, the last sent
    EXPECT_FALSE(decode(format("HGen37"), hgen));
}

}  // namespace
}  // namespace proxcred::wiegand

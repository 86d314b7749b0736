// The Wiegand library's work on many cards: a site's format told from reads
// of its cards, and formats in the bit-mask notation of access-control
// documentation.
#include <gtest/gtest.h>

#include <random>

#include "wiegand/card_text.h"
#include "wiegand/identify.h"
#include "wiegand/mask_notation.h"
#include "wiegand_support.h"

namespace proxcred::wiegand {
namespace {

using testing::format;
using testing::library;

// Reads of cards, as the command reads them: each text's ranked readings.
std::vector<Matches> readsOf(const std::vector<std::string>& texts, CardForm form,
                             std::optional<int> bits = std::nullopt) {
    std::vector<Matches> reads;
    CardReading reading;
    for (const std::string& text : texts) {
        readCard(text, form, library(), {nullptr, bits}, reading);
        EXPECT_EQ(reading.error, "") << text;
        reads.push_back(reading.matches);
    }
    return reads;
}

const SiteFormat* siteFormat(const std::vector<SiteFormat>& found, std::string_view name) {
    for (const SiteFormat& site : found) {
        if (site.format->name == name) return &site;
    }
    return nullptr;
}

TEST(WiegandIdentify, NamesEveryFormatFromADozenOfItsCards) {
    std::mt19937_64 random(27);
    for (const Format& site : library().formats()) {
        const auto draw = [&](const Field& field) { return random() % (field.max + 1); };
        CardNumbers numbers;
        if (const Field* facility = site.field(FieldKind::FacilityCode))
            numbers[FieldKind::FacilityCode] = draw(*facility);
        std::vector<std::string> texts;
        std::vector<std::uint64_t> cards;
        while (texts.size() < 12) {
            numbers[FieldKind::CardNumber] = draw(*site.field(FieldKind::CardNumber));
            if (std::find(cards.begin(), cards.end(), numbers[FieldKind::CardNumber]) !=
                cards.end())
                continue;
            for (const FieldKind kind : {FieldKind::IssueLevel, FieldKind::OemCode}) {
                if (const Field* field = site.field(kind)) numbers[kind] = draw(*field);
            }
            cards.push_back(*numbers[FieldKind::CardNumber]);
            texts.push_back(testing::frameText(testing::encoded(site, numbers), FrameForm::Bin));
        }
        const auto found = identify(readsOf(texts, CardForm::Bin));
        const SiteFormat* named = siteFormat(found, site.name);
        ASSERT_NE(named, nullptr) << site.name << " is not among " << found.size();
        ASSERT_EQ(named->groups.size(), 1U) << site.name;
        EXPECT_EQ(named->groups[0].cards, cards) << site.name;
        EXPECT_EQ(named->groups[0].facility, numbers[FieldKind::FacilityCode]) << site.name;
        // Ahead of it only formats those reads cannot tell from it: one site
        // each, as it is.
        for (const SiteFormat& ahead : found) {
            if (&ahead == named) break;
            EXPECT_EQ(ahead.groups.size(), 1U) << site.name << " behind " << ahead.format->name;
        }
    }
}

TEST(WiegandIdentify, LeavesOutFormatsThatCannotTellTheCardsApart) {
    // Two frames of H10301 that differ only in a parity bit are no two cards.
    const Format& h10301 = format("H10301");
    const Frame frame = testing::encoded(h10301, testing::numbers(1, 5));
    const Frame flipped{frame.value ^ 1U, frame.bits};
    const auto found = identify(readsOf(
        {testing::frameText(frame, FrameForm::Bin), testing::frameText(flipped, FrameForm::Bin)},
        CardForm::Bin));
    EXPECT_EQ(siteFormat(found, "H10301"), nullptr);
    EXPECT_TRUE(identify({}).empty());
}

TEST(WiegandMaskNotation, EveryBuiltInLayoutReadsBackTheSame) {
    for (const Format& known : library().formats()) {
        const std::vector<std::string> lines = notationOf(known);
        std::string error;
        const auto layout = readMask(lines.front(), {lines.begin() + 1, lines.end()}, error);
        ASSERT_TRUE(layout) << known.name << ": " << error;
        EXPECT_EQ(layout->bits, known.bits) << known.name;
        EXPECT_EQ(layout->parity.size(), known.parity.size()) << known.name;
    }
    EXPECT_EQ(notationOf(format("H10304")),
              (std::vector<std::string>{"PFFFFFFFFFFFFFFFFCCCCCCCCCCCCCCCCCCCP",
                                        "EXXXXXXXXXXXXXXXXXX..................",
                                        "..................XXXXXXXXXXXXXXXXXXO"}));
}

TEST(WiegandMaskNotation, AFileInTheNotationMakesTheSameFrames) {
    Library library = Library::builtIn();
    std::string error;
    // Letters in either case, as notes write them.
    const std::string mask = "p" + std::string(16, 'f') + std::string(19, 'c') + "p";
    ASSERT_TRUE(library.addFormats(R"({"formats": [{"name": "Site37", "mask": ")" + mask + R"(",
        "parity_masks": ["EXXXXXXXXXXXXXXXXXX..................",
                         "..................XXXXXXXXXXXXXXXXXXO"]}]})",
                                   error))
        << error;
    const Frame site = testing::encoded(*library.find("Site37"), testing::numbers(1234, 56789));
    EXPECT_EQ(site, testing::encoded(format("H10304"), testing::numbers(1234, 56789)));
    std::string hid;
    ASSERT_TRUE(appendCardText(hid, *library.find("Site37"), testing::numbers(1234, 56789),
                               CardForm::Hid, error));
    EXPECT_EQ(hid, "104D21BBAA");
}

TEST(WiegandMaskNotation, WhatIsNotTheNotationIsRefused) {
    const struct {
        const char* mask;
        std::vector<std::string> lines;
        const char* error;
    } cases[] = {
        {"PFFQ", {}, "the mask holds \"Q\" at position 3"},
        {"PFFC", {}, "the parity bit at position 0 has no parity line"},
        {"PFFC", {"EXX.", "EXX."}, "more than one parity line"},
        {"PFFC", {"EXX"}, "parity line 1 has 3 characters, the mask 4"},
        {"PFFC", {"EXY."}, "parity line 1 holds \"Y\""},
        {"PFFC", {".XX."}, "parity line 1 must mark its own bit with one E or O"},
        {"PFFC", {"EXXO"}, "parity line 1 must mark its own bit with one E or O"},
        {"FPFC",
         {"EXX."},
         "parity line 1 marks position 0, which the mask does not make a parity bit"},
        {"OFFC", {"EXX."}, "parity line 1 makes position 0 even where the mask says O"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(readMask(c.mask, c.lines, error)) << c.mask;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.mask << ": " << error;
    }
    // The loader checks what the notation leaves to it, as for any layout.
    Library library = Library::builtIn();
    std::string error;
    EXPECT_FALSE(library.addFormats(R"({"formats": [{"name": "X", "mask": "PFFF"}]})", error));
    EXPECT_FALSE(library.addFormats(
        R"({"formats": [{"name": "X", "mask": "PCCC", "parity_masks": ["EXX."], "fields": {}}]})",
        error));
    EXPECT_NE(error.find("give \"mask\" or \"fields\", not both"), std::string::npos) << error;
    EXPECT_FALSE(library.addFormats(
        R"({"formats": [{"name": "X", "mask": "PCCP", "parity_masks": ["EXXX", "...O"]}]})",
        error));
    EXPECT_NE(error.find("which is computed after it"), std::string::npos) << error;
}

}  // namespace
}  // namespace proxcred::wiegand

// proxcred-cli wiegand on many cards: a site's format told from its reads,
// ranges and offsets, duplicate warnings, decoding to CSV for import files,
// and layouts in the mask notation.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

TEST(CliIdentify, ThePublicReadsOfP10004) {
    const CliRun one = cli({"wiegand", "identify", "--bits", "37"}, "EA63EAAA4\nEA648BAD4\n");
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(
        linesOf(one.out),
        (std::vector<std::string>{
            "2 cards read", "P10004      HID P10004 37-bit PCSC            (37 bits, parity none)",
            "  facility code 7500: cards 128341, 148950"}));

    const CliRun two = cli({"wiegand", "identify", "--bits", "37", "--json", "-"},
                           "EA63EAAA4\nEA648BAD4\n61EE3085D\nEA63EAAA4\n");
    EXPECT_EQ(two.status, 0) << two.err;
    const auto json = nlohmann::json::parse(two.out);
    EXPECT_EQ(json["cards"], 3);
    EXPECT_EQ(json["formats"][0]["format"], "P10004");
    EXPECT_EQ(json["formats"][0]["groups"],
              nlohmann::json::parse(R"([{"facility": 3133, "cards": [202818]},
                                        {"facility": 7500, "cards": [128341, 148950]}])"));
    EXPECT_EQ(json["repeated"], nlohmann::json::parse(R"([{"line": 4, "same_as": 1}])"));
}

TEST(CliIdentify, NamesWhatFitsNothingAndRefusesWhatIsNoRead) {
    // 20 bits of H10301's 26 fit no format at that length; a misread whose
    // parity fails everywhere would rule out the site's own format.
    const CliRun run = cli({"wiegand", "identify", "--in", "bin"},
                           "10111011000000110010000110\n10111011000000110010\n"
                           "11111111111111111111111111\nxyz\n");
    EXPECT_EQ(run.status, 1);
    for (const char* unfit : {"line 2: 10111011000000110010 fits no format",
                              "line 3: 11111111111111111111111111 fits no format"})
        EXPECT_NE(run.out.find(std::string(unfit) + " whose parity it passes (left out)"),
                  std::string::npos)
            << run.out;
    EXPECT_NE(run.out.find("H10301"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("line 4:"), std::string::npos) << run.err;
}

TEST(CliRanges, EncodeInOrderOneCardALine) {
    const CliRun range = cli(
        {"wiegand", "encode", "-w", "H10301", "--fc", "118", "--cn", "1603-1605", "--out", "hid"});
    EXPECT_EQ(range.status, 0) << range.err;
    EXPECT_EQ(range.out, "2006EC0C86\n2006EC0C89\n2006EC0C8A\n");
    // The same frames as one card at a time, and through a CSV row.
    std::string single;
    for (const char* card : {"1603", "1604", "1605"}) {
        single +=
            cli({"wiegand", "encode", "-w", "H10301", "--fc", "118", "--cn", card, "--out", "hid"})
                .out;
    }
    EXPECT_EQ(single, range.out);
    const CliRun csv =
        cli({"wiegand", "encode", "--csv", "-", "--out", "hid"}, "H10301,118,1603-1605\n");
    EXPECT_EQ(csv.out,
              "H10301,118,1603,,,2006EC0C86,\nH10301,118,1604,,,2006EC0C89,\n"
              "H10301,118,1605,,,2006EC0C8A,\n");
}

TEST(CliRanges, RangesThatCannotBeAreRefusedBeforeAnythingIsWritten) {
    const struct {
        std::vector<std::string> extra;
        const char* card;
        const char* error;
    } cases[] = {
        {{},
         "65530-65536",
         "Card numbers 65530-65536 run past 65535, the largest H10301 card number\n"},
        {{"--max-cards", "2"}, "1-3", "Card numbers 1-3 are more than 2 cards (--max-cards)\n"},
        {{}, "5-3", "Card number range \"5-3\" runs backwards\n"},
        {{}, "5-x", "Card number range \"5-x\" is not two decimal numbers\n"},
        {{"--offset", "10"},
         "65520-65530",
         "Card numbers 65520-65530 with --offset 10 run past 65535, "
         "the largest H10301 card number\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"wiegand", "encode", "-w",   "H10301",
                                      "--fc",    "1",      "--cn", c.card};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 1) << c.card;
        EXPECT_EQ(run.out, "") << c.card;
        EXPECT_EQ(run.err, c.error) << c.card;
    }
    EXPECT_EQ(cli({"wiegand", "encode", "--fc", "1", "--cn", "1-2"}).err,
              "A range of card numbers needs one format (-w NAME)\n");
    // An offset that cannot be read is refused as typed, its sign kept.
    for (const char* offset : {"-abc", "-4611686018427387905", "1.5"}) {
        const CliRun run = cli({"wiegand", "encode", "-w", "H10301", "--fc", "1", "--cn", "1",
                                "--offset=" + std::string(offset)});
        EXPECT_NE(run.status, 0) << offset;
        EXPECT_EQ(run.out, "") << offset;
        EXPECT_EQ(run.err, "proxcred-cli: --offset \"" + std::string(offset) +
                               "\" must be a whole number from -4611686018427387904 to "
                               "4611686018427387904\n");
    }
}

TEST(CliOffsets, EncodeAddsDecodeTakesOff) {
    const CliRun offset = cli({"wiegand", "encode", "-w", "H10301", "--fc", "1", "--cn", "3001",
                               "--offset", "2000", "--out", "hid"});
    EXPECT_EQ(offset.out, cli({"wiegand", "encode", "-w", "H10301", "--fc", "1", "--cn", "5001",
                               "--out", "hid"})
                              .out);
    const CliRun decoded = cli({"wiegand", "decode", "--in", "hid", "-w", "H10301", "--offset",
                                "2000", "--json", offset.out.substr(0, offset.out.size() - 1)});
    EXPECT_NE(decoded.out.find("\"card\": 3001"), std::string::npos) << decoded.out;
    const CliRun below =
        cli({"wiegand", "encode", "-w", "H10301", "--fc", "1", "--cn", "5", "--offset=-10"});
    EXPECT_EQ(below.status, 1);
    EXPECT_EQ(below.err, "Card number 5 with --offset -10 is below 0\n");
}

TEST(CliOffsets, ACardCarryingLessThanTheOffsetHasNoPrintedNumber) {
    // 2006EC0C86 carries H10301 118/1603: with --offset 2000 no printed card
    // gives it, and a negative number would be a card nobody holds.
    const std::string why = "card number 1603 as carried: no printed number with --offset 2000";
    const auto decode = [](const char* form) {
        return cli({"wiegand", "decode", "--in", "hid", "-w", "H10301", "--offset", "2000", form,
                    "2006EC0C86"})
            .out;
    };
    EXPECT_NE(decode("--json").find(R"("card": null, "encoded_card": 1603)"), std::string::npos);
    EXPECT_NE(decode("--csv").find("2006EC0C86,H10301,118,,,,ok," + why + "\n"), std::string::npos);
    const CliRun text =
        cli({"wiegand", "decode", "--in", "hid", "-w", "H10301", "--offset", "2000", "2006EC0C86"});
    EXPECT_NE(text.out.find("facility code 118, " + why), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find('-' + std::string("397")), std::string::npos) << text.out;
    // The most negative offset is added without overflowing.
    const CliRun far = cli({"wiegand", "decode", "--in", "hid", "-w", "H10301", "--json",
                            "--offset=-4611686018427387904", "2006EC0C86"});
    EXPECT_NE(far.out.find("\"card\": 4611686018427389507"), std::string::npos)
        << far.out << far.err;
}

TEST(CliDuplicates, RowsThatGiveTheSameFrameAreNamedAndStillWritten) {
    const CliRun run =
        cli({"wiegand", "encode", "--csv", "-", "--out", "hid"},
            "format,facility,card\nH10306,1,1\nH10301,1,1-2\nN10002,1,1\nH10301,1,2\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(linesOf(run.out).size(), 6U);
    EXPECT_EQ(run.err,
              "proxcred-cli: standard input: rows 2 and 4 give the same card frame\n"
              "proxcred-cli: standard input: rows 3 and 5 give the same card frame\n");
}

TEST(CliDecodeCsv, ARowEachValueNothingLost) {
    const CliRun best = cli({"wiegand", "decode", "--in", "hid", "--csv"},
                            "2006EC0C86\n=HYPERLINK(1)\n\n2006EC0C86\n");
    EXPECT_EQ(best.status, 1);
    EXPECT_EQ(linesOf(best.out),
              (std::vector<std::string>{"input,format,facility,card,issue,oem,parity,message",
                                        "2006EC0C86,H10301,118,1603,,,ok,",
                                        "'=HYPERLINK(1),,,,,,,'=' at position 1 is not a hex digit",
                                        "2006EC0C86,H10301,118,1603,,,ok,"}));
    const CliRun all = cli({"wiegand", "decode", "--csv", "--all"}, "2006EC0C86\n");
    EXPECT_EQ(linesOf(all.out).size(), 7U) << all.out;
    EXPECT_EQ(cli({"wiegand", "decode", "--csv", "--in", "bin"}, "10101\n").out,
              "input,format,facility,card,issue,oem,parity,message\n10101,,,,,,,no format fits\n");
}

TEST(CliCsvOutput, CellsThatWouldRunAsFormulasAreGuardedAndReadBack) {
    // A refused row echoes what it was given; a number stays a number.
    const CliRun run = cli({"wiegand", "encode", "--csv", "-"},
                           "format,facility,card\n=cmd|' /C calc'!A0,1,1\n@SUM(1),1,-5\n");
    EXPECT_EQ(linesOf(run.out),
              (std::vector<std::string>{
                  "format,facility,card,frame,message",
                  "'=cmd|' /C calc'!A0,1,1,,\"Unknown Wiegand format \"\"=cmd|' /C calc'!A0\"\"\"",
                  "'@SUM(1),1,-5,,\"Unknown Wiegand format \"\"@SUM(1)\"\"\""}));
    // Read again, the guarded cells are the texts they were.
    const CliRun again = cli({"wiegand", "encode", "--csv", "-"}, run.out);
    EXPECT_EQ(again.out, run.out);
    const CliRun translator = cli({"encode", "--csv", "-"}, "26,-5,1\n26,+5,1\n");
    EXPECT_EQ(linesOf(translator.out)[0].substr(0, 7), "26,-5,1");
}

TEST(CliLayout, FormatsShownInTheMaskNotation) {
    EXPECT_EQ(cli({"wiegand", "list", "--layout", "h10304"}).out,
              "PFFFFFFFFFFFFFFFFCCCCCCCCCCCCCCCCCCCP\n"
              "EXXXXXXXXXXXXXXXXXX..................\n"
              "..................XXXXXXXXXXXXXXXXXXO\n");
    EXPECT_EQ(cli({"wiegand", "list", "--layout", "H10320"}).out.substr(0, 37),
              "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCPPPP\n");
    const CliRun unknown = cli({"wiegand", "list", "--layout", "X"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "Unknown Wiegand format \"X\"\n");
}

}  // namespace

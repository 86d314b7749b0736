// proxcred-cli wiegand: numbers read as printed, public vectors, frames that
// read back in every form, and format files that cannot hurt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_run.h"

namespace {

TEST(CliWiegand, ListEncodeAndDecode) {
    const CliRun list = cli({"wiegand", "list", "--json"});
    EXPECT_EQ(list.status, 0);
    const nlohmann::json formats = nlohmann::json::parse(list.out);
    EXPECT_EQ(formats.size(), 44U);
    EXPECT_EQ(formats[0]["fields"]["facility"]["max"], 255);

    const struct {
        const char* out;
        const char* frame;
    } forms[] = {{"bin", "10111011000000110010000110\n"},
                 {"hex", "2EC0C86\n"},
                 {"hid", "2006EC0C86\n"},
                 {"octal", "0000000673006206\n"}};
    for (const auto& form : forms) {
        const CliRun run = cli({"wiegand", "encode", "-w", "H10301", "--fc", "118", "--cn", "1603",
                                "--out", form.out});
        EXPECT_EQ(run.out, form.frame) << form.out;
        EXPECT_EQ(run.status, 0);
    }
    const CliRun refused = cli({"wiegand", "encode", "-w", "H10301", "--fc", "256", "--cn", "1"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Facility code 256 is too large for H10301. 255 is max.\n");

    const CliRun decoded = cli({"wiegand", "decode", "--json", "--bits", "34"}, "200020002\nxyz\n");
    EXPECT_EQ(decoded.status, 1);
    std::istringstream lines(decoded.out);
    std::string first;
    std::string second;
    std::getline(lines, first);
    std::getline(lines, second);
    const nlohmann::json ambiguous = nlohmann::json::parse(first);
    EXPECT_EQ(ambiguous["bits"], 34);
    EXPECT_EQ(ambiguous["matches"][0]["format"], "H10306");
    EXPECT_EQ(ambiguous["matches"][1]["format"], "N10002");
    EXPECT_EQ(ambiguous["matches"][1]["parity"], "ok");
    EXPECT_EQ(nlohmann::json::parse(second)["error"], "'x' at position 1 is not a hex digit");
}

TEST(CliWiegand, FormatsFromAFile) {
    const auto path = std::filesystem::temp_directory_path() / "proxcred-wiegand-formats.json";
    std::ofstream(path) << R"({"formats": [{"name": "Site12", "bits": 12,
        "fields": {"card": {"start": 1, "length": 10}},
        "parity": [{"bit": 0, "parity": "even", "covers": ["1-10"]},
                   {"bit": 11, "parity": "odd", "covers": ["1-10"]}]}]})";
    const CliRun encoded =
        cli({"wiegand", "encode", "--formats", path.string(), "-w", "Site12", "--cn", "5"});
    EXPECT_EQ(encoded.out, "000000001011\n");
    std::ofstream(path)
        << R"({"formats": [{"name": "Bad", "bits": 4, "fields": {"card": {"start": 2, "length": 4}}}]})";
    const CliRun bad = cli({"wiegand", "list", "--formats", path.string()});
    std::filesystem::remove(path);
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("format \"Bad\": field \"card\" uses position 4, past the 4-bit frame"),
              std::string::npos)
        << bad.err;
}

// Card numbers are printed with leading zeros: every number is decimal as
// typed, and whatever is not a number the field can hold is refused as typed.
TEST(CliWiegand, NumbersAreReadAsPrinted) {
    const struct {
        std::vector<std::string> args;
        const char* out;
        const char* err;
        int status;
    } cases[] = {
        {{"--fc", "118", "--cn", "01603"}, "10111011000000110010000110\n", "", 0},
        {{"--fc", "0118", "--cn", "1603"}, "10111011000000110010000110\n", "", 0},
        {{"--fc", "1", "--cn", "0x643"}, "", "Card number \"0x643\" is not a decimal number\n", 1},
        {{"--fc", "1", "--cn", "-1"}, "", "Card number \"-1\" is negative\n", 1},
        {{"--fc", "1", "--cn", ""}, "", "Card number \"\" is empty\n", 1},
        {{"--fc", "1", "--cn", " 5"}, "", "Card number \" 5\" is not a decimal number\n", 1},
        {{"--fc", "1", "--cn", "18446744073709551616"},
         "",
         "Card number 18446744073709551616 is too large for H10301. 65535 is max.\n",
         1},
        {{"--fc", "1", "--cn", "0070000"},
         "",
         "Card number 0070000 is too large for H10301. 65535 is max.\n",
         1},
        {{"--fc", "1", "--cn", "1", "--il", "0"}, "", "H10301 has no issue level\n", 1},
        {{"--fc", "1"}, "", "H10301 needs a card number\n", 1},
        {{"--fc", "1", "--cn", "1\x1b[2J"},
         "",
         "Card number \"1\\x1B[2J\" is not a decimal number\n",
         1},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"wiegand", "encode", "-w", "H10301"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = cli(args);
        EXPECT_EQ(run.out, c.out) << c.args[3];
        EXPECT_EQ(run.err, c.err) << c.args[3];
        EXPECT_EQ(run.status, c.status) << c.args[3];
    }
    // A 64-bit field takes 2^64 - 1, and nothing wraps into it.
    const auto path = std::filesystem::temp_directory_path() / "proxcred-wiegand-64.json";
    std::ofstream(path)
        << R"([{"name": "Wide64", "bits": 64, "fields": {"card": {"start": 0, "length": 64}}}])";
    const auto wide = [&](const std::string& card, const std::string& form) {
        return cli({"wiegand", "encode", "--formats", path.string(), "-w", "wide64", "--cn", card,
                    "--out", form});
    };
    EXPECT_EQ(wide("18446744073709551615", "hex").out, "FFFFFFFFFFFFFFFF\n");
    EXPECT_EQ(wide("-1", "hex").status, 1);
    const CliRun hid = wide("1", "hid");
    EXPECT_EQ(hid.status, 1);
    EXPECT_EQ(hid.err, "Wide64: the hid form has no room for a sentinel above a 64-bit frame\n");
    std::filesystem::remove(path);
}

// Every number option, and what the README promises for exit statuses: 1 for
// a value refused, 2 for a command line that cannot be used as written.
TEST(CliWiegand, ExitStatusesAreConsistent) {
    const struct {
        std::vector<std::string> args;
        const char* err;
        int status;
    } cases[] = {
        {{"wiegand", "decode", "--bits", "010", "--in", "bin", "0101010101"}, "", 0},
        {{"wiegand", "decode", "--bits", "65", "1"},
         "proxcred-cli: --bits \"65\" must be 1 to 64\n",
         1},
        {{"wiegand", "decode", "--bits", "0x10", "1"},
         "proxcred-cli: --bits \"0x10\" is not a decimal number\n",
         1},
        {{"wiegand", "encode", "-w", "NoSuch", "--cn", "1"},
         "Unknown Wiegand format \"NoSuch\"\n",
         1},
        {{"wiegand", "decode", "-w", "NoSuch", "1"}, "Unknown Wiegand format \"NoSuch\"\n", 1},
        {{"read", "--port", "010"}, "proxcred-cli: --port \"010\" must be 1 to 9\n", 1},
        {{"read", "--timeout", "-5"}, "proxcred-cli: --timeout \"-5\" must be 1 to 32767\n", 1},
        {{"wiegand", "encode", "-w", "H10301", "--cn", "1", "--out", "dec"}, nullptr, 2},
        {{"wiegand", "encode", "-w", "H10301", "--cn"}, nullptr, 2},
        {{"wiegand", "frobnicate"}, nullptr, 2},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.args[1] << " " << c.args[2];
        if (c.err != nullptr) {
            EXPECT_EQ(run.err, c.err) << c.args[2];
        }
    }
}

TEST(CliWiegand, BitsAppliesToEveryFormAndNoFrameIsEmpty) {
    const auto decoded = [](const std::vector<std::string>& args) {
        std::vector<std::string> all{"wiegand", "decode", "--json"};
        all.insert(all.end(), args.begin(), args.end());
        return cli(all);
    };
    // A 36X card of the translator, read as octal: 36 bits is among the readings.
    const CliRun xceed = decoded({"--in", "octal", "--bits", "36", "0000406200140346"});
    EXPECT_EQ(xceed.status, 0) << xceed.err;
    EXPECT_EQ(nlohmann::json::parse(xceed.out)["bits"], 36);
    const CliRun hid = decoded({"--in", "hid", "--bits", "26", "2006EC0C86"});
    EXPECT_EQ(nlohmann::json::parse(hid.out)["matches"][0]["card"], 1603);
    const CliRun wrongLength = decoded({"--in", "hid", "--bits", "36", "2006EC0C86"});
    EXPECT_EQ(wrongLength.status, 1);
    EXPECT_EQ(nlohmann::json::parse(wrongLength.out)["error"],
              "not a 36-bit frame (the text reads as 26 bits)");
    const CliRun sentinelOnly = decoded({"--in", "hid", "2000000001"});
    EXPECT_EQ(sentinelOnly.status, 1);
    EXPECT_EQ(sentinelOnly.out.find("\"bits\": 0"), std::string::npos) << sentinelOnly.out;
}

// A line too long to read whole is an error on its line, never a card read
// from its first part; the lines after it are still decoded.
TEST(CliWiegand, ALineTooLongIsRefusedAndTheRestDecoded) {
    const std::string input = std::string(70000, '0') + "2006EC0C86\n2006EC0C86\n";
    const CliRun run = cli({"wiegand", "decode", "--json", "--in", "hid"}, input);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "proxcred-cli: line 1: longer than 65536 characters\n");
    std::istringstream lines(run.out);
    std::string first;
    std::string second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(nlohmann::json::parse(first)["error"], "longer than 65536 characters");
    EXPECT_EQ(nlohmann::json::parse(second)["matches"][0]["card"], 1603);
}

// Descriptions are shown with their control characters escaped.
TEST(CliWiegand, ListShowsDescriptionsEscapedAndSources) {
    const auto path = std::filesystem::temp_directory_path() / "proxcred-wiegand-escape.json";
    std::ofstream(path)
        << R"([{"name": "Esc", "description": "ding\u0007\u001b[2J", "bits": 8, "fields": {"card": {"start": 0, "length": 8}}}])";
    const CliRun list = cli({"wiegand", "list", "--formats", path.string()});
    std::filesystem::remove(path);
    EXPECT_NE(list.out.find("ding\\x07\\x1B[2J"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find('\x1b'), std::string::npos);
    const nlohmann::json formats = nlohmann::json::parse(cli({"wiegand", "list", "--json"}).out);
    EXPECT_NE(formats[0]["source"].get<std::string>().find("Proxmark3"), std::string::npos);
}

// A batch keeps every row in its place: the frame, or the reason it has none.
TEST(CliWiegand, CsvBatchKeepsEveryRowInItsPlace) {
    const CliRun run = cli({"wiegand", "encode", "--csv", "-", "--out", "hex"},
                           "Format,Facility,Card,Issue,OEM\r\n"
                           "H10301,118,1603,,\n"
                           "h10301,0118,01603\n"
                           "H10301,256,1,,\n"
                           "H10301,1,1,2,\n"
                           "NoSuch,1,1,,\n"
                           "H10301,1,0x10,,\n"
                           "H10301,1,,,\n"
                           "H10301\n"
                           "\n"
                           "\"H10301,1,1\n"
                           "H10302,,5,,\n");
    EXPECT_EQ(run.out,
              "Format,Facility,Card,Issue,OEM,frame,message\n"
              "H10301,118,1603,,,2EC0C86,\n"
              "h10301,0118,01603,,,2EC0C86,\n"
              "H10301,256,1,,,,Facility code 256 is too large for H10301. 255 is max.\n"
              "H10301,1,1,2,,,H10301 has no issue level\n"
              "NoSuch,1,1,,,,\"Unknown Wiegand format \"\"NoSuch\"\"\"\n"
              "H10301,1,0x10,,,,\"Card number \"\"0x10\"\" is not a decimal number\"\n"
              "H10301,1,,,,,H10301 needs a card number\n"
              "H10301,,,,,,\"Expected Format,Facility,Card,Issue,OEM (the row has 1 field)\"\n"
              "\"H10301,1,1\",,,,,,Line 11: quote not closed\n"
              "H10302,,5,,,000000000B,\n");
    // The two rows of H10301 118/1603 are one card.
    EXPECT_EQ(run.err,
              "proxcred-cli: 7 of 10 rows refused\n"
              "proxcred-cli: standard input: rows 2 and 3 give the same card frame\n");
    EXPECT_EQ(run.status, 1);

    const CliRun clean = cli({"wiegand", "encode", "--csv", "-"}, "H10301,118,1603\nH10301\n");
    EXPECT_EQ(clean.out,
              "H10301,118,1603,,,10111011000000110010000110,\n"
              "H10301,,,,,,\"Expected format,facility,card,issue,oem (the row has 1 field)\"\n");

    const CliRun both = cli({"wiegand", "encode", "--csv", "-", "-w", "H10301"});
    EXPECT_EQ(both.status, 2);
    const CliRun missing = cli({"wiegand", "encode", "--csv", "/no/such/file.csv"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err,
              "proxcred-cli: cannot open /no/such/file.csv: No such file or directory\n");
}

}  // namespace

namespace {

// The decoder's promises through the command line: a BCD digit above 9, or
// a fixed bit that does not hold, fits no format.
TEST(CliWiegandDecode, BrokenBcdDigitsAndFixedBitsFitNoFormat) {
    EXPECT_EQ(
        cli({"wiegand", "decode", "--in", "hex", "--bits", "36", "-w", "H10320", "A2345678C"}).out,
        "A2345678C\n  no format fits\n");
    const CliRun hgen = cli({"wiegand", "encode", "-w", "HGen37", "--cn", "5", "--out", "bin"});
    std::string cleared = hgen.out.substr(0, 37);
    ASSERT_EQ(cleared.back(), '1');
    cleared.back() = '0';
    EXPECT_EQ(cli({"wiegand", "decode", "--in", "bin", "-w", "HGen37", cleared}).out,
              cleared + "\n  no format fits\n");
}

// A refused row keeps exactly the input's columns, so that every result
// stands under its name; the tool's own output read again gives itself.
TEST(CliCsvRows, RefusedRowsKeepTheirColumnsAndOutputReadsBack) {
    const CliRun run = cli({"wiegand", "encode", "--csv", "-", "--out", "hex"},
                           "format,facility,card\nH10301,1,2,extra\nH10301\nH10301,118,1603\n");
    EXPECT_EQ(run.out,
              "format,facility,card,frame,message\n"
              "H10301,1,2,,\"Expected format,facility,card (the row has 4 fields)\"\n"
              "H10301,,,,\"Expected format,facility,card (the row has 1 field)\"\n"
              "H10301,118,1603,2EC0C86,\n");
    const CliRun first = cli({"wiegand", "encode", "--csv", "-", "--out", "hex"},
                             "format,card,facility\nH10301,1603,118\nH10301,1,300\n");
    const CliRun again = cli({"wiegand", "encode", "--csv", "-", "--out", "hex"}, first.out);
    EXPECT_EQ(again.out, first.out);
    EXPECT_EQ(again.out,
              "format,card,facility,frame,message\nH10301,1603,118,2EC0C86,\n"
              "H10301,1,300,,Facility code 300 is too large for H10301. 255 is max.\n");
    const CliRun translator = cli({"encode", "--csv", "-"}, "format,hotstamp\n26,5\n");
    EXPECT_EQ(cli({"encode", "--csv", "-"}, translator.out).out, translator.out);
}

TEST(CliInputFiles, WhatCannotBeReadIsAUsageError) {
    const auto folder = std::filesystem::temp_directory_path();
    for (const std::vector<std::string>& args : {
             std::vector<std::string>{"wiegand", "encode", "--csv", folder.string()},
             std::vector<std::string>{"encode", "--csv", folder.string()},
             std::vector<std::string>{"wiegand", "list", "--formats", folder.string()},
         }) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args[1];
        EXPECT_EQ(run.err, "proxcred-cli: cannot open " + folder.string() + ": Is a directory\n");
    }
    const std::string formats = R"({"formats": []})";
    for (const std::vector<std::string>& args : {
             std::vector<std::string>{"wiegand", "encode", "--formats", "-", "--csv", "-"},
             std::vector<std::string>{"wiegand", "decode", "--formats", "-"},
         }) {
        const CliRun run = cli(args, formats + "\n2006EC0C86\n");
        EXPECT_EQ(run.status, 2) << args[1];
        EXPECT_EQ(run.err,
                  "proxcred-cli: --formats - and the values cannot both come from standard "
                  "input: name a file for one of them\n");
    }
    EXPECT_EQ(cli({"wiegand", "decode", "--formats", "-", "2006EC0C86"}, formats).status, 0);
}

// A format file built to cost more than its size is refused with a message,
// never an abort, even where memory is short.
TEST(CliInputFiles, FilesThatWouldCostMoreThanTheirSize) {
    const auto path = std::filesystem::temp_directory_path() / "proxcred-nested.json";
    const std::size_t half = std::size_t{8} << 20;
    std::ofstream(path) << std::string(half, '[') << std::string(half, ']');
    const CliRun nested = cliInMemory(900000, {"wiegand", "list", "--formats", path.string()});
    EXPECT_EQ(nested.status, 2) << nested.err;
    EXPECT_EQ(nested.err, "proxcred-cli: " + path.string() +
                              ": lists and objects are nested more than 8 deep: a format file "
                              "needs six\n");
    // Eight million positions: the file is read before they are counted.
    std::ofstream file(path);
    file << R"({"formats": [{"name": "Big", "bits": 8, "fields": {"card": {"positions": [0)";
    for (int i = 0; i < 4000000; ++i) file << ",0";
    file << "]}}}]}";
    file.close();
    const CliRun big = cliInMemory(300000, {"wiegand", "list", "--formats", path.string()});
    std::filesystem::remove(path);
    EXPECT_EQ(big.status, 2) << big.err;
    EXPECT_EQ(big.err.find("terminate"), std::string::npos) << big.err;
}

}  // namespace

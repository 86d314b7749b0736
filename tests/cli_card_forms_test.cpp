// proxcred-cli with the forms the field's tools use: CSV columns by their
// header's names, every format at once, pacs, FC:CN, numbers, Flipper key
// files, Proxmark3 lines and EM4100 IDs, as a user runs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_run.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A header's names say which column is which; a header that cannot be used
// is refused before any row is written.
TEST(CliCsvColumns, AreReadByTheirHeadersNames) {
    const CliRun reordered = cli({"wiegand", "encode", "--csv", "-", "--out", "hex"},
                                 "format,card,facility,issue,oem\nH10306,1603,118,,\n");
    EXPECT_EQ(reordered.out,
              "format,card,facility,issue,oem,frame,message\nH10306,1603,118,,,200EC0C86,\n");
    EXPECT_EQ(reordered.status, 0);
    const CliRun twoColumns =
        cli({"wiegand", "encode", "--csv", "-", "--out", "hex"}, " Card , FORMAT\n5,H10302\n");
    EXPECT_EQ(twoColumns.out, " Card , FORMAT,frame,message\n5,H10302,000000000B,\n");
    const CliRun translator =
        cli({"encode", "--csv", "-"}, "format,facility,hotstamp,version\n26,1,12345,\n");
    EXPECT_EQ(
        translator.out,
        "format,facility,hotstamp,version,prox_data,message\n26,1,12345,,0000000600460163,\n");
    for (const auto& [command, header, why] : {
             std::tuple{
                 "wiegand", "format,cardno,facility",
                 "unknown column \"cardno\" (the columns are format, facility, card, issue, oem)"},
             std::tuple{"wiegand", "format,facility", "no \"card\" column"},
             std::tuple{"wiegand", "format,card,CARD", "the column \"card\" appears twice"},
             std::tuple{"encode", "format,facility,version", "no \"hotstamp\" column"},
         }) {
        std::vector<std::string> args{"encode", "--csv", "-"};
        if (std::string(command) == "wiegand") args.insert(args.begin(), "wiegand");
        const CliRun run = cli(args, std::string(header) + "\nH10301,1,1\n");
        EXPECT_EQ(run.status, 2) << header;
        EXPECT_EQ(run.out, "") << header;
        EXPECT_EQ(run.err, "proxcred-cli: standard input: " + std::string(why) + "\n");
    }
}

TEST(CliWiegandEncode, EveryFormatThatHoldsTheNumbers) {
    const CliRun every = cli({"wiegand", "encode", "--fc", "118", "--cn", "1603", "--out", "hid"});
    EXPECT_EQ(every.status, 0);
    const std::vector<std::string> lines = linesOf(every.out);
    EXPECT_EQ(lines.front(), "H10301      2006EC0C86");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "C1k48s      01400076000C86"), lines.end());
    // Formats without a facility code, or too narrow for 118, are left out.
    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("H10302", 0) == 0 || line.rfind("MDI37", 0) == 0;
    }));
    const CliRun json = cli({"wiegand", "encode", "--cn", "5", "--json", "--out", "pacs"});
    const nlohmann::json first = nlohmann::json::parse(linesOf(json.out).front());
    EXPECT_EQ(first["format"], "H10301");
    EXPECT_EQ(first["pacs"], "06000002C0");
    for (const auto& [args, err, status] : {
             std::tuple{std::vector<std::string>{"--fc", "1"},
                        "Every format needs a card number (--cn)\n", 1},
             std::tuple{std::vector<std::string>{"--cn", "0x5"},
                        "Card number \"0x5\" is not a decimal number\n", 1},
             std::tuple{std::vector<std::string>{"--fc", "99999999999", "--cn", "1"},
                        "No format can hold these numbers in the bin form\n", 1},
             std::tuple{std::vector<std::string>{"--cn", "1", "--out", "flipper"}, "", 2},
             std::tuple{std::vector<std::string>{}, "", 2},
         }) {
        std::vector<std::string> all{"wiegand", "encode"};
        all.insert(all.end(), args.begin(), args.end());
        const CliRun run = cli(all);
        EXPECT_EQ(run.status, status);
        if (status == 1) {
            EXPECT_EQ(run.err, err);
        }
    }
}

// Each new form written and read back by the command line; a card file
// named, or on standard input.
TEST(CliWiegandForms, WrittenAndReadBack) {
    const auto encoded = [](const char* format, const char* fc, const char* cn, const char* form) {
        return cli({"wiegand", "encode", "-w", format, "--fc", fc, "--cn", cn, "--out", form}).out;
    };
    EXPECT_EQ(encoded("H10301", "123", "4567", "pacs"), "06BD88EB80\n");
    EXPECT_EQ(encoded("H10301", "118", "1603", "fccn"), "118:01603\n");
    EXPECT_EQ(encoded("H10301", "1", "11572", "number"), "77108\n");
    EXPECT_EQ(encoded("H10304", "1234", "56789", "pm3"), "lf hid clone -r 104d21bbaa\n");
    const std::string flipper = encoded("H10301", "150", "10016", "flipper");
    EXPECT_EQ(flipper,
              "Filetype: Flipper RFID key\nVersion: 1\nKey type: H10301\nData: 96 27 20\n");
    const CliRun fromStdin = cli({"wiegand", "decode", "--in", "flipper", "--json"}, flipper);
    const nlohmann::json line = nlohmann::json::parse(fromStdin.out);
    EXPECT_EQ(line["input"], "-");
    EXPECT_EQ(line["matches"][0]["facility"], 150);
    EXPECT_EQ(line["matches"][0]["card"], 10016);

    const auto path = std::filesystem::temp_directory_path() / "proxcred-cli-key.rfid";
    std::ofstream(path) << encoded("H10304", "1234", "56789", "flipper");
    const CliRun fromFile =
        cli({"wiegand", "decode", "--in", "flipper", path.string(), "/no/such.rfid"});
    std::filesystem::remove(path);
    EXPECT_EQ(linesOf(fromFile.out).at(1).substr(0, 12), "  H10304    ");
    EXPECT_EQ(fromFile.err, "proxcred-cli: /no/such.rfid: No such file or directory\n");
    EXPECT_EQ(fromFile.status, 2);
    // A refused key file is named by its place, exit 1 (the reasons are the library's).
    const CliRun refused = cli({"wiegand", "decode", "--in", "flipper"},
                               "Filetype: Flipper RFID key\nVersion: 1\nKey type: H10301\n");
    EXPECT_EQ(refused.err, "proxcred-cli: file 1: the file has no Data line\n");
    EXPECT_EQ(refused.status, 1);
}

TEST(CliEm, EveryFormAndWhatAFormLeavesUnknown) {
    const CliRun table = cli({"em", "0F0368568B"});
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.out,
              "0F0368568B\n"
              "  ID        0F0368568B\n"
              "  DEZ 8     06837899\n"
              "  DEZ 10    0057169547\n"
              "  DEZ 5.5   00872.22155\n"
              "  DEZ 3.5A  015.22155\n"
              "  DEZ 3.5B  003.22155\n"
              "  DEZ 3.5C  104.22155\n"
              "  DEZ 14    00064481678987\n"
              "  W26       104:22155  (H10301, hid 2006D0AD17)\n");
    const CliRun partial = cli({"em", "--in", "dez8", "--json"}, "06837899\n");
    const nlohmann::json json = nlohmann::json::parse(partial.out);
    EXPECT_EQ(json["id"], "????68568B");
    EXPECT_EQ(json["unknown_bytes"], nlohmann::json::array({1, 2}));
    EXPECT_TRUE(json["forms"]["dez10"].is_null());
    EXPECT_EQ(json["forms"]["dez3.5c"], "104.22155");
    EXPECT_EQ(cli({"em", "--out", "pm3", "0F0368568B"}).out, "lf em 410x clone --id 0F0368568B\n");
    const std::string key = cli({"em", "--out", "flipper", "0F0368568B"}).out;
    EXPECT_EQ(key,
              "Filetype: Flipper RFID key\nVersion: 1\nKey type: EM4100\nData: 0F 03 68 56 8B\n");
    EXPECT_EQ(cli({"em", "--in", "flipper", "--out", "dez10"}, key).out, "0057169547\n");
    for (const auto& [args, why] : {
             std::pair{std::vector<std::string>{"0F0368568"},
                       "proxcred-cli: argument 1: \"0F0368568\" is not an EM4100 ID: 9 hex digits, "
                       "not 10\n"},
             std::pair{std::vector<std::string>{"0F0368568B0"},
                       "proxcred-cli: argument 1: \"0F0368568B0\" is not an EM4100 ID: 11 hex "
                       "digits, not 10\n"},
             std::pair{std::vector<std::string>{"--in", "dez8", "--out", "dez10", "06837899"},
                       "proxcred-cli: argument 1: DEZ 10 needs byte 2 of the ID, which the input "
                       "does not tell\n"},
             std::pair{std::vector<std::string>{"--in", "dez8", "--out", "flipper", "06837899"},
                       "proxcred-cli: argument 1: writing a card needs the whole ID: bytes 1 and 2 "
                       "unknown\n"},
         }) {
        std::vector<std::string> all{"em"};
        all.insert(all.end(), args.begin(), args.end());
        const CliRun run = cli(all);
        EXPECT_EQ(run.err, why);
        EXPECT_EQ(run.status, 1);
    }
    EXPECT_EQ(cli({"em", "--json", "--out", "id", "0F0368568B"}).status, 2);
}

}  // namespace

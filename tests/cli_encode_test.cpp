// proxcred-cli encode: hotstamps and CSV batches as users give them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_run.h"

namespace {

TEST(CliEncode, OneLinePerHotstampAndTheMessagesOnStandardError) {
    const CliRun run = cli({"encode", "-f", "26", "-F", "123", "12345", "70000", "abc", ""});
    EXPECT_EQ(run.out, "0000000475460163\n????????????????\n\n\n");
    EXPECT_EQ(run.err,
              "Hotstamp 70000 is too large. 65535 is max.\nInvalid Serial Number\n"
              "No hotstamp number\n");
    EXPECT_EQ(run.status, 1);
}

TEST(CliEncode, ExitCodes) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* out;
    } cases[] = {
        {{"encode", "-f", "26", "-F", "1", "1"}, 0, "0000000600400002\n"},
        {{"encode", "-f", "37", "34359738367"}, 0, "0000777777777777\n"},
        {{"encode", "-f", "Proxif", "-F", "100", "-V", "1", "12345"}, 0, "0001001440030071\n"},
        {{"encode", "-f", "35X", "-F", " 100 ", "12.5"}, 0, "0000601440000031\n"},
        {{"encode", "-f", "26", "-F", "1", "--", "-5"}, 1, "????????????????\n"},
        {{"encode", "-f", "35x", "1"}, 1, "????????????????\n"},
        {{"encode", "-f", "26", "-F", "abc", "1"}, 1, "\n"},
        {{"encode", "-f", "35X", "3000000000"}, 1, "\n"},
        {{"encode", "-f", "26"}, 2, ""},
        {{"encode", "1"}, 2, ""},
        {{"encode", "--csv", "-", "-f", "26"}, 2, ""},
        {{"encode", "--csv", "/nonexistent/file.csv"}, 2, ""},
        {{}, 2, ""},
        {{"frobnicate"}, 2, ""},
        {{"formats"}, 0, nullptr},
        {{"--help"}, 0, nullptr},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        std::string where;
        for (const auto& arg : c.args) where += arg + " ";
        EXPECT_EQ(run.status, c.status) << where << run.err;
        if (c.out != nullptr) {
            EXPECT_EQ(run.out, c.out) << where;
        }
    }
}

TEST(CliEncode, CsvRowsGetProxDataAndMessage) {
    const std::string input =
        "format,hotstamp,facility,version\r\n"
        "26,12345,123,\n"
        "26,70000,1,0\n"
        "\n"
        "Proxif,12345,100,1\n"
        "\"37\",\"1\",\"1\"\n"
        "Casi,12345\n"
        "26,\"1,5\",1,0\n"
        "26\n"
        ",1,1,1\n"
        "\"Pro\"\"xif\",1,1,1\n"
        "26,\"1\n";
    const CliRun run = cli({"encode", "--csv", "-"}, input);
    EXPECT_EQ(run.out,
              "format,hotstamp,facility,version,prox_data,message\n"
              "26,12345,123,,0000000475460163,\n"
              "26,70000,1,0,????????????????,Hotstamp 70000 is too large. 65535 is max.\n"
              "Proxif,12345,100,1,0001001440030071,\n"
              "37,1,1,,0001000004000002,\n"
              "Casi,12345,,,0000000000030071,\n"
              "26,\"1,5\",1,0,,Invalid Serial Number\n"
              "26,,,,,\"Expected format,hotstamp,facility,version (the row has 1 field)\"\n"
              ",1,1,1,,Undefined card format / facility code\n"
              "\"Pro\"\"xif\",1,1,1,????????????????,\"Unknown card format \"\"Pro\"\"xif\"\"\"\n"
              "26,1,,,,Line 12: quote not closed\n");
    EXPECT_EQ(run.err, "proxcred-cli: 6 of 10 rows refused\n");
    EXPECT_EQ(run.status, 1);
}

TEST(CliEncode, CsvFromAFileWithoutHeaderSucceeds) {
    const auto path = std::filesystem::temp_directory_path() / "proxcred-cli-rows.csv";
    std::ofstream(path) << "26,1,1\n34,65535,65535,0\n";
    const CliRun run = cli({"encode", "--csv", path.string()});
    std::filesystem::remove(path);
    EXPECT_EQ(run.out, "26,1,1,,0000000600400002,\n34,65535,65535,0,0000277777777777,\n");
    EXPECT_EQ(run.status, 0);
}

TEST(CliInput, WhatRealFilesCarry) {
    const struct {
        const char* what;
        std::vector<std::string> args;
        std::string input;
        std::string out;  // what the output starts with
        int status;
    } cases[] = {
        {"a byte-order mark before the header",
         {"encode", "--csv", "-"},
         "\xEF\xBB\xBF"
         "format,hotstamp,facility,version\r\n26,1,1,0\r\n",
         "format,hotstamp,facility,version,prox_data,message\n26,1,1,0,0000000600400002,\n",
         0},
        {"a byte-order mark before card data",
         {"split", "--json"},
         "\xEF\xBB\xBF"
         "0000000600400002\n",
         "{\"data\": \"0000000600400002\", \"bits\": ",
         0},
        {"lone CR line ends",
         {"encode", "--csv", "-"},
         "26,1,1,0\r26,2,1,0\r\r26,3,1,0",
         "26,1,1,0,0000000600400002,\n26,2,1,0,0000000600400004,\n"
         "26,3,1,0,0000000600400007,\n",
         0},
        {"a quote that never closes takes no valid row with it",
         {"encode", "--csv", "-"},
         "26,\"1,1,0\n26,2,1,0\n",
         "26,\"1,1,0\",,,,Line 1: quote not closed\n26,2,1,0,0000000600400004,\n",
         1},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args, c.input);
        EXPECT_EQ(run.out.substr(0, c.out.size()), c.out) << c.what;
        EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err;
    }
}

TEST(CliInput, AQuotedFieldOverTooManyLinesIsReportedAlone) {
    std::string input = "26,\"first line of a long field\n";
    for (int i = 0; i < 70; ++i) input += "more of it\n";
    input += "end of it\",1,0\n26,1,1,0\n";
    const CliRun run = cli({"encode", "--csv", "-"}, input);
    EXPECT_EQ(run.out.rfind("26,first line of a long field,,,,Line 1: quote not closed\n", 0), 0U)
        << run.out;
    EXPECT_NE(run.out.find("\n26,1,1,0,0000000600400002,\n"), std::string::npos) << run.out;
}

}  // namespace

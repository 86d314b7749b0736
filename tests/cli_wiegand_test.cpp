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
    EXPECT_EQ(formats.size(), 43U);
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
    EXPECT_EQ(nlohmann::json::parse(second)["error"], "'x' is not a digit of the form");
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

}  // namespace

// proxcred-cli split: the table and JSON lines.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli_run.h"

namespace {

TEST(CliSplit, ReadableTable) {
    const CliRun run = cli({"split", "0000777777777777"});
    EXPECT_EQ(run.out,
              "card data  0000777777777777\n"
              "bits       000000000000111111111111111111111111111111111111\n"
              "  26 Bit            Not 26 Bit\n"
              "  34 Bit            Not 34 Bit\n"
              "  35 Bit            Not 35 Bit\n"
              "  35 Bit Xceed ID   Not 35X\n"
              "  36 Bit Xceed ID   Not 36 Bit X\n"
              "  37 Bit Xceed ID   hotstamp 524287, facility code 65535\n"
              "  37 Bit            hotstamp 524287, facility code 65535, without facility code "
              "34359738367\n"
              "  Proxif            Not Proxif\n"
              "  Casi              Not Casi\n");
    EXPECT_EQ(run.status, 0);
}

TEST(CliSplit, JsonLinesForEveryLineOfStandardInput) {
    const std::string tooLong(70000, '0');
    const CliRun run =
        cli({"split", "--json"}, "0000000600400002\n\n12 8\n" + tooLong + "\n0007777773777777");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "proxcred-cli: line 3: ' ' at position 3 is not an octal digit\n"
              "proxcred-cli: line 4: longer than 65536 characters\n");
    std::istringstream lines(run.out);
    std::vector<nlohmann::json> objects;
    for (std::string line; std::getline(lines, line);)
        objects.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(objects.size(), 5U);

    const nlohmann::json& card26 = objects[0];
    EXPECT_EQ(card26["data"], "0000000600400002");
    EXPECT_EQ(card26["bits"].get<std::string>().size(), 48U);
    ASSERT_EQ(card26["results"].size(), 9U);
    EXPECT_EQ(card26["results"][0],
              nlohmann::json::parse(R"({"format": "26", "name": "26 Bit", "match": true,
                                        "hotstamp": 1, "facility": 1})"));
    EXPECT_EQ(card26["results"][3],
              nlohmann::json::parse(R"({"format": "35X", "name": "35 Bit Xceed ID",
                                        "match": false, "verdict": "Not 35X"})"));
    EXPECT_EQ(card26["results"][7]["version"], 0);
    EXPECT_EQ(card26["results"][8]["hotstamp"], 100794370);

    EXPECT_EQ(objects[1]["bits"], "");
    EXPECT_EQ(objects[1]["results"][8]["verdict"], "Not Casi");
    EXPECT_EQ(objects[2],
              nlohmann::json::parse(
                  R"({"data": "12 8", "error": "' ' at position 3 is not an octal digit"})"));
    EXPECT_TRUE(objects[3].contains("error"));
    EXPECT_EQ(objects[4]["results"][7]["hotstamp"], 1048575);
}

TEST(CliSplit, ArgumentsAreSplitInTurnEvenAfterABadOne) {
    const CliRun run = cli({"split", "--json", "9", "600400002"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\"data\": \"600400002\""), std::string::npos);
    EXPECT_EQ(run.err, "proxcred-cli: argument 1: '9' at position 1 is not an octal digit\n");
}

}  // namespace

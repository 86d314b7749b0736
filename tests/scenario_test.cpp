// Scenario scripts for the form, run through the script driver. Lines
// starting with "> " after a command are what that command must print,
// exactly; after "dump" they are property lines that the dump must contain.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "script_session.h"

namespace proxcred {
namespace {

using testing::linesOf;

struct Step {
    std::string command;
    std::size_t lineNumber = 0;
    std::vector<std::string> expected;
};

std::vector<Step> readScenario(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::vector<Step> steps;
    std::string line;
    for (std::size_t number = 1; std::getline(file, line); ++number) {
        if (line.rfind("> ", 0) == 0) {
            if (!steps.empty()) steps.back().expected.push_back(line.substr(2));
        } else if (!line.empty() && line.front() != '#') {
            steps.push_back({line, number, {}});
        }
    }
    return steps;
}

class Scenario : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(Scenario, BehavesAsWritten) {
    std::ostringstream out;
    std::ostringstream err;
    ScriptRunner runner(out, err);
    for (const Step& step : readScenario(GetParam())) {
        out.str("");
        ASSERT_TRUE(runner.runLine(step.command, step.lineNumber)) << err.str();
        const std::vector<std::string> printed = linesOf(out.str());
        const std::string where = GetParam().filename().string() + ":" +
                                  std::to_string(step.lineNumber) + " " + step.command;
        if (step.command != "dump") {
            EXPECT_EQ(printed, step.expected) << where;
            continue;
        }
        for (const std::string& property : step.expected) {
            EXPECT_NE(std::find(printed.begin(), printed.end(), property), printed.end())
                << where << ": no " << property;
        }
    }
}

std::vector<std::filesystem::path> scenarioFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(PROXCRED_SCENARIOS)) {
        if (entry.path().extension() == ".script") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

INSTANTIATE_TEST_SUITE_P(Form, Scenario, ::testing::ValuesIn(scenarioFiles()),
                         [](const auto& scenario) { return scenario.param.stem().string(); });

}  // namespace
}  // namespace proxcred

#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "formscript/script_runner.h"

namespace proxcred::testing {

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

// A form run by script lines, as proxcred-formscript runs it. run() fails the
// test on a line the driver refuses and answers what the lines printed.
class ScriptSession {
  public:
    std::vector<std::string> run(const std::vector<std::string>& lines) {
        out_.str("");
        for (const std::string& line : lines) {
            err_.str("");
            EXPECT_TRUE(runner_.runLine(line, ++lineNumber_)) << line << ": " << err_.str();
        }
        return linesOf(out_.str());
    }

    frmCorvel& form() { return *runner_.form(); }
    fakes::FakePlatform& fakes() { return runner_.platform(); }

  private:
    std::ostringstream out_;
    std::ostringstream err_;
    ScriptRunner runner_{out_, err_};
    std::size_t lineNumber_ = 0;
};

}  // namespace proxcred::testing

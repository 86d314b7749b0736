// proxcred-formscript as a program: bad scripts are reported.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli_run.h"

namespace {

TEST(FormScript, BadScriptsAreReported) {
    const auto run = [](const std::vector<std::string>& args, const std::string& script) {
        std::vector<std::string> all{PROXCRED_FORMSCRIPT};
        all.insert(all.end(), args.begin(), args.end());
        const int devNull = open("/dev/null", O_WRONLY);
        CliRun result = runWithOutputOn(all, devNull, script);
        close(devNull);
        return result;
    };
    EXPECT_EQ(run({}, "frobnicate\nload\nfrobnicate txtData\n").err,
              "line 1: unknown command 'frobnicate'\nline 3: unknown command 'frobnicate'\n");
    const CliRun directory = run({"/"}, "");
    EXPECT_EQ(directory.status, 2);
    EXPECT_EQ(directory.err, "proxcred-formscript: cannot read /: Is a directory\n");
    EXPECT_EQ(run({}, "load\nclick \x1b]0;title\x07\n").err,
              "line 2: no control named '\\x1B]0;title\\x07'\n");
    const CliRun option = run({"--verbose\x1b"}, "");
    EXPECT_EQ(option.status, 2);
    EXPECT_EQ(option.err.substr(0, option.err.find('\n')),
              "proxcred-formscript: unknown option --verbose\\x1B");
}

}  // namespace

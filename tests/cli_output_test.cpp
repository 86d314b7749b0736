// Output that cannot be written never passes for success, and a card read
// from the lock survives it; Ctrl+C cancels a read cleanly.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli_run.h"

namespace {

TEST(CommandLineOutput, AFailedWriteIsReportedAndNeverPassesForSuccess) {
    const std::string csv = "format,hotstamp,facility,version\n26,1,1,0\n";
    const struct {
        std::vector<std::string> args;
        std::string input;
    } commands[] = {
        {{PROXCRED_CLI, "formats"}, ""},
        {{PROXCRED_CLI, "encode", "-f", "26", "-F", "1", "1"}, ""},
        {{PROXCRED_CLI, "encode", "--csv", "-"}, csv},
        {{PROXCRED_CLI, "split", "0000000600400002"}, ""},
        {{PROXCRED_CLI, "split", "--json"}, "0000000600400002\n"},
        {{PROXCRED_CLI, "wiegand", "encode", "--csv", "-"}, "H10301,1,1\n"},
        {{PROXCRED_CLI, "wiegand", "decode", "--json"}, "2004000001\n"},
        {{PROXCRED_FORMSCRIPT}, "load\ndump\n"},
    };
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    for (const auto& command : commands) {
        const std::string what = command.args.back();
        const CliRun toFullDisk = runWithOutputOn(command.args, full, command.input);
        EXPECT_EQ(toFullDisk.status, command.args.size() == 1 ? 2 : 1) << what;
        EXPECT_NE(toFullDisk.err.find("cannot write the output: No space left on device"),
                  std::string::npos)
            << what << ": " << toFullDisk.err;

        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        close(ends[0]);  // nobody reads: every write fails
        const CliRun toClosedPipe = runWithOutputOn(command.args, ends[1], command.input);
        close(ends[1]);
        EXPECT_NE(toClosedPipe.status, 0) << what;
        EXPECT_NE(toClosedPipe.err.find("cannot write the output: Broken pipe"), std::string::npos)
            << what << ": " << toClosedPipe.err;
    }
    close(full);
}

// Ctrl+C during a read cancels it cleanly: the reader sends STOP for its
// request, so the lock is not left reading, and the tool ends with 130.
TEST(CliRead, CtrlCCancelsTheReadAndStopsTheLock) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("proxcred-ctrl-c-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string lock = (dir / "lock").string();
    const std::string log = (dir / "log").string();
    const std::string script =
        shellQuoted(PROXCRED_LOCKSIM) + " --link " + shellQuoted(lock) + " --no-card --log " +
        shellQuoted(log) + " >/dev/null & sim=$!; for i in $(seq 100); do [ -e " +
        shellQuoted(lock) +
        " ] && break; sleep 0.05; done; PROXCRED_SERIAL_PORTS=" + shellQuoted(lock) + " " +
        shellQuoted(PROXCRED_CLI) + " read --timeout 5000 2>" +
        shellQuoted((dir / "err").string()) + " & cli=$!; for i in $(seq 100); do [ -s " +
        shellQuoted(log) +
        " ] && break; sleep 0.05; done; kill -INT $cli; wait $cli; status=$?; sleep 0.3; "
        "kill $sim; exit $status";
    const int status = std::system(("sh -c " + shellQuoted(script)).c_str());
    const std::string err = readFile(dir / "err");
    const std::string requests = readFile(dir / "log");
    std::filesystem::remove_all(dir);
    EXPECT_EQ(WEXITSTATUS(status), 130) << err;
    EXPECT_EQ(err, "Cancelled\n");
    ASSERT_EQ(requests.rfind("READ ", 0), 0U) << requests;
    const std::string number = requests.substr(5, requests.find('\n') - 5);
    EXPECT_EQ(requests, "READ " + number + "\nSTOP " + number + "\n");
}

TEST(CommandLineOutput, ACardReadFromTheLockIsNotLostWithTheOutput) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("proxcred-read-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string lock = (dir / "lock").string();
    const std::string script = shellQuoted(PROXCRED_LOCKSIM) + " --link " + shellQuoted(lock) +
                               " --card 0000000600400002 >/dev/null & sim=$!; "
                               "for i in $(seq 100); do [ -e " +
                               shellQuoted(lock) +
                               " ] && break; sleep 0.05; done; "
                               "PROXCRED_SERIAL_PORTS=" +
                               shellQuoted(lock) + " " + shellQuoted(PROXCRED_CLI) +
                               " read --split --timeout 3000 >/dev/full 2>" +
                               shellQuoted((dir / "err").string()) +
                               "; status=$?; kill $sim; exit $status";
    const int status = std::system(("sh -c " + shellQuoted(script)).c_str());
    const std::string err = readFile(dir / "err");
    std::filesystem::remove_all(dir);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(err,
              "proxcred-cli: cannot write the output: No space left on device; "
              "the card read was 0000000600400002\n");
}

}  // namespace

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
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
              "26,,\"Expected format,hotstamp,facility,version\"\n"
              ",1,1,1,,Undefined card format / facility code\n"
              "\"Pro\"\"xif\",1,1,1,????????????????,\"Unknown card format \"\"Pro\"\"xif\"\"\"\n"
              "26,1,,Line 12: quote not closed\n");
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

// Runs a program with its standard output on `outFd` and SIGPIPE ignored,
// as many process supervisors and some shells run it.
CliRun runWithOutputOn(const std::vector<std::string>& args, int outFd,
                       const std::string& input = "") {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("proxcred-output-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in", std::ios::binary) << input;
    const std::string in = (dir / "in").string();
    const std::string err = (dir / "err").string();
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGPIPE, SIG_IGN);
        dup2(open(in.c_str(), O_RDONLY), 0);
        dup2(outFd, 1);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    CliRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}, readFile(dir / "err")};
    std::filesystem::remove_all(dir);
    return run;
}

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
         "26,\"1,1,0\",,Line 1: quote not closed\n26,2,1,0,0000000600400004,\n",
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
    EXPECT_EQ(run.out.rfind("26,first line of a long field,,Line 1: quote not closed\n", 0), 0U)
        << run.out;
    EXPECT_NE(run.out.find("\n26,1,1,0,0000000600400002,\n"), std::string::npos) << run.out;
}

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
}

}  // namespace

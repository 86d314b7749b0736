#pragma once

// Runs proxcred-cli as a user does, through the shell, with files for its
// standard streams.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string shellQuoted(const std::string& arg) {
    std::string quoted = "'";
    for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs proxcred-cli with the arguments and standard input given.
CliRun cli(const std::vector<std::string>& args, const std::string& input = "") {
    const auto dir =
        std::filesystem::temp_directory_path() / ("proxcred-cli-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in", std::ios::binary) << input;
    std::string command = shellQuoted(PROXCRED_CLI);
    for (const std::string& arg : args) command += " " + shellQuoted(arg);
    command += " <" + shellQuoted(dir / "in") + " >" + shellQuoted(dir / "out") + " 2>" +
               shellQuoted(dir / "err");
    const int status = std::system(command.c_str());
    CliRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir / "out"),
               readFile(dir / "err")};
    std::filesystem::remove_all(dir);
    return run;
}

}  // namespace

#pragma once

// Runs proxcred-cli as a user does, through the shell, with files for its
// standard streams.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
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

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline std::string shellQuoted(const std::string& arg) {
    std::string quoted = "'";
    for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs proxcred-cli with the arguments and standard input given; `prefix`
// is shell text run before it in the same shell (a ulimit).
inline CliRun cliAfter(const std::string& prefix, const std::vector<std::string>& args,
                       const std::string& input = "") {
    const auto dir =
        std::filesystem::temp_directory_path() / ("proxcred-cli-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in", std::ios::binary) << input;
    std::string command = prefix + "exec " + shellQuoted(PROXCRED_CLI);
    for (const std::string& arg : args) command += " " + shellQuoted(arg);
    command += " <" + shellQuoted(dir / "in") + " >" + shellQuoted(dir / "out") + " 2>" +
               shellQuoted(dir / "err");
    const int status = std::system(command.c_str());
    CliRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir / "out"),
               readFile(dir / "err")};
    std::filesystem::remove_all(dir);
    return run;
}

inline CliRun cli(const std::vector<std::string>& args, const std::string& input = "") {
    return cliAfter("", args, input);
}

// Whether this build (and so the tool it runs) has AddressSanitizer, which
// reserves terabytes of address space for itself at start.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
inline constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
inline constexpr bool kAddressSanitizer = false;
#endif

// Runs proxcred-cli with at most `kilobytes` of address space; without the
// limit under AddressSanitizer, which could not start within it.
inline CliRun cliInMemory(std::size_t kilobytes, const std::vector<std::string>& args) {
    if (kAddressSanitizer) return cliAfter("", args);
    return cliAfter("ulimit -v " + std::to_string(kilobytes) + "; ", args);
}

// Runs a program with its standard output on `outFd` and SIGPIPE ignored,
// as many process supervisors and some shells run it.
inline CliRun runWithOutputOn(const std::vector<std::string>& args, int outFd,
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

}  // namespace

// proxcred-formscript: replays a scenario against the translator form with
// fake clipboard, ports and card reader, and prints what happens.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "formscript/script_runner.h"
#include "text/shown_text.h"
#include "version/version.h"

namespace {

// The whole script, or nothing with the reason in `error` (a directory, a
// read error). Scripts are short; reading them whole keeps a read error from
// passing for the end of the script.
std::optional<std::string> readScript(std::FILE* file, std::string& error) {
    std::string text;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    if (std::ferror(file) != 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    return text;
}

int fail(const std::string& what) {
    std::cerr << "proxcred-formscript: " << what << '\n';
    return 2;
}

constexpr const char* kUsage =
    "usage: proxcred-formscript [SCRIPT]   (standard input without SCRIPT)\n";

// The exit status when the command line is answered or refused without
// running a script: --help, --version, an unknown option, too many arguments.
std::optional<int> answeredCommandLine(int argc, char** argv) {
    const std::string_view option = argc == 2 ? argv[1] : "";
    if (option == "-h" || option == "--help") {
        std::cout << kUsage;
        return 0;
    }
    if (option == "--version") {
        std::cout << "proxcred-formscript " << proxcred::kVersion << '\n';
        return 0;
    }
    // A script whose name starts with '-' is named ./-name, as with any tool.
    const bool unknownOption = option.size() > 1 && option.front() == '-';
    if (argc <= 2 && !unknownOption) return std::nullopt;
    if (unknownOption) {
        std::cerr << "proxcred-formscript: unknown option " << proxcred::shownText(option) << '\n';
    }
    std::cerr << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = answeredCommandLine(argc, argv)) return *status;
    const std::string name = argc == 2 ? proxcred::shownText(argv[1]) : "standard input";
    const auto close = [](std::FILE* stream) {
        if (stream != stdin) std::fclose(stream);
    };
    const std::unique_ptr<std::FILE, decltype(close)> file(
        argc == 2 ? std::fopen(argv[1], "rb") : stdin, close);
    if (!file) return fail("cannot open " + name + ": " + std::strerror(errno));
    std::string error;
    const std::optional<std::string> text = readScript(file.get(), error);
    if (!text) return fail("cannot read " + name + ": " + error);

    proxcred::ScriptRunner runner(std::cout, std::cerr);
    std::istringstream script(*text);
    const int status = runner.run(script);
    errno = 0;
    std::cout.flush();
    if (!std::cout) {
        return fail(std::string("cannot write the output: ") +
                    (errno != 0 ? std::strerror(errno) : "write error"));
    }
    return status;
}

#include "cli/open_file.h"

#include <cerrno>
#include <filesystem>

#ifdef _WIN32
#include "win32_text/unicode.h"
#endif

namespace proxcred::cli {

#ifdef _WIN32
std::vector<std::string> utf8Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) arguments.push_back(win32::utf8Of(argv[i]));
    return arguments;
}
#endif

bool readAtMost(std::FILE* file, std::size_t limit, std::string& text) {
    char chunk[4096];
    for (std::size_t got = 0;
         text.size() <= limit && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        text.append(chunk, got);
    return std::ferror(file) == 0;
}

FilePtr openInput(const std::string& path) {
    if (path == "-") return {stdin, [](std::FILE*) { return 0; }};
    // Linux opens a folder and fails on reading it, Windows fails to open
    // it: told the same way on both, before anything is read.
    std::error_code ignored;
    const std::u8string utf8(path.begin(), path.end());
    std::FILE* file = nullptr;
    if (std::filesystem::is_directory(std::filesystem::path(utf8), ignored)) {
        errno = EISDIR;
    } else {
#ifdef _WIN32
        file = _wfopen(win32::utf16Of(path).c_str(), L"rb");
#else
        file = std::fopen(path.c_str(), "rb");
#endif
    }
    return {file, [](std::FILE* opened) { return opened == nullptr ? 0 : std::fclose(opened); }};
}

}  // namespace proxcred::cli

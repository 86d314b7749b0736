#include "cli/open_file.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace proxcred::cli {

#ifdef _WIN32
namespace {

std::wstring wide(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                        length);
    return text;
}

std::string utf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), length, nullptr, nullptr);
    return converted;
}

}  // namespace

std::vector<std::string> utf8Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) arguments.push_back(utf8(argv[i]));
    return arguments;
}
#endif

FilePtr openInput(const std::string& path) {
    if (path == "-") return {stdin, [](std::FILE*) { return 0; }};
#ifdef _WIN32
    std::FILE* file = _wfopen(wide(path).c_str(), L"rb");
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
    return {file, [](std::FILE* opened) { return opened == nullptr ? 0 : std::fclose(opened); }};
}

}  // namespace proxcred::cli

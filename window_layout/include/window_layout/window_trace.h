#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#undef MessageBox
#endif

// The window's trace, for its tests and for support, in both views: with
// PROXCRED_TRACE naming a file, every message shown, clipboard write and
// change of a control is appended to it, one line each (the lines
// proxcred-formscript prints).
namespace proxcred::layout {

class WindowTrace {
  public:
    static constexpr const char* kVariable = "PROXCRED_TRACE";

    void write(std::string_view kind, std::string_view text) const {
        writeLine(std::string(kind) + ": " + std::string(text));
    }

    void writeLine(std::string_view line) const {
        std::FILE* file = open();
        if (file == nullptr) return;
        std::fwrite(line.data(), 1, line.size(), file);
        std::fputc('\n', file);
        std::fclose(file);
    }

  private:
    // The file named, or nothing; Windows names it in UTF-16.
    static std::FILE* open() {
#ifdef _WIN32
        const wchar_t* path = _wgetenv(L"PROXCRED_TRACE");
        return path == nullptr || *path == L'\0' ? nullptr : _wfopen(path, L"ab");
#else
        const char* path = std::getenv(kVariable);
        return path == nullptr || *path == '\0' ? nullptr : std::fopen(path, "ab");
#endif
    }
};

}  // namespace proxcred::layout

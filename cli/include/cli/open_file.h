#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace proxcred::cli {

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Opens a file for reading by its UTF-8 path ("-" is standard input, which is
// not closed); a folder is not opened (errno EISDIR). On Windows the path goes to the system as
// UTF-16, so names outside the ANSI code page open as they do on Linux.
FilePtr openInput(const std::string& path);

// Reads the file to its end, or until `text` holds more than `limit` bytes
// (so that a caller can tell a file too large without reading it all);
// false when reading failed.
bool readAtMost(std::FILE* file, std::size_t limit, std::string& text);

#ifdef _WIN32
// The command line as UTF-8, from the wide arguments Windows passes.
std::vector<std::string> utf8Arguments(int argc, wchar_t** argv);
#endif

}  // namespace proxcred::cli

#include "cli/input_values.h"

#include <cerrno>
#include <cstring>

#include "cli/line_reader.h"
#include "cli/open_file.h"
#include "cli/progress.h"
#include "text/shown_text.h"

namespace proxcred::cli {

bool forEachValue(const std::vector<std::string>& arguments, std::FILE* in, TextSink& out,
                  TextSink& err,
                  const std::function<void(std::string_view, const ValueSource&)>& each) {
    if (!arguments.empty()) {
        for (std::size_t i = 0; i < arguments.size() && out.ok(); ++i)
            each(arguments[i], {"argument", i + 1, false});
        return true;
    }
    LineReader lines(in);
    Progress progress("lines");
    std::string line;
    while (out.ok() && lines.next(line)) {
        progress.advance(lines.lineNumber());
        each(line, {"line", lines.lineNumber(), lines.lastWasCut()});
    }
    if (lines.failed()) {
        err << "proxcred-cli: cannot read the input\n";
        return false;
    }
    return true;
}

namespace {

constexpr std::size_t kLargestCardFile = std::size_t{64} << 10;

// The file's text; false, with the reason, when it cannot be read or is
// larger than a card's file can be.
bool readWhole(const std::string& path, std::FILE* in, std::string& text, std::string& problem) {
    const FilePtr opened =
        path == "-" ? FilePtr(in, [](std::FILE* /*unused*/) { return 0; }) : openInput(path);
    if (!opened) {
        problem = std::strerror(errno);
        return false;
    }
    if (!readAtMost(opened.get(), kLargestCardFile, text)) {
        problem = "cannot read it";
        return false;
    }
    if (text.size() > kLargestCardFile) {
        problem = "larger than a card's file can be (64 KiB)";
        return false;
    }
    return true;
}

}  // namespace

bool forEachFile(const std::vector<std::string>& paths, std::FILE* in, TextSink& err,
                 const std::function<void(const WholeFile&)>& each) {
    static const std::vector<std::string> kStandardInput{"-"};
    const std::vector<std::string>& named = paths.empty() ? kStandardInput : paths;
    bool allRead = true;
    for (std::size_t i = 0; i < named.size(); ++i) {
        WholeFile file{named[i], i + 1, {}};
        std::string problem;
        if (!readWhole(named[i], in, file.text, problem)) {
            err << "proxcred-cli: " << shownText(named[i]) << ": " << problem << '\n';
            allRead = false;
            continue;
        }
        each(file);
    }
    return allRead;
}

}  // namespace proxcred::cli

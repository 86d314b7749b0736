#include "cli/input_values.h"

#include "cli/line_reader.h"
#include "cli/progress.h"

namespace proxcred::cli {

bool forEachValue(const std::vector<std::string>& arguments, std::FILE* in, std::ostream& out,
                  std::ostream& err,
                  const std::function<void(std::string_view, const ValueSource&)>& each) {
    if (!arguments.empty()) {
        for (std::size_t i = 0; i < arguments.size() && out; ++i)
            each(arguments[i], {"argument", i + 1, false});
        return true;
    }
    LineReader lines(in);
    Progress progress("lines");
    std::string line;
    while (out && lines.next(line)) {
        progress.advance(lines.lineNumber());
        each(line, {"line", lines.lineNumber(), lines.lastWasCut()});
    }
    if (lines.failed()) {
        err << "proxcred-cli: cannot read the input\n";
        return false;
    }
    return true;
}

}  // namespace proxcred::cli

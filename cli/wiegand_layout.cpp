// wiegand list --layout NAME: a format's layout in the mask notation, to
// check by eye against a site's documentation.
#include "cli/wiegand_command.h"
#include "text/shown_text.h"
#include "wiegand/mask_notation.h"

namespace proxcred::cli {

int wiegandLayout(const wiegand::Library& library, std::string_view name, TextSink& out,
                  TextSink& err) {
    const wiegand::Format* format = library.find(name);
    if (format == nullptr) {
        err << "Unknown Wiegand format \"" << shownText(name) << "\"\n";
        return 1;
    }
    for (const std::string& line : wiegand::notationOf(*format)) out << line << '\n';
    // What the letters cannot say.
    for (const wiegand::Field& field : format->fields) {
        const std::string fieldTitle = std::string(wiegand::fieldName(field.kind));
        if (field.bcd) out << fieldTitle << ": decimal digits of 4 bits each (BCD)\n";
        const std::uint64_t all =
            field.width() >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << field.width()) - 1;
        if (!field.bcd && field.max != all) out << fieldTitle << ": at most " << field.max << '\n';
    }
    return 0;
}

}  // namespace proxcred::cli

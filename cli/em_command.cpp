// em: EM4100 IDs in the forms installers read off fobs and readers.
#include "cli/em_command.h"

#include "cli/input_values.h"
#include "json_text/json_text.h"
#include "text/shown_text.h"
#include "wiegand/card_text.h"

namespace proxcred::cli {
namespace {

using em4100::Form;
using em4100::Id;

// What a Wiegand-26 reader sends for the ID: H10301 of its last three
// bytes, in the hid form; empty without those bytes or the format.
std::string wiegand26Hid(const wiegand::Library& library, const Id& id) {
    const wiegand::Format* h10301 = library.find("H10301");
    if (h10301 == nullptr || (id.known & em4100::bytesOf(Form::W26)) != em4100::bytesOf(Form::W26))
        return {};
    constexpr int kCardBits = 16;
    wiegand::CardNumbers numbers;
    numbers[wiegand::FieldKind::FacilityCode] = (id.value >> kCardBits) & 0xFF;
    numbers[wiegand::FieldKind::CardNumber] = id.value & 0xFFFF;
    std::string hid;
    std::string refusal;
    wiegand::appendCardText(hid, *h10301, numbers, wiegand::CardForm::Hid, refusal);
    return hid;
}

void writeTable(const wiegand::Library& library, std::string_view input, const Id& id,
                TextSink& out) {
    constexpr std::size_t kValueColumn = 12;
    out << shownText(input) << '\n';
    for (const Form form : em4100::kForms) {
        std::string label = "  " + std::string(em4100::formLabel(form));
        label.resize(kValueColumn, ' ');
        const std::optional<std::string> text = em4100::textOf(id, form);
        out << label;
        if (form == Form::Id) {
            out << em4100::idText(id);
            if (!id.complete()) out << "  (" << em4100::unknownBytes(id) << " unknown)";
        } else if (!text) {
            out << "? (needs " << em4100::unknownBytes(id, em4100::bytesOf(form)) << ")";
        } else {
            out << *text;
        }
        if (form == Form::W26 && text) out << "  (H10301, hid " << wiegand26Hid(library, id) << ")";
        out << '\n';
    }
}

void writeJson(std::string_view input, const Id& id, TextSink& out) {
    out << "{\"input\": " << jsonText(std::string(input))
        << ", \"id\": " << jsonText(em4100::idText(id)) << ", \"unknown_bytes\": [";
    bool first = true;
    for (int n = 1; n <= em4100::kIdBytes; ++n) {
        if ((id.known & em4100::byteBit(n)) != 0) continue;
        out << (first ? "" : ", ") << n;
        first = false;
    }
    out << "], \"forms\": {";
    for (const Form form : em4100::kForms) {
        const std::optional<std::string> text = em4100::textOf(id, form);
        out << (form == em4100::kForms.front() ? "" : ", ")
            << jsonText(std::string(em4100::formName(form))) << ": "
            << (text ? jsonText(*text) : std::string("null"));
    }
    out << "}}\n";
}

// One form of the ID; false, with the reason, when it needs bytes not known.
bool writeOne(const EmOptions& options, const Id& id, TextSink& out, std::string& error) {
    if (options.output == EmOutput::OneForm) {
        const std::optional<std::string> text = em4100::textOf(id, options.outForm);
        if (!text) {
            error = std::string(em4100::formLabel(options.outForm)) + " needs " +
                    em4100::unknownBytes(id, em4100::bytesOf(options.outForm)) +
                    " of the ID, which the input does not tell";
            return false;
        }
        out << *text << '\n';
        return true;
    }
    if (!id.complete()) {
        error = "writing a card needs the whole ID: " + em4100::unknownBytes(id) + " unknown";
        return false;
    }
    out << (options.output == EmOutput::Flipper ? em4100::flipperFile(id)
                                                : em4100::pm3Command(id) + "\n");
    return true;
}

// One value; false when it is not of its form or cannot be written.
bool emValue(const wiegand::Library& library, const EmOptions& options, std::string_view text,
             std::string_view input, std::string_view where, TextSink& out, TextSink& err) {
    std::string error;
    const std::optional<Id> id = options.in ? em4100::readId(text, *options.in, error)
                                            : em4100::readFlipperFile(text, error);
    const bool written =
        id && (options.json                        ? (writeJson(input, *id, out), true)
               : options.output == EmOutput::Every ? (writeTable(library, input, *id, out), true)
                                                   : writeOne(options, *id, out, error));
    if (!written) err << "proxcred-cli: " << where << ": " << error << '\n';
    return written;
}

}  // namespace

int emCommand(const wiegand::Library& library, const EmOptions& options, std::FILE* in,
              TextSink& out, TextSink& err) {
    bool allWritten = true;
    if (!options.in) {
        const bool filesRead = forEachFile(options.values, in, err, [&](const WholeFile& file) {
            const std::string where = "file " + std::to_string(file.number);
            allWritten =
                emValue(library, options, file.text, file.name, where, out, err) && allWritten;
        });
        return !filesRead ? 2 : allWritten ? 0 : 1;
    }
    const bool read = forEachValue(
        options.values, in, out, err, [&](std::string_view value, const ValueSource& source) {
            if (source.unit == "line" && value.empty()) return;
            const std::string where =
                std::string(source.unit) + " " + std::to_string(source.number);
            allWritten = emValue(library, options, value, value, where, out, err) && allWritten;
        });
    return read && allWritten ? 0 : 1;
}

}  // namespace proxcred::cli

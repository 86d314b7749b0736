// wiegand encode: one format's card for the numbers given, every format's
// that can hold them, or a card for every row of a CSV batch.
#include <array>

#include "cli/csv.h"
#include "cli/csv_batch.h"
#include "cli/wiegand_command.h"
#include "json_text/json_text.h"
#include "text/shown_text.h"

namespace proxcred::cli {
namespace {

using wiegand::CardForm;
using wiegand::FieldKind;
using wiegand::Format;

// Appends the format's card for the numbers typed, in the form asked for;
// false, with the refusal, when it cannot be made.
bool appendCard(const Format& format, const wiegand::FieldTexts& texts, CardForm form,
                std::string& card, std::string& refusal) {
    const std::optional<wiegand::CardNumbers> numbers =
        wiegand::readNumbers(format, texts, refusal);
    return numbers && wiegand::appendCardText(card, format, *numbers, form, refusal);
}

std::string unknownFormat(std::string_view name) {
    return "Unknown Wiegand format \"" + shownText(name) + "\"";
}

// A line of output: the text alone, NAME and the text, or a JSON object.
void writeCard(const Format& format, std::string_view text, const WiegandOptions& options,
               bool named, TextSink& out) {
    if (options.json) {
        out << "{\"format\": " << jsonText(format.name) << ", \"bits\": " << format.bits << ", "
            << jsonText(std::string(wiegand::cardFormName(options.out))) << ": "
            << jsonText(std::string(text)) << "}\n";
        return;
    }
    if (named) {
        constexpr std::size_t kTextColumn = 12;
        std::string name = format.name;
        name.resize(std::max(name.size() + 1, kTextColumn), ' ');
        out << name;
    }
    out << text;
    if (text.empty() || text.back() != '\n') out << '\n';
}

// Every format that can hold the numbers, in the library's order.
int encodeEveryFormat(const wiegand::Library& library, const WiegandOptions& options, TextSink& out,
                      TextSink& err) {
    if (const std::string refusal = wiegand::unreadableNumber(options.fieldTexts);
        !refusal.empty()) {
        err << refusal << '\n';
        return 1;
    }
    if (!options.fieldTexts[static_cast<std::size_t>(FieldKind::CardNumber)]) {
        err << "Every format needs a card number (--cn)\n";
        return 1;
    }
    std::size_t written = 0;
    std::string text;
    std::string refusal;
    for (const Format& format : library.formats()) {
        text.clear();
        if (!appendCard(format, options.fieldTexts, options.out, text, refusal)) continue;
        writeCard(format, text, options, true, out);
        ++written;
        if (!out.ok()) break;  // the caller reports a failed write
    }
    if (written > 0) return 0;
    err << "No format can hold these numbers in the " << wiegand::cardFormName(options.out)
        << " form\n";
    return 1;
}

// One CSV row: format,facility,card,issue,oem, an empty field for a number
// not given. The last format looked up is kept: batches repeat one format.
class RowEncoder {
  public:
    static constexpr std::array<CsvColumn, 1 + wiegand::kFieldKinds.size()> kColumns{
        {{"format", true}, {"facility", false}, {"card", true}, {"issue", false}, {"oem", false}}};
    static constexpr CsvBatch kRows{kColumns, "frame,message", 3};

    RowEncoder(const wiegand::Library& library, CardForm form) : library_(library), form_(form) {}

    bool operator()(const CsvRow& row, std::string& added) {
        refusal_.clear();
        added.push_back(',');
        const Format* format = find(row[0]);
        const bool encoded =
            format != nullptr && appendCard(*format, textsOf(row), form_, added, refusal_);
        if (format == nullptr) refusal_ = unknownFormat(row[0]);
        added.push_back(',');
        appendCsvField(added, refusal_);
        return encoded;
    }

  private:
    // The columns after the format are the field kinds, in their order.
    static wiegand::FieldTexts textsOf(const CsvRow& row) {
        wiegand::FieldTexts texts;
        for (std::size_t kind = 0; kind < texts.size(); ++kind) {
            if (!row[kind + 1].empty()) texts[kind] = row[kind + 1];
        }
        return texts;
    }

    const Format* find(std::string_view name) {
        if (name != lastName_) {
            lastName_ = name;
            last_ = library_.find(name);
        }
        return last_;
    }

    const wiegand::Library& library_;
    CardForm form_;
    std::string lastName_;
    const Format* last_ = nullptr;
    std::string refusal_;
};

constexpr bool columnsFollowTheFieldKinds() {
    for (std::size_t kind = 0; kind < wiegand::kFieldKinds.size(); ++kind) {
        if (RowEncoder::kColumns[kind + 1].name != wiegand::fieldKey(wiegand::kFieldKinds[kind]))
            return false;
    }
    return true;
}
static_assert(columnsFollowTheFieldKinds(),
              "the CSV's columns after the format are the field kinds, by their keys");

}  // namespace

int wiegandEncode(const wiegand::Library& library, const WiegandOptions& options, TextSink& out,
                  TextSink& err) {
    if (options.format.empty()) return encodeEveryFormat(library, options, out, err);
    const Format* format = library.find(options.format);
    if (format == nullptr) {
        err << unknownFormat(options.format) << '\n';
        return 1;
    }
    std::string text;
    std::string refusal;
    if (!appendCard(*format, options.fieldTexts, options.out, text, refusal)) {
        err << refusal << '\n';
        return 1;
    }
    writeCard(*format, text, options, false, out);
    return 0;
}

int wiegandEncodeCsv(const wiegand::Library& library, CardForm form, std::FILE* in,
                     std::string_view source, TextSink& out, TextSink& err) {
    return encodeCsvBatch(in, source, out, err, RowEncoder::kRows, RowEncoder(library, form));
}

}  // namespace proxcred::cli

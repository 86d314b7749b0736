// wiegand encode: one format's frame for the numbers given, or for every row
// of a CSV batch.
#include <cctype>

#include "cli/csv.h"
#include "cli/csv_batch.h"
#include "cli/decimal.h"
#include "cli/wiegand_command.h"
#include "json_text/shown_text.h"

namespace proxcred::cli {
namespace {

using wiegand::FieldKind;
using wiegand::Format;

std::string capitalised(std::string_view text) {
    std::string capital(text);
    if (!capital.empty())
        capital[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(capital[0])));
    return capital;
}

// The numbers given, read as decimal and checked against the format's
// fields, with the text quoted as typed in every refusal.
std::optional<wiegand::CardNumbers> readNumbers(const Format& format, const FieldTexts& texts,
                                                std::string& refusal) {
    wiegand::CardNumbers numbers;
    for (const FieldKind kind : wiegand::kFieldKinds) {
        const std::optional<std::string_view>& text = texts[static_cast<std::size_t>(kind)];
        if (!text) continue;
        const wiegand::Field* field = format.field(kind);
        if (field == nullptr) {
            refusal = format.name + " has no " + std::string(wiegand::fieldName(kind));
            return std::nullopt;
        }
        std::string problem;
        const std::optional<std::uint64_t> value = readDecimal(*text, problem);
        if (value ? *value > field->max : problem == "is too large") {
            refusal = capitalised(wiegand::fieldName(kind)) + " " + shownText(*text) +
                      " is too large for " + format.name + ". " + std::to_string(field->max) +
                      " is max.";
            return std::nullopt;
        }
        if (!value) {
            refusal = numberRefusal(capitalised(wiegand::fieldName(kind)), *text, problem);
            return std::nullopt;
        }
        numbers[kind] = *value;
    }
    return numbers;
}

// Appends the format's frame for the numbers, in the form asked for; false,
// with the refusal, when it cannot be made.
bool appendFrame(const Format& format, const FieldTexts& texts, wiegand::FrameForm form,
                 std::string& frame, std::string& refusal) {
    const std::optional<wiegand::CardNumbers> numbers = readNumbers(format, texts, refusal);
    if (!numbers) return false;
    const wiegand::Encoded encoded = wiegand::encode(format, *numbers);
    if (!encoded.frame) {
        refusal = encoded.refusal;
        return false;
    }
    if (const std::string_view why = wiegand::formRefusal(format.bits, form); !why.empty()) {
        refusal = format.name + ": " + std::string(why);
        return false;
    }
    wiegand::appendFrameText(frame, *encoded.frame, form);
    return true;
}

std::string unknownFormat(std::string_view name) {
    return "Unknown Wiegand format \"" + shownText(name) + "\"";
}

// One CSV row: format,facility,card,issue,oem, an empty field for a number
// not given. The last format looked up is kept: batches repeat one format.
class RowEncoder {
  public:
    static constexpr CsvBatch kRows{"frame,message", 3, 5,
                                    "Expected format,facility,card,issue,oem"};

    RowEncoder(const wiegand::Library& library, wiegand::FrameForm form)
        : library_(library), form_(form) {}

    bool operator()(std::vector<std::string>& fields, std::string& added) {
        fields.resize(kRows.mostFields);
        refusal_.clear();
        added.push_back(',');
        const Format* format = find(fields[0]);
        const bool encoded =
            format != nullptr && appendFrame(*format, textsOf(fields), form_, added, refusal_);
        if (format == nullptr) refusal_ = unknownFormat(fields[0]);
        added.push_back(',');
        appendCsvField(added, refusal_);
        return encoded;
    }

  private:
    static FieldTexts textsOf(const std::vector<std::string>& fields) {
        FieldTexts texts;
        for (std::size_t kind = 0; kind < texts.size(); ++kind) {
            if (!fields[kind + 1].empty()) texts[kind] = fields[kind + 1];
        }
        return texts;
    }

    const Format* find(const std::string& name) {
        if (name != lastName_) {
            lastName_ = name;
            last_ = library_.find(name);
        }
        return last_;
    }

    const wiegand::Library& library_;
    wiegand::FrameForm form_;
    std::string lastName_;
    const Format* last_ = nullptr;
    std::string refusal_;
};

// The CSV's columns after the format are the field kinds, in their order.
static_assert(RowEncoder::kRows.mostFields == 1 + wiegand::kFieldKinds.size());

}  // namespace

int wiegandEncode(const wiegand::Library& library, const WiegandOptions& options, std::ostream& out,
                  std::ostream& err) {
    const Format* format = library.find(options.format);
    if (format == nullptr) {
        err << unknownFormat(options.format) << '\n';
        return 1;
    }
    std::string frame;
    std::string refusal;
    if (!appendFrame(*format, options.fieldTexts, options.out, frame, refusal)) {
        err << refusal << '\n';
        return 1;
    }
    out << frame << '\n';
    return 0;
}

int wiegandEncodeCsv(const wiegand::Library& library, wiegand::FrameForm form, std::FILE* in,
                     std::ostream& out, std::ostream& err) {
    return encodeCsvBatch(in, out, err, RowEncoder::kRows, RowEncoder(library, form));
}

}  // namespace proxcred::cli

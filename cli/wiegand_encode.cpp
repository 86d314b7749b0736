// wiegand encode: one format's card for the numbers given (or a range of
// them), every format's that can hold them, or a card for every row of a CSV
// batch.
#include <array>

#include "cli/card_range.h"
#include "cli/csv.h"
#include "cli/csv_batch.h"
#include "cli/duplicate_frames.h"
#include "cli/wiegand_command.h"
#include "json_text/json_text.h"
#include "text/shown_text.h"
#include "wiegand/decimal.h"

namespace proxcred::cli {
namespace {

using wiegand::FieldKind;
using wiegand::Format;

constexpr auto kCard = static_cast<std::size_t>(FieldKind::CardNumber);

// The numbers typed, read for the format, the card number with the offset
// added (it is the carried number that must fit the field); nullopt with
// the refusal.
std::optional<wiegand::CardNumbers> numbersFor(const Format& format,
                                               const wiegand::FieldTexts& texts,
                                               std::int64_t offset, std::string& refusal) {
    if (offset == 0 || !texts[kCard]) return wiegand::readNumbers(format, texts, refusal);
    std::string problem;
    const auto printed = wiegand::readDecimal(*texts[kCard], problem);
    if (!printed) {
        refusal = wiegand::numberRefusal("Card number", *texts[kCard], problem);
        return std::nullopt;
    }
    const auto carried = offsetCard(*printed, offset, format, refusal);
    if (!carried) return std::nullopt;
    wiegand::FieldTexts others = texts;
    others[kCard] = "0";
    auto numbers = wiegand::readNumbers(format, others, refusal);
    if (numbers) (*numbers)[FieldKind::CardNumber] = *carried;
    return numbers;
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
    if (!options.fieldTexts[kCard]) {
        err << "Every format needs a card number (--cn)\n";
        return 1;
    }
    std::size_t written = 0;
    std::string text;
    std::string refusal;
    for (const Format& format : library.formats()) {
        text.clear();
        const auto numbers = numbersFor(format, options.fieldTexts, options.offset, refusal);
        if (!numbers || !wiegand::appendCardText(text, format, *numbers, options.out, refusal))
            continue;
        writeCard(format, text, options, true, out);
        ++written;
        if (!out.ok()) break;  // the caller reports a failed write
    }
    if (written > 0) return 0;
    err << "No format can hold these numbers in the " << wiegand::cardFormName(options.out)
        << " form\n";
    return 1;
}

// A range of card numbers, one card a line, in order: checked whole first.
int encodeRange(const Format& format, const CardRange& range, const WiegandOptions& options,
                TextSink& out, TextSink& err) {
    std::string refusal;
    if (!checkRange(range, options.offset, options.maxCards, format, refusal)) {
        err << refusal << '\n';
        return 1;
    }
    wiegand::FieldTexts texts = options.fieldTexts;
    texts[kCard] = "0";
    auto numbers = numbersFor(format, texts, 0, refusal);
    if (!numbers) {
        err << refusal << '\n';
        return 1;
    }
    std::string text;
    for (std::uint64_t card = range.first;; ++card) {
        (*numbers)[FieldKind::CardNumber] = *offsetCard(card, options.offset, format, refusal);
        text.clear();
        if (!wiegand::appendCardText(text, format, *numbers, options.out, refusal)) {
            err << refusal << '\n';
            return 1;
        }
        writeCard(format, text, options, false, out);
        if (card == range.last || !out.ok()) return 0;
    }
}

// One CSV row: format,facility,card,issue,oem, an empty field for a number
// not given. The last format looked up is kept: batches repeat one format.
class RowEncoder {
  public:
    static constexpr std::array<CsvColumn, 1 + wiegand::kFieldKinds.size()> kColumns{
        {{"format", true}, {"facility", false}, {"card", true}, {"issue", false}, {"oem", false}}};
    static constexpr CsvBatch kRows{kColumns, "frame,message", 3, 1 + kCard};

    RowEncoder(const wiegand::Library& library, const WiegandOptions& options,
               DuplicateFrames& frames)
        : library_(library), options_(options), frames_(frames) {}

    bool operator()(const CsvRow& row, std::size_t record, std::string& added) {
        refusal_.clear();
        added.push_back(',');
        const Format* format = find(row[0]);
        const bool encoded = format != nullptr && encode(*format, row, record, added);
        if (format == nullptr) refusal_ = unknownFormat(row[0]);
        added.push_back(',');
        appendCsvField(added, refusal_);
        return encoded;
    }

    // A row's range, checked whole before any of its cards is written.
    std::string checkRow(const CsvRow& row, std::uint64_t first, std::uint64_t last) {
        const Format* format = find(row[0]);
        if (format == nullptr) return unknownFormat(row[0]);
        std::string refusal;
        checkRange({first, last}, options_.offset, options_.maxCards, *format, refusal);
        return refusal;
    }

  private:
    bool encode(const Format& format, const CsvRow& row, std::size_t record, std::string& added) {
        const auto numbers = numbersFor(format, textsOf(row), options_.offset, refusal_);
        wiegand::Frame frame;
        if (!numbers ||
            !wiegand::appendCardText(added, format, *numbers, options_.out, refusal_, &frame))
            return false;
        frames_.note(frame, record);
        return true;
    }

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
    const WiegandOptions& options_;
    DuplicateFrames& frames_;
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
    std::string rangeError;
    const auto range = options.fieldTexts[kCard]
                           ? readCardRange(*options.fieldTexts[kCard], rangeError)
                           : std::nullopt;
    if (!rangeError.empty()) {
        err << rangeError << '\n';
        return 1;
    }
    if (options.format.empty()) {
        if (!range) return encodeEveryFormat(library, options, out, err);
        err << "A range of card numbers needs one format (-w NAME)\n";
        return 1;
    }
    const Format* format = library.find(options.format);
    if (format == nullptr) {
        err << unknownFormat(options.format) << '\n';
        return 1;
    }
    if (range) return encodeRange(*format, *range, options, out, err);
    std::string text;
    std::string refusal;
    const auto numbers = numbersFor(*format, options.fieldTexts, options.offset, refusal);
    if (!numbers || !wiegand::appendCardText(text, *format, *numbers, options.out, refusal)) {
        err << refusal << '\n';
        return 1;
    }
    writeCard(*format, text, options, false, out);
    return 0;
}

int wiegandEncodeCsv(const wiegand::Library& library, const WiegandOptions& options, std::FILE* in,
                     std::string_view source, TextSink& out, TextSink& err) {
    DuplicateFrames frames;
    RowEncoder encoder(library, options, frames);
    const int status = encodeCsvBatch(
        in, source, out, err, RowEncoder::kRows,
        [&](const CsvRow& row, std::size_t record, std::string& added) {
            return encoder(row, record, added);
        },
        [&](const CsvRow& row, std::uint64_t first, std::uint64_t last) {
            return encoder.checkRow(row, first, last);
        });
    // Duplicates do not change the exit status: every row was written.
    for (const auto& [earlier, later] : frames.repeats()) {
        err << "proxcred-cli: " << shownText(source) << ": rows " << earlier << " and " << later
            << " give the same card frame\n";
    }
    return status;
}

}  // namespace proxcred::cli

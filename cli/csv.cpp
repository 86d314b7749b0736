#include "cli/csv.h"

#include <algorithm>
#include <iterator>

namespace proxcred::cli {
namespace {

// Splits lines into fields; a quoted field may go on over the next line.
class FieldParser {
  public:
    explicit FieldParser(std::vector<std::string>& fields) : fields_(fields) {
        fields_.assign(1, std::string());
    }

    void parse(std::string_view line) {
        for (std::size_t at = 0; at < line.size(); ++at) {
            const char c = line[at];
            if (quoted_) {
                if (c != '"') {
                    fields_.back().push_back(c);
                } else if (at + 1 < line.size() && line[at + 1] == '"') {
                    fields_.back().push_back('"');
                    ++at;
                } else {
                    quoted_ = false;
                }
            } else if (c != ',' && c != '"') {
                // A run of plain characters goes in at once.
                const auto runEnd =
                    std::find_if(line.begin() + static_cast<std::ptrdiff_t>(at), line.end(),
                                 [](char d) { return d == ',' || d == '"'; });
                const auto end = static_cast<std::size_t>(runEnd - line.begin());
                fields_.back().append(line.substr(at, end - at));
                at = end - 1;
            } else if (c == ',') {
                fields_.emplace_back();
                fieldStart_ = true;
                continue;
            } else if (c == '"' && fieldStart_) {
                quoted_ = true;
            } else {
                fields_.back().push_back(c);
            }
            fieldStart_ = false;
        }
    }
    void continueOnNextLine() { fields_.back().push_back('\n'); }
    bool quoted() const { return quoted_; }

  private:
    std::vector<std::string>& fields_;
    bool quoted_ = false;
    bool fieldStart_ = true;
};

}  // namespace

bool CsvReader::take(Line& line) {
    if (!readAgain_.empty()) {
        line = std::move(readAgain_.front());
        readAgain_.pop_front();
        return true;
    }
    if (!lines_.next(line.text)) return false;
    line.number = lines_.lineNumber();
    line.cut = lines_.lastWasCut();
    return true;
}

bool CsvReader::next(std::vector<std::string>& fields, std::string& malformed) {
    malformed.clear();
    Line& first = first_;
    if (!take(first)) {
        fields.clear();
        return false;
    }
    recordLine_ = first.number;
    FieldParser parser(fields);
    parser.parse(first.text);
    std::vector<Line> more;
    while (parser.quoted()) {
        Line line;
        if (more.size() + 1 == kMaxLines || !take(line)) {
            // Not closed: the record is its first line alone, and the lines
            // looked at are read again as records of their own.
            readAgain_.insert(readAgain_.begin(), std::make_move_iterator(more.begin()),
                              std::make_move_iterator(more.end()));
            FieldParser(fields).parse(first.text);
            malformed = "quote not closed";
            return true;
        }
        parser.continueOnNextLine();
        parser.parse(line.text);
        more.push_back(std::move(line));
    }
    const bool cut = first.cut || std::any_of(more.begin(), more.end(),
                                              [](const Line& line) { return line.cut; });
    if (cut) malformed = "line too long";
    // A cell this tool guarded against a spreadsheet's formulas reads back
    // as it was before.
    for (std::string& field : fields) {
        if (field.size() > 1 && field.front() == '\'' &&
            startsFormula(std::string_view(field).substr(1)))
            field.erase(0, 1);
    }
    return true;
}

namespace {

bool isPlainNumber(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    const std::size_t point = std::min(text.find('.'), text.size());
    const auto digits = [](std::string_view part) {
        return !part.empty() &&
               std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return digits(text.substr(0, point)) &&
           (point == text.size() || digits(text.substr(point + 1)));
}

}  // namespace

bool startsFormula(std::string_view text) {
    constexpr std::string_view kFormulaStarts = "=+-@\t\r";
    return !text.empty() && kFormulaStarts.find(text.front()) != std::string_view::npos &&
           !isPlainNumber(text);
}

namespace {

void appendQuotedWhereNeeded(std::string& line, std::string_view text) {
    const bool plain = std::none_of(text.begin(), text.end(), [](char c) {
        return c == ',' || c == '"' || c == '\r' || c == '\n';
    });
    if (plain) {
        line.append(text);
        return;
    }
    line.push_back('"');
    for (const char c : text) {
        if (c == '"') line.push_back('"');
        line.push_back(c);
    }
    line.push_back('"');
}

}  // namespace

void appendCsvField(std::string& line, std::string_view text) {
    if (!startsFormula(text)) return appendQuotedWhereNeeded(line, text);
    // Quoting does not keep a spreadsheet from running the cell: a leading '
    // makes it text (OWASP's advice against CSV injection).
    appendQuotedWhereNeeded(line, "'" + std::string(text));
}

namespace {

template <class Fields>
void appendFields(std::string& line, const Fields& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) line.push_back(',');
        appendCsvField(line, fields[i]);
    }
}

}  // namespace

void appendCsvRecord(std::string& line, const std::vector<std::string>& fields) {
    appendFields(line, fields);
}

void appendCsvRecord(std::string& line, const std::vector<std::string_view>& fields) {
    appendFields(line, fields);
}

}  // namespace proxcred::cli

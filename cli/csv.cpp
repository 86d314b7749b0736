#include "csv.h"

namespace proxcred::cli {

bool CsvReader::next(std::vector<std::string>& fields, std::string& malformed) {
    fields.clear();
    malformed.clear();
    if (!lines_.next(line_)) return false;
    fields.emplace_back();
    bool quoted = false;
    std::size_t linesRead = 1;
    for (;;) {
        if (lines_.lastWasCut()) malformed = "line too long";
        for (std::size_t at = 0; at < line_.size(); ++at) {
            const char c = line_[at];
            if (quoted) {
                if (c != '"') {
                    fields.back().push_back(c);
                } else if (at + 1 < line_.size() && line_[at + 1] == '"') {
                    fields.back().push_back('"');
                    ++at;
                } else {
                    quoted = false;
                }
            } else if (c == ',') {
                fields.emplace_back();
            } else if (c == '"') {
                quoted = true;
            } else {
                fields.back().push_back(c);
            }
        }
        if (!quoted) return true;
        if (linesRead == kMaxLines) {
            malformed = "record too long";
            return true;
        }
        if (!lines_.next(line_)) {
            malformed = "quote not closed";
            return true;
        }
        ++linesRead;
        fields.back().push_back('\n');
    }
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted.push_back('"');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

std::string csvRecord(const std::vector<std::string>& fields) {
    std::string record;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) record.push_back(',');
        record += csvField(fields[i]);
    }
    return record;
}

}  // namespace proxcred::cli

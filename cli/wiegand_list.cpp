// wiegand list: the formats with their fields' largest values.
#include <nlohmann/json.hpp>

#include "cli/wiegand_command.h"
#include "json_text/json_text.h"
#include "text/shown_text.h"

namespace proxcred::cli {
namespace {

using wiegand::Format;

std::string fieldSummary(const Format& format) {
    std::string summary;
    for (const wiegand::Field& field : format.fields) {
        if (!summary.empty()) summary += ", ";
        summary += std::string(wiegand::fieldKey(field.kind)) + " <= " + std::to_string(field.max);
        if (field.bcd) summary += " (BCD)";
    }
    return summary;
}

}  // namespace

int wiegandList(const wiegand::Library& library, bool json, TextSink& out) {
    if (json) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const Format& format : library.formats()) {
            nlohmann::ordered_json object;
            object["name"] = format.name;
            object["description"] = format.description;
            object["source"] = format.source;
            object["bits"] = format.bits;
            object["parity"] = format.hasParity();
            object["fields"] = nlohmann::ordered_json::object();
            for (const wiegand::Field& field : format.fields)
                object["fields"][std::string(wiegand::fieldKey(field.kind))] = {{"max", field.max}};
            list.push_back(std::move(object));
        }
        out << jsonText(list) << '\n';
        return 0;
    }
    constexpr bool kRight = true;
    out << padded("NAME", 11) << padded("BITS", 5, kRight) << "  " << padded("DESCRIPTION", 34)
        << padded("PARITY", 7) << "FIELDS (largest values)\n";
    for (const Format& format : library.formats()) {
        out << padded(format.name, 11) << padded(std::to_string(format.bits), 5, kRight) << "  "
            << padded(shownText(format.description), 34)
            << padded(format.hasParity() ? "yes" : "no", 7) << fieldSummary(format) << '\n';
    }
    return 0;
}

}  // namespace proxcred::cli

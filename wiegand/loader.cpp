// Format files: JSON, checked whole before any format is taken.
#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>

#include "builtin_formats.h"
#include "wiegand/library.h"

namespace proxcred::wiegand {
namespace {

// Ordered, so that fields keep the order the file gives them.
using json = nlohmann::ordered_json;

// A problem of the format being read; the loader adds its name.
struct FormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

const json& member(const json& object, const char* key, std::string_view what) {
    const auto found = object.find(key);
    if (found == object.end()) throw FormatError(std::string(what) + " has no \"" + key + "\"");
    return *found;
}

int wholeNumber(const json& value, std::string_view what) {
    if (!value.is_number_integer()) throw FormatError(std::string(what) + " is not a whole number");
    const auto number = value.get<std::int64_t>();
    if (number < 0 || number > 1000) throw FormatError(std::string(what) + " is out of range");
    return static_cast<int>(number);
}

std::string text(const json& value, std::string_view what) {
    if (!value.is_string()) throw FormatError(std::string(what) + " is not a text");
    return value.get<std::string>();
}

// [3, "5-9", 12]: positions and ranges of positions, both ends included.
std::vector<int> positionList(const json& list, std::string_view what) {
    if (!list.is_array()) throw FormatError(std::string(what) + " is not a list of positions");
    std::vector<int> positions;
    for (const json& entry : list) {
        if (entry.is_string()) {
            const std::string range = entry.get<std::string>();
            const auto dash = range.find('-');
            std::size_t used = 0;
            int first = -1;
            int last = -1;
            try {
                first = std::stoi(range.substr(0, dash), &used);
                if (dash == std::string::npos || used != dash) throw FormatError("");
                last = std::stoi(range.substr(dash + 1), &used);
                if (used != range.size() - dash - 1) throw FormatError("");
            } catch (const std::exception&) {
                throw FormatError(std::string(what) + " holds \"" + range +
                                  "\", which is no range like \"1-12\"");
            }
            if (first < 0 || last < first)
                throw FormatError(std::string(what) + " holds the empty range \"" + range + "\"");
            for (int position = first; position <= last; ++position) positions.push_back(position);
        } else {
            positions.push_back(wholeNumber(entry, what));
        }
    }
    return positions;
}

Field readField(FieldKind kind, const json& description) {
    const std::string what = "field \"" + std::string(fieldKey(kind)) + "\"";
    if (!description.is_object()) throw FormatError(what + " is not an object");
    Field field;
    field.kind = kind;
    if (description.contains("positions")) {
        field.positions = positionList(description["positions"], what + " positions");
    } else {
        const int start = wholeNumber(member(description, "start", what), what + " start");
        const int length = wholeNumber(member(description, "length", what), what + " length");
        for (int position = start; position < start + length; ++position)
            field.positions.push_back(position);
    }
    if (field.positions.empty() || field.positions.size() > 64)
        throw FormatError(what + " must have 1 to 64 bits");
    if (description.contains("bcd")) {
        if (!description["bcd"].is_boolean()) throw FormatError(what + " bcd is not true or false");
        field.bcd = description["bcd"].get<bool>();
    }
    const std::size_t width = field.positions.size();
    if (field.bcd) {
        if (width % 4 != 0 || width > 64)
            throw FormatError(what + " is BCD but its length is not a multiple of 4");
        field.max = 0;
        for (std::size_t digit = 0; digit < width / 4 && digit < 19; ++digit)
            field.max = field.max * 10 + 9;
    } else {
        field.max = width == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
    }
    if (description.contains("max")) {
        const json& max = description["max"];
        if (!max.is_number_unsigned() || max.get<std::uint64_t>() > field.max)
            throw FormatError(what + " max is not a whole number the field can hold");
        field.max = max.get<std::uint64_t>();
    }
    return field;
}

// Every bit is one field's, one fixed bit's or one parity bit's, inside the frame.
void checkBits(const Format& format) {
    std::vector<std::string> owner(static_cast<std::size_t>(format.bits));
    const auto claim = [&](int position, const std::string& who) {
        if (position < 0 || position >= format.bits)
            throw FormatError(who + " uses position " + std::to_string(position) + ", past the " +
                              std::to_string(format.bits) + "-bit frame");
        std::string& current = owner[static_cast<std::size_t>(position)];
        if (!current.empty())
            throw FormatError(who + " overlaps " + current + " at position " +
                              std::to_string(position));
        current = who;
    };
    for (const Field& field : format.fields) {
        for (const int position : field.positions)
            claim(position, "field \"" + std::string(fieldKey(field.kind)) + "\"");
    }
    for (const FixedBit& fixed : format.fixed) claim(fixed.position, "a fixed bit");
    for (const ParityBit& parity : format.parity) {
        const std::string who = "the parity bit at " + std::to_string(parity.position);
        claim(parity.position, who);
        for (const int covered : parity.covers) {
            if (covered < 0 || covered >= format.bits)
                throw FormatError(who + " covers position " + std::to_string(covered) +
                                  ", past the frame");
            if (covered == parity.position) throw FormatError(who + " covers its own bit");
        }
    }
}

Format readFormat(const json& description) {
    if (!description.is_object()) throw FormatError("a format is not an object");
    Format format;
    format.name = text(member(description, "name", "a format"), "its name");
    if (format.name.empty()) throw FormatError("a format has an empty name");
    try {
        format.description = description.contains("description")
                                 ? text(description["description"], "the description")
                                 : std::string();
        format.bits = wholeNumber(member(description, "bits", "it"), "bits");
        if (format.bits < 1 || format.bits > kMaxFrameBits)
            throw FormatError("bits must be 1 to " + std::to_string(kMaxFrameBits));
        const json& fields = member(description, "fields", "it");
        if (!fields.is_object()) throw FormatError("fields is not an object");
        for (const auto& item : fields.items()) {
            const std::string& key = item.key();
            const auto kind = std::find_if(kFieldKinds.begin(), kFieldKinds.end(),
                                           [&](FieldKind k) { return fieldKey(k) == key; });
            if (kind == kFieldKinds.end())
                throw FormatError("unknown field \"" + key + "\" (facility, card, issue or oem)");
            format.fields.push_back(readField(*kind, item.value()));
        }
        if (description.contains("fixed")) {
            for (const json& fixed : description["fixed"]) {
                const int value = wholeNumber(member(fixed, "value", "a fixed bit"), "its value");
                if (value > 1) throw FormatError("a fixed bit's value must be 0 or 1");
                format.fixed.push_back(
                    {wholeNumber(member(fixed, "bit", "a fixed bit"), "bit"), value == 1});
            }
        }
        if (description.contains("parity")) {
            for (const json& parity : description["parity"]) {
                const std::string kind = text(member(parity, "parity", "a parity bit"), "parity");
                if (kind != "even" && kind != "odd")
                    throw FormatError("parity must be \"even\" or \"odd\", not \"" + kind + "\"");
                format.parity.push_back(
                    {wholeNumber(member(parity, "bit", "a parity bit"), "a parity bit"),
                     kind == "even" ? ParityKind::Even : ParityKind::Odd,
                     positionList(member(parity, "covers", "a parity bit"), "covers")});
            }
        }
        checkBits(format);
        prepare(format);
    } catch (const FormatError& error) {
        throw FormatError("format \"" + format.name + "\": " + error.what());
    }
    return format;
}

}  // namespace

Library Library::builtIn() {
    Library library;
    std::string error;
    // The file ships with the program and is tested; a fault in it is ours.
    if (!library.addFormats(kBuiltInFormats, error)) throw std::logic_error(error);
    return library;
}

bool Library::addFormats(std::string_view text, std::string& error) {
    std::vector<Format> added;
    try {
        const json document = json::parse(text);
        const json& list =
            document.is_object() ? member(document, "formats", "the file") : document;
        if (!list.is_array()) throw FormatError("\"formats\" is not a list");
        for (const json& description : list) {
            Format format = readFormat(description);
            const auto clash = [&](const Format& other) {
                return sameName(other.name, format.name);
            };
            if (std::any_of(formats_.begin(), formats_.end(), clash) ||
                std::any_of(added.begin(), added.end(), clash))
                throw FormatError("format \"" + format.name + "\": the name is taken");
            added.push_back(std::move(format));
        }
    } catch (const json::exception& fault) {
        error = std::string("not a JSON format file: ") + fault.what();
        return false;
    } catch (const FormatError& fault) {
        error = fault.what();
        return false;
    }
    formats_.insert(formats_.end(), std::make_move_iterator(added.begin()),
                    std::make_move_iterator(added.end()));
    return true;
}

const Format* Library::find(std::string_view name) const {
    const auto found = std::find_if(formats_.begin(), formats_.end(), [&](const Format& format) {
        return sameName(format.name, name);
    });
    return found == formats_.end() ? nullptr : &*found;
}

}  // namespace proxcred::wiegand

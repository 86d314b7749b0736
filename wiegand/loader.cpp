// Format files: JSON, checked whole before any format is taken. Nothing a
// file says may cost more than its frame's bits: every position and range is
// checked against the frame before it is expanded, and the file's size and
// number of formats are capped.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <initializer_list>
#include <new>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "builtin_formats.h"
#include "text/shown_text.h"
#include "wiegand/library.h"
#include "wiegand/mask_notation.h"

namespace proxcred::wiegand {
namespace {

// Ordered, so that fields keep the order the file gives them.
using json = nlohmann::ordered_json;

// A problem of the format being read; the loader adds its name.
struct FormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string inQuotes(std::string_view text) {
    return "\"" + shownText(text) + "\"";
}

// Refuses any key but the ones the object may have: a misspelt "partiy"
// would otherwise silently drop a format's parity.
void onlyKeys(const json& object, std::initializer_list<std::string_view> allowed,
              std::string_view what) {
    for (const auto& item : object.items()) {
        if (std::find(allowed.begin(), allowed.end(), item.key()) != allowed.end()) continue;
        std::string names;
        for (const std::string_view name : allowed)
            names += (names.empty() ? "" : ", ") + std::string(name);
        throw FormatError("unknown key " + inQuotes(item.key()) +
                          (what.empty() ? "" : " in " + std::string(what)) + " (" + names + ")");
    }
}

const json& member(const json& object, const char* key, std::string_view what) {
    const auto found = object.find(key);
    if (found == object.end()) throw FormatError(std::string(what) + " has no \"" + key + "\"");
    return *found;
}

const json& objectOf(const json& value, std::string_view what) {
    if (!value.is_object()) throw FormatError(std::string(what) + " is not an object");
    return value;
}

const json& listOf(const json& value, std::string_view what) {
    if (!value.is_array()) throw FormatError(std::string(what) + " is not a list");
    return value;
}

int wholeNumber(const json& value, std::string_view what) {
    constexpr std::int64_t kLargest = 1000;
    if (!value.is_number_integer()) throw FormatError(std::string(what) + " is not a whole number");
    const auto number = value.get<std::int64_t>();
    if (number < 0 || number > kLargest) throw FormatError(std::string(what) + " is out of range");
    return static_cast<int>(number);
}

std::string text(const json& value, std::string_view what) {
    if (!value.is_string()) throw FormatError(std::string(what) + " is not a text");
    return value.get<std::string>();
}

void checkPosition(std::int64_t position, int bits, std::string_view what) {
    if (position < 0 || position >= bits)
        throw FormatError(std::string(what) + " uses position " + std::to_string(position) +
                          ", past the " + std::to_string(bits) + "-bit frame");
}

// "5-9": both ends, checked against the frame before anything is expanded.
std::pair<int, int> range(const std::string& entry, int bits, std::string_view what) {
    const auto dash = entry.find('-');
    std::int64_t first = -1;
    std::int64_t last = -1;
    const char* begin = entry.data();
    const char* end = begin + entry.size();
    const auto firstRead = std::from_chars(begin, begin + std::min(dash, entry.size()), first);
    const bool readable = dash != std::string::npos && dash > 0 && firstRead.ec == std::errc{} &&
                          firstRead.ptr == begin + dash &&
                          std::from_chars(begin + dash + 1, end, last).ptr == end && last >= 0 &&
                          begin + dash + 1 != end;
    if (!readable)
        throw FormatError(std::string(what) + " holds " + inQuotes(entry) +
                          ", which is no range like \"1-12\"");
    if (last < first)
        throw FormatError(std::string(what) + " holds the empty range " + inQuotes(entry));
    checkPosition(first, bits, what);
    checkPosition(last, bits, what);
    return {static_cast<int>(first), static_cast<int>(last)};
}

// [3, "5-9", 12]: positions and ranges of positions, both ends included,
// each inside the frame; at most as many as the frame has bits.
std::vector<int> positionList(const json& list, int bits, std::string_view what) {
    std::vector<int> positions;
    for (const json& entry : listOf(list, what)) {
        if (entry.is_string()) {
            const auto [first, last] = range(entry.get<std::string>(), bits, what);
            if (static_cast<std::size_t>(last - first) + positions.size() >=
                static_cast<std::size_t>(bits))
                throw FormatError(std::string(what) +
                                  " lists more positions than the frame has bits");
            for (int position = first; position <= last; ++position) positions.push_back(position);
        } else {
            if (positions.size() >= static_cast<std::size_t>(bits))
                throw FormatError(std::string(what) +
                                  " lists more positions than the frame has bits");
            const int position = wholeNumber(entry, what);
            checkPosition(position, bits, what);
            positions.push_back(position);
        }
    }
    return positions;
}

// A position as the file counts it (0 is the first bit sent) and a bit of
// the frame's value (0 is the last bit sent) turn into each other the same way.
int mirrored(int bit, int frameBits) {
    return frameBits - 1 - bit;
}

std::uint64_t largestOf(const Field& field) {
    const int width = field.width();
    if (!field.bcd) return bits::lowBits(width);
    constexpr int kDigitsInUint64 = 19;
    std::uint64_t largest = 0;
    for (int digit = 0; digit < width / 4 && digit < kDigitsInUint64; ++digit)
        largest = largest * 10 + 9;
    return largest;
}

std::vector<int> fieldPositions(const json& description, int bits, const std::string& what) {
    if (description.contains("positions")) {
        if (description.contains("start") || description.contains("length"))
            throw FormatError(what + " gives both positions and start/length: give one");
        return positionList(description["positions"], bits, what + " positions");
    }
    const int start = wholeNumber(member(description, "start", what), what + " start");
    const int length = wholeNumber(member(description, "length", what), what + " length");
    if (start + length > bits) checkPosition(std::max(start, bits), bits, what);
    std::vector<int> positions;
    for (int position = start; position < start + length; ++position) positions.push_back(position);
    return positions;
}

// The field's bits in the frame's value; a run where the positions follow
// each other.
void placeField(Field& field, const std::vector<int>& positions, int frameBits) {
    for (const int position : positions) field.at.push_back(mirrored(position, frameBits));
    const bool adjacent = std::adjacent_find(positions.begin(), positions.end(), [](int a, int b) {
                              return b != a + 1;
                          }) == positions.end();
    if (adjacent) field.run = bits::BitRun{field.at.back(), field.width()};
}

Field readField(FieldKind kind, const json& description, int bits) {
    const std::string what = "field \"" + std::string(fieldKey(kind)) + "\"";
    onlyKeys(objectOf(description, what), {"start", "length", "positions", "bcd", "max"}, what);
    Field field;
    field.kind = kind;
    const std::vector<int> positions = fieldPositions(description, bits, what);
    if (positions.empty()) throw FormatError(what + " must have 1 to 64 bits");
    placeField(field, positions, bits);
    if (description.contains("bcd")) {
        if (!description["bcd"].is_boolean()) throw FormatError(what + " bcd is not true or false");
        field.bcd = description["bcd"].get<bool>();
    }
    if (field.bcd && field.width() % 4 != 0)
        throw FormatError(what + " is BCD but its length is not a multiple of 4");
    field.max = largestOf(field);
    if (description.contains("max")) {
        const json& max = description["max"];
        if (!max.is_number_unsigned() || max.get<std::uint64_t>() > field.max)
            throw FormatError(what + " max is not a whole number the field can hold");
        field.max = max.get<std::uint64_t>();
    }
    return field;
}

// The fixed and parity bits as the file lists them, by position, until they
// are checked and made masks.
struct FixedBit {
    int position = 0;
    bool value = false;
};
struct ParityPositions {
    int position = 0;
    bits::Parity parity = bits::Parity::Even;
    std::vector<int> covers;
};
struct ListedBits {
    std::vector<FixedBit> fixed;
    std::vector<ParityPositions> parity;
};

// Every bit is one field's, one fixed bit's or one parity bit's.
void checkOwners(const Format& format, const ListedBits& listed) {
    std::vector<std::string> owner(static_cast<std::size_t>(format.bits));
    const auto claim = [&](int position, const std::string& who) {
        std::string& current = owner[static_cast<std::size_t>(position)];
        if (!current.empty())
            throw FormatError(who + " overlaps " + current + " at position " +
                              std::to_string(position));
        current = who;
    };
    for (const Field& field : format.fields) {
        for (const int at : field.at)
            claim(mirrored(at, format.bits), "field \"" + std::string(fieldKey(field.kind)) + "\"");
    }
    for (const FixedBit& fixed : listed.fixed) claim(fixed.position, "a fixed bit");
    for (const ParityPositions& parity : listed.parity)
        claim(parity.position, "the parity bit at " + std::to_string(parity.position));
}

// A parity bit may cover parity bits set before it, never itself or one set
// after it: the encoder would change that bit later, and the frame would then
// fail on the wire a parity that decoding recomputed as "ok".
void checkParityOrder(const Format& format, const ListedBits& listed) {
    for (auto bit = listed.parity.begin(); bit != listed.parity.end(); ++bit) {
        const std::string who = "the parity bit at " + std::to_string(bit->position);
        std::vector<bool> seen(static_cast<std::size_t>(format.bits));
        for (const int covered : bit->covers) {
            if (seen[static_cast<std::size_t>(covered)])
                throw FormatError(who + " covers position " + std::to_string(covered) + " twice");
            seen[static_cast<std::size_t>(covered)] = true;
            if (covered == bit->position) throw FormatError(who + " covers its own bit");
            const auto later = std::find_if(
                bit + 1, listed.parity.end(),
                [&](const ParityPositions& other) { return other.position == covered; });
            if (later != listed.parity.end())
                throw FormatError(who + " covers the parity bit at " + std::to_string(covered) +
                                  ", which is computed after it: list that one first");
        }
    }
}

// The checked fixed and parity bits as the engine's masks.
void placeListedBits(Format& format, const ListedBits& listed) {
    for (const FixedBit& fixed : listed.fixed) {
        const std::uint64_t at = bits::bit(mirrored(fixed.position, format.bits));
        format.fixedMask |= at;
        if (fixed.value) format.fixedValue |= at;
    }
    for (const ParityPositions& listedParity : listed.parity) {
        bits::ParityBit parity{mirrored(listedParity.position, format.bits), 0,
                               listedParity.parity};
        for (const int covered : listedParity.covers)
            parity.covers |= bits::bit(mirrored(covered, format.bits));
        format.parity.push_back(parity);
        format.parityMask |= bits::bit(parity.bit);
    }
}

void readFields(Format& format, const json& fields) {
    for (const auto& item : objectOf(fields, "fields").items()) {
        const std::string& key = item.key();
        const auto kind = std::find_if(kFieldKinds.begin(), kFieldKinds.end(),
                                       [&](FieldKind k) { return fieldKey(k) == key; });
        if (kind == kFieldKinds.end())
            throw FormatError("unknown field " + inQuotes(key) + " (facility, card, issue or oem)");
        format.fields.push_back(readField(*kind, item.value(), format.bits));
    }
    if (format.field(FieldKind::CardNumber) == nullptr)
        throw FormatError("has no \"card\" field: every format carries a card number");
}

void readFixedBits(int frameBits, const json& list, ListedBits& listed) {
    for (const json& fixed : listOf(list, "fixed")) {
        onlyKeys(objectOf(fixed, "a fixed bit"), {"bit", "value"}, "a fixed bit");
        const int value = wholeNumber(member(fixed, "value", "a fixed bit"), "its value");
        if (value > 1) throw FormatError("a fixed bit's value must be 0 or 1");
        const int position = wholeNumber(member(fixed, "bit", "a fixed bit"), "bit");
        checkPosition(position, frameBits, "a fixed bit");
        listed.fixed.push_back({position, value == 1});
    }
}

void readParityBits(int frameBits, const json& list, ListedBits& listed) {
    for (const json& parity : listOf(list, "parity")) {
        onlyKeys(objectOf(parity, "a parity bit"), {"bit", "parity", "covers"}, "a parity bit");
        const std::string kind = text(member(parity, "parity", "a parity bit"), "parity");
        if (kind != "even" && kind != "odd")
            throw FormatError("parity must be \"even\" or \"odd\", not " + inQuotes(kind));
        const int position = wholeNumber(member(parity, "bit", "a parity bit"), "a parity bit");
        checkPosition(position, frameBits, "a parity bit");
        listed.parity.push_back(
            {position, kind == "even" ? bits::Parity::Even : bits::Parity::Odd,
             positionList(member(parity, "covers", "a parity bit"), frameBits, "covers")});
    }
}

std::string readName(const json& description) {
    std::string name = text(member(description, "name", "a format"), "its name");
    if (name.empty()) throw FormatError("a format has an empty name");
    if (holdsControlCharacter(name))
        throw FormatError("the format name " + inQuotes(name) +
                          " holds a control character or a bidirectional override");
    return name;
}

std::string optionalText(const json& description, const char* key) {
    return description.contains(key) ? text(description[key], key) : std::string();
}

// The frame's bits and what they carry, checked and placed.
void readLayout(Format& format, const json& description) {
    format.bits = wholeNumber(member(description, "bits", "it"), "bits");
    if (format.bits < 1 || format.bits > kMaxFrameBits)
        throw FormatError("bits must be 1 to " + std::to_string(kMaxFrameBits));
    readFields(format, member(description, "fields", "it"));
    ListedBits listed;
    if (description.contains("fixed")) readFixedBits(format.bits, description["fixed"], listed);
    if (description.contains("parity")) readParityBits(format.bits, description["parity"], listed);
    checkOwners(format, listed);
    checkParityOrder(format, listed);
    placeListedBits(format, listed);
}

// A layout in the mask notation, as the keys "bits", "fields", "fixed" and
// "parity" would give it: checked from then on as any layout is.
json layoutOfMask(const json& description) {
    for (const char* key : {"fields", "fixed", "parity"}) {
        if (description.contains(key))
            throw FormatError("give \"mask\" or \"" + std::string(key) + "\", not both");
    }
    const std::string mask = text(description["mask"], "mask");
    std::vector<std::string> lines;
    if (description.contains("parity_masks")) {
        for (const json& line : listOf(description["parity_masks"], "parity_masks"))
            lines.push_back(text(line, "a parity mask"));
    }
    std::string error;
    const std::optional<MaskLayout> layout = readMask(mask, lines, error);
    if (!layout) throw FormatError(error);
    if (layout->bits < 1 || layout->bits > kMaxFrameBits)
        throw FormatError("the mask must have 1 to " + std::to_string(kMaxFrameBits) + " bits");
    if (description.contains("bits") && wholeNumber(description["bits"], "bits") != layout->bits)
        throw FormatError("bits is " + std::to_string(wholeNumber(description["bits"], "bits")) +
                          " but the mask has " + std::to_string(layout->bits));
    json converted{{"bits", layout->bits}, {"fields", json::object()}};
    for (const auto& [kind, positions] : layout->fields)
        converted["fields"][std::string(fieldKey(kind))] = {{"positions", positions}};
    converted["fixed"] = json::array();
    for (const auto& [position, value] : layout->fixed)
        converted["fixed"].push_back({{"bit", position}, {"value", value ? 1 : 0}});
    converted["parity"] = json::array();
    for (const MaskLayout::ParityLine& line : layout->parity) {
        converted["parity"].push_back(
            {{"bit", line.bit}, {"parity", line.odd ? "odd" : "even"}, {"covers", line.covers}});
    }
    return converted;
}

Format readFormat(const json& description) {
    objectOf(description, "a format");
    Format format;
    format.name = readName(description);
    try {
        onlyKeys(description,
                 {"name", "description", "source", "bits", "fields", "fixed", "parity", "mask",
                  "parity_masks"},
                 "");
        format.description = optionalText(description, "description");
        format.source = optionalText(description, "source");
        if (description.contains("parity_masks") && !description.contains("mask"))
            throw FormatError("\"parity_masks\" needs a \"mask\"");
        readLayout(format, description.contains("mask") ? layoutOfMask(description) : description);
    } catch (const FormatError& error) {
        throw FormatError("format " + inQuotes(format.name) + ": " + error.what());
    }
    return format;
}

// A pass of its own over the text, keeping no document, before the JSON
// library builds one. It finds keys given twice in one object (the library
// would silently keep the last: a second "card" must not replace the first
// unseen), and refuses what no format file needs and would cost more than
// its size to hold: an object with more keys than any object of a format
// file has (the library's ordered objects look a key up one by one, so many
// keys cost their square), or lists and objects nested deeper than a format
// file nests them. It stays linear itself (the library's parse callbacks
// rescan a whole list at the end of each object in it). The format is named
// once its object is complete.
class ShapeCheck : public nlohmann::json_sax<json> {
  public:
    bool null() override { return scalar(); }
    bool boolean(bool /*unused*/) override { return scalar(); }
    bool number_integer(number_integer_t /*unused*/) override { return scalar(); }
    bool number_unsigned(number_unsigned_t /*unused*/) override { return scalar(); }
    bool number_float(number_float_t /*unused*/, const string_t& /*unused*/) override {
        return scalar();
    }
    bool string(string_t& text) override {
        if (depth() == formatDepth_ + 1 && lastKey_ == "name") name_ = text;
        return scalar();
    }
    bool binary(binary_t& /*unused*/) override { return scalar(); }
    bool start_object(std::size_t /*unused*/) override {
        checkDepth();
        countEntry();
        if (containers_.empty()) formatDepth_ = 2;
        if (depth() == formatDepth_) {
            duplicate_.reset();
            name_.reset();
        }
        containers_.push_back({true, {}, 0});
        return true;
    }
    bool key(string_t& key) override {
        lastKey_ = key;
        std::unordered_set<std::string>& keys = containers_.back().keys;
        if (keys.size() >= kMostKeys)
            throw FormatError("an object has more than " + std::to_string(kMostKeys) +
                              " keys: no object of a format file has that many");
        if (keys.insert(key).second) return true;
        if (depth() < formatDepth_)
            throw FormatError("the key " + inQuotes(key) + " appears twice");
        if (!duplicate_) duplicate_ = key;
        return true;
    }
    bool end_object() override {
        containers_.pop_back();
        if (depth() == formatDepth_ && duplicate_) {
            throw FormatError((name_ ? "format " + inQuotes(*name_) : std::string("a format")) +
                              ": the key " + inQuotes(*duplicate_) + " appears twice");
        }
        lastKey_.clear();
        return true;
    }
    bool start_array(std::size_t /*unused*/) override {
        checkDepth();
        countEntry();
        if (containers_.empty()) formatDepth_ = 1;
        containers_.push_back({false, {}, 0});
        return true;
    }
    bool end_array() override {
        containers_.pop_back();
        lastKey_.clear();
        return true;
    }
    // The parse proper reports a syntax error, with its position.
    bool parse_error(std::size_t /*unused*/, const std::string& /*unused*/,
                     const nlohmann::detail::exception& /*unused*/) override {
        return false;
    }

  private:
    // A format file nests six deep (file, formats, a format, its fields, a
    // field, its positions); a little room above that for what may come.
    static constexpr int kMostDepth = 8;
    static constexpr std::size_t kMostKeys = 16;
    // Positions, covered bits, fixed and parity bits: never more than a frame's.
    static constexpr std::size_t kMostEntries = kMaxFrameBits;

    struct Container {
        bool object = false;
        std::unordered_set<std::string> keys;  // of an object
        std::size_t entries = 0;               // of a list
    };

    int depth() const { return static_cast<int>(containers_.size()); }

    void checkDepth() const {
        if (depth() >= kMostDepth)
            throw FormatError("lists and objects are nested more than " +
                              std::to_string(kMostDepth) + " deep: a format file needs six");
    }

    // A list may hold no more than its kind can use (the formats list, its
    // formats).
    void countEntry() {
        if (containers_.empty() || containers_.back().object) return;
        const bool formats = depth() == formatDepth_;
        if (++containers_.back().entries > (formats ? Library::kMaxFormats : kMostEntries)) {
            throw FormatError(formats ? "the file has more than " +
                                            std::to_string(Library::kMaxFormats) + " formats"
                                      : "a list holds more than " + std::to_string(kMostEntries) +
                                            " entries: no list of a format needs that many");
        }
    }
    bool scalar() {
        countEntry();
        lastKey_.clear();
        return true;
    }

    std::vector<Container> containers_;
    std::string lastKey_;
    std::optional<std::string> duplicate_;
    std::optional<std::string> name_;
    int formatDepth_ = 1;  // how many containers enclose a format's object
};

}  // namespace

Library Library::builtIn() {
    Library library;
    std::string error;
    // The file ships with the program and is tested; a fault in it is ours.
    if (!library.addFormats(kBuiltInFormats, error)) throw std::logic_error(error);
    return library;
}

// The formats of a file, checked whole, and their lower-case names with the
// places they will take in the library; throws on the first fault.
std::vector<Format> Library::readFile(std::string_view text,
                                      std::unordered_map<std::string, std::size_t>& names) const {
    if (text.size() > kMaxFileBytes)
        throw FormatError("the file is larger than " + std::to_string(kMaxFileBytes >> 20) +
                          " MiB");
    // The JSON library takes a NUL byte for the end of its input: what
    // followed one would go unread.
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        throw FormatError("the file holds a NUL byte at byte " + std::to_string(nul + 1) +
                          ": a format file is JSON text to its end");
    ShapeCheck shape;
    json::sax_parse(text, &shape);
    const json document = json::parse(text);
    if (document.is_object()) onlyKeys(document, {"formats"}, "the file");
    const json& list = listOf(
        document.is_object() ? member(document, "formats", "the file") : document, "\"formats\"");
    if (list.size() > kMaxFormats)
        throw FormatError("the file has more than " + std::to_string(kMaxFormats) + " formats");
    std::vector<Format> added;
    for (const json& description : list) {
        Format format = readFormat(description);
        const std::string key = lowerCase(format.name);
        if (index_.contains(key) || !names.emplace(key, formats_.size() + added.size()).second)
            throw FormatError("format " + inQuotes(format.name) + ": the name is taken");
        added.push_back(std::move(format));
    }
    if (formats_.size() + added.size() > kMaxLibraryFormats)
        throw FormatError("more than " + std::to_string(kMaxLibraryFormats) + " formats in all");
    return added;
}

bool Library::addFormats(std::string_view text, std::string& error) {
    std::vector<Format> added;
    std::unordered_map<std::string, std::size_t> addedNames;
    try {
        added = readFile(text, addedNames);
    } catch (const json::exception& fault) {
        error = "not a JSON format file: " + shownText(fault.what());
        return false;
    } catch (const FormatError& fault) {
        error = fault.what();
        return false;
    } catch (const std::bad_alloc&) {
        error = "the file needs more memory than there is to read it";
        return false;
    }
    index_.merge(addedNames);
    for (Format& format : added) {
        byLength_[static_cast<std::size_t>(format.bits)].push_back(
            static_cast<std::uint32_t>(formats_.size()));
        formats_.push_back(std::move(format));
    }
    rankFormats();
    return true;
}

const Format* Library::find(std::string_view name) const {
    const auto found = index_.find(lowerCase(name));
    return found == index_.end() ? nullptr : &formats_[found->second];
}

}  // namespace proxcred::wiegand

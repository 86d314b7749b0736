#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/text_sink.h"
#include "wiegand/card_text.h"
#include "wiegand/field_texts.h"
#include "wiegand/library.h"

namespace proxcred::cli {

struct WiegandOptions {
    std::string formatsFile;  // more formats, from a JSON file
    bool json = false;
    std::string format;   // -w NAME; empty for every format
    std::string csvPath;  // encode: rows from this file, - for standard input
    wiegand::FieldTexts fieldTexts;
    wiegand::CardForm out = wiegand::CardForm::Bin;
    wiegand::CardForm in = wiegand::CardForm::Hex;
    std::optional<int> bits;
    std::vector<std::string> values;  // decode: values, or files of the flipper form
    // Card numbers as printed are this much below those carried: encode adds
    // it, decode takes it off.
    std::int64_t offset = 0;
    std::uint64_t maxCards = 1'000'000;  // the most cards a range may give
    bool csv = false;                    // decode: CSV rows for import files
    bool all = false;                    // decode --csv: every reading, not the best
};

// The formats with their fields' largest values: a table, or JSON.
int wiegandList(const wiegand::Library& library, bool json, TextSink& out);
// With -w, one card: the numbers' frame in the chosen form, or a card a line
// for a range of card numbers ("1603-1702"). Without, one line for every
// format that can hold the numbers, NAME and text. One JSON object a card
// with --json. The offset is added to every card number. Exit 1 with the
// refusal on `err`: an unknown format, a field it lacks, a number that is not
// decimal or too large for its field (offset), a form that cannot carry the
// card, no format at all that holds it, or a range of more than maxCards
// cards or past the field's largest value (before anything is written).
int wiegandEncode(const wiegand::Library& library, const WiegandOptions& options, TextSink& out,
                  TextSink& err);
// Every row format,facility,card,issue,oem of `in` (header optional, its
// columns in any order, an empty field for a number not given; the card a
// number or a range, a row a card) with frame,message added; a refused row
// keeps its place with the reason. Two rows that give the same frame (the
// same card, or one frame from two formats) are warned of on `err` at the
// end, naming both rows; the warnings leave the exit status as it is. Exit 1
// when any row was refused, 2 for a header that cannot be used.
int wiegandEncodeCsv(const wiegand::Library& library, const WiegandOptions& options, std::FILE* in,
                     std::string_view source, TextSink& out, TextSink& err);
// Every value (or line of `in`; for the flipper form, every file named, or
// `in`): the cards it may be, with their numbers and parity verdicts, ranked.
// Exit 1 when any value was not of the input form or longer than a line may
// be, 2 when a file named cannot be read.
int wiegandDecode(const wiegand::Library& library, const WiegandOptions& options, std::FILE* in,
                  TextSink& out, TextSink& err);
// Reads of one site's cards, one a line of `in`: the formats under which
// every card decodes with parity ok or none, one facility code for all of
// them and card numbers that differ (wiegand::identify), or several facility
// codes, shown as groups. Cards read twice count once; a read that fits no
// format is named and left out. A table, or JSON. Exit 1 when a read is not
// of the input form (named on `err`) or there are more than 10,000 cards.
int wiegandIdentify(const wiegand::Library& library, const WiegandOptions& options, std::FILE* in,
                    TextSink& out, TextSink& err);
// A format's layout in the notation of access-control documentation: one
// letter a bit (P parity, F facility, C card, I issue, M OEM, 0 and 1 fixed,
// . unused), then a line per parity bit marking what it covers with X and
// itself with E or O; then what the letters cannot say (BCD, smaller
// largest values).
int wiegandLayout(const wiegand::Library& library, std::string_view name, TextSink& out,
                  TextSink& err);

}  // namespace proxcred::cli

#pragma once

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
};

// The formats with their fields' largest values: a table, or JSON.
int wiegandList(const wiegand::Library& library, bool json, TextSink& out);
// With -w, one card: the numbers' frame in the chosen form. Without, one line
// for every format that can hold the numbers, NAME and text. One JSON object
// a card with --json. Exit 1 with the refusal on `err`: an unknown format, a
// field it lacks, a number that is not decimal or too large for its field,
// a form that cannot carry the card, or no format at all that holds it.
int wiegandEncode(const wiegand::Library& library, const WiegandOptions& options, TextSink& out,
                  TextSink& err);
// Every row format,facility,card,issue,oem of `in` (header optional, its
// columns in any order, an empty field for a number not given) with
// frame,message added; a refused row keeps its place with the reason. Exit 1
// when any row was refused, 2 for a header that cannot be used.
int wiegandEncodeCsv(const wiegand::Library& library, wiegand::CardForm form, std::FILE* in,
                     std::string_view source, TextSink& out, TextSink& err);
// Every value (or line of `in`; for the flipper form, every file named, or
// `in`): the cards it may be, with their numbers and parity verdicts, ranked.
// Exit 1 when any value was not of the input form or longer than a line may
// be, 2 when a file named cannot be read.
int wiegandDecode(const wiegand::Library& library, const WiegandOptions& options, std::FILE* in,
                  TextSink& out, TextSink& err);

}  // namespace proxcred::cli

#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "wiegand/frame_text.h"
#include "wiegand/library.h"

namespace proxcred::cli {

// The numbers given for encoding, as typed, by field kind.
using FieldTexts = std::array<std::optional<std::string_view>, wiegand::kFieldKinds.size()>;

struct WiegandOptions {
    std::string formatsFile;  // more formats, from a JSON file
    bool json = false;
    std::string format;   // -w NAME
    std::string csvPath;  // encode: rows from this file, - for standard input
    FieldTexts fieldTexts;
    wiegand::FrameForm out = wiegand::FrameForm::Bin;
    wiegand::FrameForm in = wiegand::FrameForm::Hex;
    std::optional<int> bits;
    std::vector<std::string> values;
};

// The formats with their fields' largest values: a table, or JSON.
int wiegandList(const wiegand::Library& library, bool json, std::ostream& out);
// One line: the frame of the numbers in the chosen form. Exit 1 with the
// refusal on `err`: an unknown format, a field it lacks, a number that is not
// decimal or too large for its field, or a form that cannot carry the frame.
int wiegandEncode(const wiegand::Library& library, const WiegandOptions& options, std::ostream& out,
                  std::ostream& err);
// Every row format,facility,card,issue,oem of `in` (header optional, an empty
// field for a number not given) with frame,message added; a refused row keeps
// its place with the reason. Exit 1 when any row was refused.
int wiegandEncodeCsv(const wiegand::Library& library, wiegand::FrameForm form, std::FILE* in,
                     std::ostream& out, std::ostream& err);
// Every value (or line of `in`): the formats it fits, with their numbers and
// parity verdicts, valid parity first. Exit 1 when any value was not of the
// input form or longer than a line may be.
int wiegandDecode(const wiegand::Library& library, const WiegandOptions& options, std::FILE* in,
                  std::ostream& out, std::ostream& err);

}  // namespace proxcred::cli

#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/text_sink.h"
#include "formats/prox_data.h"

namespace proxcred::cli {

// One encoding as the encode page would show it: the prox data text and the
// message the operator would see, if any.
struct EncodedRow {
    ProxOutcome outcome;  // its text() is the prox data box's
    std::string message;
    bool encoded() const { return outcome.kind == ProxOutcome::Kind::Card; }
};

// Facility code and version are read as the input boxes read them: trimmed,
// the numeric test, nearest whole number with ties to even; empty means 0.
EncodedRow encodeRow(std::string_view key, std::string_view hotstamp, std::string_view facility,
                     std::string_view version);

// One line per hotstamp on `out`, messages on `err`. Exit status 0 when every
// hotstamp encoded, 1 otherwise.
int encodeHotstamps(std::string_view key, std::string_view facility, std::string_view version,
                    const std::vector<std::string>& hotstamps, TextSink& out, TextSink& err);

// Rows format,hotstamp,facility,version in (or the columns a header names,
// in any order); the same rows with prox_data,message appended out.
// `source` names the input in messages.
int encodeCsv(std::FILE* in, std::string_view source, TextSink& out, TextSink& err);

}  // namespace proxcred::cli

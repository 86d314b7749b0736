#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace proxcred::cli {

// What a batch of CSV rows looks like: the columns each row gains, how many
// fields a row may have, and what to say of a row that has too few or too many.
struct CsvBatch {
    std::string_view addedColumns;  // "prox_data,message"
    std::size_t fewestFields = 1;
    std::size_t mostFields = 1;
    std::string_view expected;  // "Expected format,hotstamp,facility,version"
};

// Encodes one row of a batch: may complete `fields` to the full row, appends
// the added columns (a comma ahead of each) to `added`, and says whether the
// row was encoded.
using CsvRowEncoder = std::function<bool(std::vector<std::string>& fields, std::string& added)>;

// Streams the rows of `in` to `out`, each with its added columns: a header
// (first field "format") gains their names, blank lines are skipped, and a
// row refused keeps its place with an empty result and the reason. A
// progress line shows on a terminal. Exit 1, with the count of refused rows
// on `err`, when any row was refused or the input could not be read.
int encodeCsvBatch(std::FILE* in, std::ostream& out, std::ostream& err, const CsvBatch& batch,
                   const CsvRowEncoder& encodeRow);

}  // namespace proxcred::cli

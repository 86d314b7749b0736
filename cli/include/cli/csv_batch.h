#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/text_sink.h"

namespace proxcred::cli {

// A column of a batch, by the name a header row gives it.
struct CsvColumn {
    std::string_view name;  // "format", "card", ...
    bool required = false;  // a header must have it
};

// What a batch of CSV rows looks like: its columns in the documented order
// (the order rows without a header use), the columns each row gains, and how
// many fields a row without a header needs at least.
struct CsvBatch {
    std::span<const CsvColumn> columns;
    std::string_view addedColumns;  // "prox_data,message"
    std::size_t fewestFields = 1;
};

// A row's fields by column, in the batch's order: what the row gives, by
// its header's names or by position; empty for a column it leaves out.
using CsvRow = std::vector<std::string_view>;

// Encodes one row of a batch: appends the added columns (a comma ahead of
// each) to `added`, and says whether the row was encoded.
using CsvRowEncoder = std::function<bool(const CsvRow& row, std::string& added)>;

// Streams the rows of `in` to `out`, each with its added columns. A first row
// whose first field names a column ("format", "card", ...) is a header: its
// names say which column is which, in any order and letter case, and it
// gains the added names; a
// header naming an unknown column, one twice, or missing a required one is
// refused before anything is written (exit 2, naming them and `source`).
// Without a header, the columns are in the batch's order. Blank lines are
// skipped, and a row refused keeps its place with an empty result and the
// reason. A progress line shows on a terminal. Exit 1, with the count of
// refused rows on `err`, when any row was refused or the input could not be
// read.
int encodeCsvBatch(std::FILE* in, std::string_view source, TextSink& out, TextSink& err,
                   const CsvBatch& batch, const CsvRowEncoder& encodeRow);

}  // namespace proxcred::cli

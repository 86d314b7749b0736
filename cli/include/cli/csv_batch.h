#pragma once

#include <cstddef>
#include <cstdint>
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
    static constexpr std::size_t kNoColumn = ~std::size_t{0};

    std::span<const CsvColumn> columns;
    std::string_view addedColumns;  // "prox_data,message"
    std::size_t fewestFields = 1;
    // A column that may give a range "first-last" (card numbers): the row
    // stands for one row a number, in order, each written with its number.
    std::size_t rangeColumn = kNoColumn;
};

// A row's fields by column, in the batch's order: what the row gives, by
// its header's names or by position; empty for a column it leaves out.
using CsvRow = std::vector<std::string_view>;

// Encodes one row of a batch (the record's number in the input given, a
// header counted, for messages): appends the added columns (a comma ahead of
// each) to `added`, and says whether the row was encoded.
using CsvRowEncoder =
    std::function<bool(const CsvRow& row, std::size_t record, std::string& added)>;

// Checks a row's range before any of its rows is written: the refusal, or
// empty when every number of it may be encoded.
using CsvRangeCheck =
    std::function<std::string(const CsvRow& row, std::uint64_t first, std::uint64_t last)>;

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
// A range in the range column (rangeColumn) is checked first; a refused one
// keeps its one row with the reason.
int encodeCsvBatch(std::FILE* in, std::string_view source, TextSink& out, TextSink& err,
                   const CsvBatch& batch, const CsvRowEncoder& encodeRow,
                   const CsvRangeCheck& checkRange = {});

}  // namespace proxcred::cli

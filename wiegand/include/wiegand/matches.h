#pragma once

#include <vector>

#include "wiegand/frame_text.h"
#include "wiegand/library.h"

// What a frame may be: every format it fits, the likely card first.
namespace proxcred::wiegand {

// A frame read as one format.
struct Match {
    const Format* format = nullptr;
    Decoded decoded;
};
using Matches = std::vector<Match>;

// Puts readings in rank order: parity ok first, then formats without
// parity, then failed parity; within each, the formats in wide use first
// and the rest by length (Library::rankOf).
void rankMatches(Matches& matches);

// Every reading of the frames as a format of their length (or as `only`),
// ranked. `matches` is kept by the caller, so that decoding line after line
// allocates nothing.
void findMatches(const Library& library, const Frames& frames, const Format* only,
                 Matches& matches);

}  // namespace proxcred::wiegand

// Speed of the Wiegand library: one frame decoded against every format, and
// one encode.
#include <benchmark/benchmark.h>

#include "wiegand/library.h"

namespace {

using namespace proxcred::wiegand;

void decodeAgainstAllFormats(benchmark::State& state) {
    const Library library = Library::builtIn();
    CardNumbers numbers;
    numbers[FieldKind::FacilityCode] = 1;
    numbers[FieldKind::CardNumber] = 1;
    const Frame frame = *encode(*library.find("H10306"), numbers).frame;
    for (auto _ : state) {
        int matches = 0;
        for (const Format& format : library.formats()) matches += decode(format, frame) ? 1 : 0;
        benchmark::DoNotOptimize(matches);
    }
}
BENCHMARK(decodeAgainstAllFormats);

void encodeC1k48s(benchmark::State& state) {
    const Library library = Library::builtIn();
    const Format& format = *library.find("C1k48s");
    CardNumbers numbers;
    numbers[FieldKind::FacilityCode] = 12345;
    numbers[FieldKind::CardNumber] = 0;
    for (auto _ : state) {
        numbers[FieldKind::CardNumber] = (*numbers[FieldKind::CardNumber] + 1) & 0x7FFFFF;
        benchmark::DoNotOptimize(encode(format, numbers));
    }
}
BENCHMARK(encodeC1k48s);

}  // namespace

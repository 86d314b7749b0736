// Speed of the Wiegand library: one frame decoded against the formats of its
// length and against every format, one encode, loading a format file of
// 1,000 to 100,000 formats (the time per format stays flat: loading is
// linear), and refusing files built to cost more than their size: an
// object of 160,000 keys, 16 MiB of nesting.
#include <benchmark/benchmark.h>

#include <string>

#include "wiegand/library.h"

namespace {

using namespace proxcred::wiegand;

Frame h10306Card(const Library& library) {
    CardNumbers numbers;
    numbers[FieldKind::FacilityCode] = 1;
    numbers[FieldKind::CardNumber] = 1;
    return *encode(*library.find("H10306"), numbers).frame;
}

// As the command line decodes: only the formats of the frame's length,
// grouped once at load, are looked at.
void decodeAgainstFormatsOfItsLength(benchmark::State& state) {
    const Library library = Library::builtIn();
    const Frame frame = h10306Card(library);
    for (auto _ : state) {
        int matches = 0;
        library.forEachOfLength(
            frame.bits, [&](const Format& format) { matches += decode(format, frame) ? 1 : 0; });
        benchmark::DoNotOptimize(matches);
    }
}
BENCHMARK(decodeAgainstFormatsOfItsLength);

// Every format looked at, as before the grouping: most refuse on the length.
void decodeAgainstEveryFormat(benchmark::State& state) {
    const Library library = Library::builtIn();
    const Frame frame = h10306Card(library);
    for (auto _ : state) {
        int matches = 0;
        for (const Format& format : library.formats()) matches += decode(format, frame) ? 1 : 0;
        benchmark::DoNotOptimize(matches);
    }
}
BENCHMARK(decodeAgainstEveryFormat);

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

std::string formatFile(std::int64_t count) {
    std::string file = "[";
    for (std::int64_t i = 0; i < count; ++i) {
        file +=
            std::string(i == 0 ? "" : ",") + R"({"name":"F)" + std::to_string(i) +
            R"(","bits":26,"fields":{"facility":{"start":1,"length":8},"card":{"start":9,"length":16}}})";
    }
    return file + "]";
}

void loadFormatFile(benchmark::State& state) {
    const std::string file = formatFile(state.range(0));
    for (auto _ : state) {
        Library library;
        std::string error;
        if (!library.addFormats(file, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(library.formats().size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(loadFormatFile)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void refuse(benchmark::State& state, const std::string& file) {
    for (auto _ : state) {
        Library library;
        std::string error;
        if (library.addFormats(file, error)) state.SkipWithError("the file was taken");
        benchmark::DoNotOptimize(error);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}

// One object of 160,000 keys (1.8 MB): the JSON library's ordered objects
// would take the square of that to build.
void refuseAnObjectOfManyKeys(benchmark::State& state) {
    std::string file = "{";
    for (int i = 0; i < 160000; ++i) file += (i == 0 ? "\"k" : ",\"k") + std::to_string(i) + "\":1";
    refuse(state, file + "}");
}
BENCHMARK(refuseAnObjectOfManyKeys)->Unit(benchmark::kMillisecond);

// 16 MiB of nesting, which held would take over a gigabyte.
void refuseDeepNesting(benchmark::State& state) {
    const std::size_t half = Library::kMaxFileBytes / 2;
    refuse(state, std::string(half, '[') + std::string(half, ']'));
}
BENCHMARK(refuseDeepNesting)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {
void decodeMarkedCardAt37(benchmark::State& state) {
    const Library library = Library::builtIn();
    const Frame frame{(std::uint64_t{1} << 26) | 0x12345, 37};
    for (auto _ : state) {
        int matches = 0;
        library.forEachOfLength(
            frame.bits, [&](const Format& format) { matches += decode(format, frame) ? 1 : 0; });
        benchmark::DoNotOptimize(matches);
    }
}
BENCHMARK(decodeMarkedCardAt37);
}  // namespace

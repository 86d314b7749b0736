// Speed of the core: one encode per format, one prox data calculation from
// text, and one split of 16-digit card data through all nine formats.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "cli/line_buffer.h"
#include "cli/split_command.h"
#include "formats/encoders.h"
#include "formats/prox_data.h"
#include "split/split_card.h"

namespace {

using proxcred::CardFormat;

void encodeOne(benchmark::State& state) {
    const auto format = static_cast<CardFormat>(state.range(0));
    state.SetLabel(std::string(proxcred::formatInfo(format).key));
    double hotstamp = 12345;
    for (auto _ : state) {
        benchmark::DoNotOptimize(proxcred::encodeCard(format, {hotstamp, 100, 1}));
        hotstamp = hotstamp < 60000 ? hotstamp + 1 : 0;
    }
}
BENCHMARK(encodeOne)->DenseRange(0, 8);

void proxDataFromText(benchmark::State& state) {
    for (auto _ : state) {
        const auto outcome = proxcred::calcProxData({"12345", "26", 123, "123", "0"});
        benchmark::DoNotOptimize(outcome.text());
    }
}
BENCHMARK(proxDataFromText);

void splitSixteenDigits(benchmark::State& state) {
    const std::vector<std::string> cards{"0000000600400002", "0000777777777777", "0377037777777777",
                                         "0000601730060162"};
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(proxcred::splitCardData(cards[next]));
        next = (next + 1) % cards.size();
    }
}
BENCHMARK(splitSixteenDigits);

void splitToJsonLine(benchmark::State& state) {
    std::string error;
    proxcred::cli::LineBuffer line;
    for (auto _ : state) {
        line.clear();
        proxcred::cli::appendSplitJson(line, "0000000600400002", error);
        benchmark::DoNotOptimize(line.view().data());
    }
}
BENCHMARK(splitToJsonLine);

}  // namespace

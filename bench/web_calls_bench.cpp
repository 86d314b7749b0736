// The web app's calls, native: the same form session and card tools the page
// calls in WebAssembly (scripts/bench-web.sh times those in Chromium and
// gives the ratio).
#include <benchmark/benchmark.h>

#include <string>

#include "web/card_tools.h"
#include "web/form_session.h"

namespace {

using proxcred::web::CardTools;
using proxcred::web::FormSession;

void webFormEdit(benchmark::State& state) {
    FormSession form("FC=12;CF=26;ZELF=F");
    form.start();
    int hotstamp = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(form.edit("txtBoxSerialNo", std::to_string(hotstamp++ % 60000)));
    }
}
BENCHMARK(webFormEdit);

void webSplit(benchmark::State& state) {
    const CardTools tools;
    for (auto _ : state) benchmark::DoNotOptimize(tools.split("0000000600400002", true));
}
BENCHMARK(webSplit);

void webWiegandDecode(benchmark::State& state) {
    const CardTools tools;
    for (auto _ : state)
        benchmark::DoNotOptimize(tools.wiegandDecode("2006EC0C86", "hex", "", "", true));
}
BENCHMARK(webWiegandDecode);

void webWiegandEncode(benchmark::State& state) {
    const CardTools tools;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tools.wiegandEncode("H10301", {"12", "345", "", ""}, "hex", true));
    }
}
BENCHMARK(webWiegandEncode);

void webEm(benchmark::State& state) {
    const CardTools tools;
    for (auto _ : state) benchmark::DoNotOptimize(tools.em("0F0368568B", "id", "", true));
}
BENCHMARK(webEm);

void webStart(benchmark::State& state) {
    for (auto _ : state) {
        FormSession form("FC=12;CF=26;ZELF=F");
        benchmark::DoNotOptimize(form.start());
    }
}
BENCHMARK(webStart);

void webCardTools(benchmark::State& state) {
    for (auto _ : state) {
        const CardTools tools;
        benchmark::DoNotOptimize(&tools);
    }
}
BENCHMARK(webCardTools);

}  // namespace

// Speed of the form model: one keystroke in the hotstamp box with all its
// cascades, and creating and loading the form.
#include <benchmark/benchmark.h>

#include "fakes/fake_platform.h"
#include "form/frm_corvel.h"

namespace {

void keystrokeInHotstampBox(benchmark::State& state) {
    proxcred::fakes::FakePlatform fakes;
    proxcred::frmCorvel form(fakes.platform);
    form.Form_Load();
    form.activate();
    form.pasteText(form.txtBoxSerialNo, "1234");
    bool longer = false;
    for (auto _ : state) {
        // One character typed or taken away: each runs the full cascade.
        if (longer) {
            form.pasteText(form.txtBoxSerialNo, "1234");
        } else {
            form.typeText(form.txtBoxSerialNo, "5");
        }
        longer = !longer;
        benchmark::DoNotOptimize(form.txtBoxProxData.text());
    }
}
BENCHMARK(keystrokeInHotstampBox);

void createAndLoadForm(benchmark::State& state) {
    proxcred::fakes::FakePlatform fakes;
    fakes.serialPort.openable = {1, 3};
    fakes.clipboard.content = "FC=12;CF=26;ZELF=F";
    for (auto _ : state) {
        proxcred::frmCorvel form(fakes.platform);
        form.Form_Load();
        form.activate();
        benchmark::DoNotOptimize(form.sCardFormat);
    }
}
BENCHMARK(createAndLoadForm);

}  // namespace

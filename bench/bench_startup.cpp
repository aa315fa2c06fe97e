// Start-up of the shipped data: the run-time control and initial-values files, the species file
// with its tree pictures, the plot file, the colour file and the community, and with weather:1
// also the weather file that a run reads before its first year (the shipped record's years are
// read whole for a year-to-year climate). Prints the time of one complete load.
#include <benchmark/benchmark.h>

#include <memory>

#include "BenchSupport.h"
#include "input/StartupLoad.h"
#include "input/WeatherFile.h"
#include "model/ModelState.h"

namespace dravia::bench {
namespace {

void BM_StartupLoad(benchmark::State& state) {
    const bool weather = state.range(0) == 1;
    ScratchDirectory directory;
    SilentHost host;
    for (auto _ : state) {
        auto model = std::make_unique<ModelState>();
        model->host = &host;
        loadAtStartup(*model);
        if (weather) readWeatherFile(*model, model->params.CLIMATE_CHANGE);
        benchmark::DoNotOptimize(model->NSPP);
    }
}
BENCHMARK(BM_StartupLoad)->ArgName("weather")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The weather file alone, into a model state loaded once.
void BM_ReadWeatherFile(benchmark::State& state) {
    ScratchDirectory directory;
    SilentHost host;
    auto model = std::make_unique<ModelState>();
    model->host = &host;
    loadAtStartup(*model);
    for (auto _ : state) {
        readWeatherFile(*model, model->params.CLIMATE_CHANGE);
        benchmark::DoNotOptimize(model->weather.recordYears);
    }
}
BENCHMARK(BM_ReadWeatherFile)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
}  // namespace dravia::bench

BENCHMARK_MAIN();

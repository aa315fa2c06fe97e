// What the run database costs: the shipped run (300 years × 5 iterations) and a long one (1,000
// years × 100 iterations, results every 10 years), without a database, with its default tables,
// with demography every year, and with every tree.
#include <benchmark/benchmark.h>

#include <memory>

#include "BenchSupport.h"
#include "input/StartupLoad.h"
#include "model/ModelState.h"
#include "model/VolumeTable.h"
#include "run/RunDriver.h"

namespace dravia::bench {
namespace {

enum Recording { NoDatabase, DefaultTables, Yearly, Trees };

void BM_RunWithDatabase(benchmark::State& state) {
    const bool longRun = state.range(0) == 1;
    const auto recording = static_cast<Recording>(state.range(1));
    ScratchDirectory directory;
    SilentHost host;
    for (auto _ : state) {
        auto model = std::make_unique<ModelState>();
        model->host = &host;
        loadAtStartup(*model);
        RunParameters& p = model->params;
        p.SCREEN_OUTPUT_MODE = 3;
        if (longRun) {
            p.NUM_YEARS = 1000;
            p.NUM_ITERS = 100;
            p.RESULTS_INTERV = 10;
            p.PRINT_INTERV = 10;
        }
        if (recording != NoDatabase) {
            model->databaseRequest.path = "bench.sqlite";
            model->databaseRequest.yearly = recording == Yearly;
            model->databaseRequest.trees = recording == Trees;
        }
        fillVolumeCoefficients(*model);
        runSimulation(*model);
        state.counters["plot_years"] = static_cast<double>(p.NUM_YEARS) * p.NUM_ITERS * p.NUM_PLOTS;
    }
}
BENCHMARK(BM_RunWithDatabase)
    ->ArgNames({"long", "recording"})
    ->ArgsProduct({{0}, {NoDatabase, DefaultTables, Yearly, Trees}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_RunWithDatabase)
    ->ArgNames({"long", "recording"})
    ->ArgsProduct({{1}, {NoDatabase, DefaultTables, Yearly, Trees}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
}  // namespace dravia::bench

BENCHMARK_MAIN();

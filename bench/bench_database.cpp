// What the run database costs: the shipped run (300 years × 5 iterations) and a long one (1,000
// years × 100 iterations, results every 10 years). Each benchmark iteration runs the same run
// without a database and then with one recording (its default tables, demography every year, or
// every tree), back to back in one process, and reports the CPU time of each and their ratio.
#include <benchmark/benchmark.h>
#include <time.h>

#include <memory>

#include "BenchSupport.h"
#include "input/StartupLoad.h"
#include "model/ModelState.h"
#include "model/VolumeTable.h"
#include "run/RunDriver.h"

namespace dravia::bench {
namespace {

enum Recording { NoDatabase, DefaultTables, Yearly, Trees };

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// CPU seconds of one whole run in a fresh model state.
double timedRun(bool longRun, Recording recording, SilentHost& host) {
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
    const double start = processCpuSeconds();
    runSimulation(*model);
    return processCpuSeconds() - start;
}

void BM_DatabaseCost(benchmark::State& state) {
    const bool longRun = state.range(0) == 1;
    const auto recording = static_cast<Recording>(state.range(1));
    ScratchDirectory directory;
    SilentHost host;
    double bare = 0.0, recorded = 0.0;
    for (auto _ : state) {
        bare += timedRun(longRun, NoDatabase, host);
        recorded += timedRun(longRun, recording, host);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["bare_ms"] = 1000.0 * bare / runs;
    state.counters["with_db_ms"] = 1000.0 * recorded / runs;
    state.counters["cpu_ratio"] = recorded / bare;
}
BENCHMARK(BM_DatabaseCost)
    ->ArgNames({"long", "recording"})
    ->ArgsProduct({{0}, {DefaultTables, Yearly, Trees}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_DatabaseCost)
    ->ArgNames({"long", "recording"})
    ->ArgsProduct({{1}, {DefaultTables, Yearly, Trees}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
}  // namespace dravia::bench

BENCHMARK_MAIN();

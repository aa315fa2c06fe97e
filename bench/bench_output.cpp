// What a user pays for each output: whole runs of the shipped data set (northern hardwoods, one
// plot, year-to-year weather) of 1,000 years × 20 iterations, without any file (the bare run),
// with the results file every 25 years (as shipped), every 10 years and every year, with Output
// Every Tree at the shipped interval, and with the run database's default tables. Run with
// --benchmark_enable_random_interleaving=true --benchmark_repetitions=N so that every case meets
// the same load, and read each case as a ratio to the bare run.
#include <benchmark/benchmark.h>

#include <memory>

#include "BenchSupport.h"
#include "input/StartupLoad.h"
#include "model/ModelState.h"
#include "model/VolumeTable.h"
#include "run/RunDriver.h"

namespace dravia::bench {
namespace {

enum Output { Bare, Results25, Results10, Results1, EveryTree, Database };

void BM_RunWithOutput(benchmark::State& state) {
    const auto output = static_cast<Output>(state.range(0));
    ScratchDirectory directory;
    SilentHost host;
    double plotYears = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<ModelState>();
        model->host = &host;
        loadAtStartup(*model);
        RunParameters& p = model->params;
        p.SCREEN_OUTPUT_MODE = 3;
        p.NUM_YEARS = 1000;
        p.NUM_ITERS = 20;
        p.FILE_OUTPUT_FLAG = output == Bare || output == Database ? 0 : 1;
        p.RESULTS_INTERV = output == Results10 ? 10 : output == Results1 ? 1 : 25;
        p.PRINT_INTERV = p.RESULTS_INTERV;
        p.OUTPUT_EVERY_TREE = output == EveryTree;
        if (output == Database) model->databaseRequest.path = "bench.sqlite";
        fillVolumeCoefficients(*model);
        state.ResumeTiming();
        runSimulation(*model);
        plotYears = static_cast<double>(p.NUM_YEARS) * p.NUM_ITERS * p.NUM_PLOTS;
    }
    state.counters["ns_per_plot_year"] = benchmark::Counter(
        plotYears * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RunWithOutput)
    ->ArgName("output")
    ->DenseRange(Bare, Database)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

}  // namespace
}  // namespace dravia::bench

BENCHMARK_MAIN();

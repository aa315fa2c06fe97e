// Start-up loading of the shipped data: the run-time control and initial-values files, the
// species file with its tree pictures, the plot file, the colour file and the community.
// Prints the time of one complete load (target: under 50 ms).
#include <benchmark/benchmark.h>

#include <memory>

#include "BenchSupport.h"
#include "input/StartupLoad.h"
#include "model/ModelState.h"

namespace dravia::bench {
namespace {

void BM_StartupLoad(benchmark::State& state) {
    ScratchDirectory directory;
    SilentHost host;
    for (auto _ : state) {
        auto model = std::make_unique<ModelState>();
        model->host = &host;
        loadAtStartup(*model);
        benchmark::DoNotOptimize(model->NSPP);
    }
}
BENCHMARK(BM_StartupLoad)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
}  // namespace dravia::bench

BENCHMARK_MAIN();

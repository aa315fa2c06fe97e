// The statistics reader on a results file of 100 MB (target: at least 100 MB/s).
//
// The file is written first by the engine itself: the shipped data set, results every year for
// 500 years, as many iterations as it takes to pass 100 MB.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "BenchSupport.h"
#include "input/PlotFile.h"
#include "input/StartupLoad.h"
#include "input/WeatherFile.h"
#include "model/ModelState.h"
#include "model/VolumeTable.h"
#include "output/StatsReader.h"
#include "platform/Paths.h"
#include "run/RunDriver.h"

namespace dravia::bench {
namespace {

constexpr std::uintmax_t WANTED_BYTES = 100u * 1000u * 1000u;
constexpr int YEARS = 500;

std::uintmax_t writeLargeResultsFile(ModelState& model) {
    loadAtStartup(model);
    RunParameters& p = model.params;
    p.SCREEN_OUTPUT_MODE = 3;
    p.FILE_OUTPUT_FLAG = 1;
    p.NUM_YEARS = YEARS;
    p.NUM_ITERS = 100000;
    p.PRINT_INTERV = 1;
    p.RESULTS_INTERV = 1;
    p.CALC_ITER_AVG = 0;
    p.PAUSE_AT_INTERVALS = 0;
    p.PAUSE_EVERY_ITERATION = 0;
    fillVolumeCoefficients(model);
    model.run.CURRENT_ITERATION = 1;
    model.run.CURRENT_YEAR = 1;
    readPlotFile(model, PlotFileMode::Plots);
    readWeatherFile(model, p.CLIMATE_CHANGE);
    model.run.flags.running = true;
    const std::filesystem::path file = toLocalPath(p.RESULTS_FILE);
    std::uintmax_t size = 0;
    while (size < WANTED_BYTES) {
        for (int year = 0; year < YEARS; ++year) stepYear(model);
        size = std::filesystem::file_size(file);
    }
    return size;
}

void BM_ReadResultsFile(benchmark::State& state) {
    ScratchDirectory directory;
    SilentHost host;
    auto writer = std::make_unique<ModelState>();
    writer->host = &host;
    const std::uintmax_t bytes = writeLargeResultsFile(*writer);
    const std::string fileName = writer->params.RESULTS_FILE;
    writer.reset();

    auto model = std::make_unique<ModelState>();
    model->host = &host;
    loadAtStartup(*model);
    for (auto _ : state) {
        readStatsInput(*model, StatsKind::General, openFile(fileName, "r"));
        benchmark::DoNotOptimize(model->statistics.table.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["MB/s"] =
        benchmark::Counter(static_cast<double>(bytes) / 1e6 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadResultsFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace dravia::bench

BENCHMARK_MAIN();

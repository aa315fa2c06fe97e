// The engine's yearly step on plots of 50, 200 and 1,000 trees, against the floor: a loop over
// packed arrays doing the same growth and mortality arithmetic for the same trees.
//
// Each benchmark prints tree_years/s: trees standing at the start of a simulated year, summed
// over the years simulated, per second of one core.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "input/PlotFile.h"
#include "input/StartupLoad.h"
#include "input/WeatherFile.h"
#include "model/ModelState.h"
#include "model/Random.h"
#include "model/TreeList.h"
#include "model/VolumeTable.h"
#include "run/RunDriver.h"

namespace dravia::bench {
namespace {

constexpr int SPIN_UP_YEARS = 150;  // the shipped plot grows into a mixed, layered stand
constexpr int YEARS_BETWEEN_RESETS = 10;
constexpr int FIRST_MEASURED_YEAR = 11;
constexpr int RUN_YEARS = 2000;

// The shipped data set (Data/initParams.txt: northern hardwoods, hbk plot) loaded as at start-up,
// its plot grown for SPIN_UP_YEARS, then tiled to the wanted number of trees. BA_MAX grows with
// the tiling so the crowding term stays that of the natural stand. Every YEARS_BETWEEN_RESETS
// simulated years the plot is put back (outside the timing) so the tree count stays near the
// wanted one.
class ForestBench {
  public:
    ForestBench(int treeCount, int climateChange, bool fileOutput) {
        model_->host = &host_;
        loadAtStartup(*model_);
        RunParameters& p = model_->params;
        p.SCREEN_OUTPUT_MODE = 3;
        p.FILE_OUTPUT_FLAG = 0;
        p.NUM_YEARS = RUN_YEARS;
        p.NUM_ITERS = 1;
        p.PRINT_INTERV = 10;
        p.RESULTS_INTERV = 10;
        p.CALC_ITER_AVG = 0;
        p.PAUSE_AT_INTERVALS = 0;
        p.PAUSE_EVERY_ITERATION = 0;
        p.CLIMATE_CHANGE = climateChange;
        p.MONITOR_FLAG = 0;
        fillVolumeCoefficients(*model_);
        model_->run.CURRENT_ITERATION = 1;
        model_->run.CURRENT_YEAR = 1;
        readPlotFile(*model_, PlotFileMode::Plots);
        readWeatherFile(*model_, climateChange);
        while (model_->plots.size() > 1) model_->plots.pop_back();
        p.NUM_PLOTS = 1;

        for (int year = 1; year <= SPIN_UP_YEARS; ++year) stepYear(*model_);
        const TreeList natural = plot().trees;
        const double scale = static_cast<double>(treeCount) / static_cast<double>(natural.size());
        p.BA_MAX = p.BA_MAX * scale;
        while (static_cast<int>(template_.size()) < treeCount) {
            for (const Tree& tree : natural) {
                if (static_cast<int>(template_.size()) == treeCount) break;
                template_.push_back(tree);
            }
        }
        // The plot's list is kept tallest first; the tiled stand starts that way too.
        Plot tiled;
        tiled.trees = template_;
        sortTreesByHeight(tiled);
        template_ = tiled.trees;
        p.FILE_OUTPUT_FLAG = fileOutput ? 1 : 0;
        model_->output = OutputState{};
        reset();
        model_->run.CURRENT_YEAR = FIRST_MEASURED_YEAR;
    }

    Plot& plot() { return model_->plots.front(); }
    ModelState& model() { return *model_; }
    const TreeList& standTemplate() const { return template_; }

    void reset() {
        plot().trees = template_;
        plot().NTREES = static_cast<int>(template_.size());
        if (model_->run.CURRENT_YEAR >= RUN_YEARS - YEARS_BETWEEN_RESETS)
            model_->run.CURRENT_YEAR = FIRST_MEASURED_YEAR;
    }

    void run(benchmark::State& state) {
        double treeYears = 0.0;
        int sinceReset = 0;
        for (auto _ : state) {
            treeYears += plot().NTREES;
            stepYear(*model_);
            if (++sinceReset == YEARS_BETWEEN_RESETS) {
                state.PauseTiming();
                reset();
                sinceReset = 0;
                state.ResumeTiming();
            }
        }
        state.counters["tree_years/s"] = benchmark::Counter(treeYears, benchmark::Counter::kIsRate);
        state.counters["ns/tree_year"] =
            benchmark::Counter(treeYears, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
        state.counters["trees"] = static_cast<double>(template_.size());
    }

  private:
    ScratchDirectory directory_;
    SilentHost host_;
    std::unique_ptr<ModelState> model_ = std::make_unique<ModelState>();
    TreeList template_;
};

void BM_YearlyStep(benchmark::State& state) {
    ForestBench forest(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                       state.range(2) != 0);
    forest.run(state);
}

// args: trees, CLIMATE_CHANGE (0 constant, 1 year to year), results written every 10 years (0/1)
BENCHMARK(BM_YearlyStep)
    ->ArgNames({"trees", "climate", "results"})
    ->ArgsProduct({{50, 200, 1000}, {0, 1}, {0, 1}})
    ->MinTime(1.0);

// The floor: the same per-tree arithmetic over packed arrays, without a list, a sort, births,
// removals, climate or output: the plot's basal area and leaf area, each tree's light, growth
// and height, its age and its one or two mortality draws.
struct PackedSpecies {
    double C, G, DMAX, HMAX, B2, B3, SITE_QUALITY, MIN_DIAM_INC, AGEMAX;
    int SHADE_TYPE;
};

void BM_ArithmeticFloor(benchmark::State& state) {
    ForestBench forest(static_cast<int>(state.range(0)), 0, false);
    ModelState& model = forest.model();
    std::vector<PackedSpecies> species(MAX_SPECIES + 1);
    for (int sn = 1; sn <= MAX_SPECIES; ++sn) {
        const Species& s = model.species[static_cast<size_t>(sn)];
        species[static_cast<size_t>(sn)] = {
            s.C, s.G, s.DMAX, s.HMAX, s.B2, s.B3, s.SITE_QUALITY, s.MIN_DIAM_INC, s.AGEMAX, s.SHADE_TYPE};
    }
    std::vector<double> startDbh, startHeight, dbh, height;
    std::vector<int> sn, age, slow;
    for (const Tree& tree : forest.standTemplate()) {
        startDbh.push_back(tree.DBH);
        startHeight.push_back(tree.HEIGHT);
        sn.push_back(tree.SN);
        age.push_back(tree.AGE);
        slow.push_back(0);
    }
    dbh = startDbh;
    height = startHeight;
    const size_t n = dbh.size();
    const double capacity = (100.0 - model.site.PERCENT_ROCK) * model.params.BA_MAX * 0.01;
    double randomState = model.run.RANDOM_STATE;
    double treeYears = 0.0;
    int sinceReset = 0;
    for (auto _ : state) {
        double leafAreaOfPlot = 0.0;
        for (size_t i = 0; i < n; ++i)
            leafAreaOfPlot += species[static_cast<size_t>(sn[i])].C * (dbh[i] * dbh[i]);
        benchmark::DoNotOptimize(leafAreaOfPlot);
        double plotBa = 0.0;
        for (size_t i = 0; i < n; ++i) plotBa += 0.7853975 * (dbh[i] * dbh[i]);
        double leafArea = 0.0;
        double shadingArea = 0.0;
        double previousHeight = 0.0;
        for (size_t i = 0; i < n; ++i) {
            const PackedSpecies& s = species[static_cast<size_t>(sn[i])];
            slow[i] = 0;
            if (i == 0) {
                shadingArea = 0.0;
            } else if (height[i] < previousHeight) {
                shadingArea = leafArea;
            }
            previousHeight = height[i];
            const double availableLight = std::exp(-shadingArea / 6000.0);
            double f = 0.0;
            if (capacity > 0.0) f = (1.0 - plotBa / capacity) * s.SITE_QUALITY * s.G;
            leafArea = leafArea + s.C * (dbh[i] * dbh[i]);
            double a = 0.0;
            if (dbh[i] <= s.DMAX) {
                a = 260.0 + 3.0 * s.B2 * dbh[i] - 4.0 * s.B3 * (dbh[i] * dbh[i]);
            } else {
                a = 2.0 * s.HMAX / dbh[i];
            }
            const double potential = f * dbh[i] * (1.0 - dbh[i] * height[i] / (s.DMAX * s.HMAX)) / a;
            double response = 0.0;
            if (s.SHADE_TYPE == 1 || s.SHADE_TYPE == 2) {
                response = 2.24 * (1.0 - std::exp(-1.136 * (availableLight - 0.08)));
            } else if (s.SHADE_TYPE == 3) {
                response = 1.0 - std::exp(-4.64 * (availableLight - 0.05));
            }
            double increment = potential * response;
            if (!(increment >= 0.001)) increment = 0.0;
            if (increment <= s.MIN_DIAM_INC) slow[i] = 1;
            dbh[i] = dbh[i] + increment;
            height[i] = 130.0 + dbh[i] * (s.B2 - s.B3 * dbh[i]);
        }
        int deaths = 0;
        for (size_t i = 0; i < n; ++i) {
            age[i] += 1;
            const PackedSpecies& s = species[static_cast<size_t>(sn[i])];
            bool dies = randomUniform(randomState) < 4.0 / s.AGEMAX;
            if (!dies && slow[i] == 1) dies = randomUniform(randomState) < 0.368;
            deaths += dies ? 1 : 0;
        }
        benchmark::DoNotOptimize(deaths);
        benchmark::ClobberMemory();
        treeYears += static_cast<double>(n);
        if (++sinceReset == YEARS_BETWEEN_RESETS) {
            dbh = startDbh;  // cheap next to ten years of arithmetic; keeps the stand as in the engine runs
            height = startHeight;
            sinceReset = 0;
        }
    }
    state.counters["tree_years/s"] = benchmark::Counter(treeYears, benchmark::Counter::kIsRate);
    state.counters["ns/tree_year"] =
        benchmark::Counter(treeYears, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["trees"] = static_cast<double>(n);
}

BENCHMARK(BM_ArithmeticFloor)->ArgName("trees")->Arg(50)->Arg(200)->Arg(1000)->MinTime(1.0);

}  // namespace
}  // namespace dravia::bench

BENCHMARK_MAIN();

// The engine's yearly step on forests of 1, 4 and 20 plots of a mature mixed stand (about 50, 200
// and 1,000 trees standing), against the floor: a loop over packed arrays doing the same growth
// and mortality arithmetic for the same trees; and the fixed cost of a plot-year, on clear plots
// where no species can enter.
//
// Each benchmark prints tree_years/s (trees standing at the start of a simulated year, summed over
// the years simulated, per second of one core), and the trees standing on average ("trees", at the
// start of a year), so that a case says what it measured.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "input/Communities.h"
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

enum class Stand { Mature, Clear };

// The shipped data set (Data/initParams.txt: northern hardwoods, hbk plot) loaded as at start-up,
// its plot grown for SPIN_UP_YEARS into a mature stand, then copied onto the wanted number of
// plots. Every plot holds a stand of natural density, so the stand keeps itself: births and deaths
// roughly balance over the YEARS_BETWEEN_RESETS simulated years after which the plots are put back
// (outside the timing). A clear stand has no trees and no species able to enter, so a year does
// only the work every plot-year costs whatever it holds: climate and water balance, the birth
// pass over the species, the death pass and the end of the plot-year.
class ForestBench {
  public:
    ForestBench(int plotCount, int climateChange, bool fileOutput, Stand stand = Stand::Mature,
                int community = 0) {
        model_->host = &host_;
        loadAtStartup(*model_);
        if (community != 0) {
            // As if the community were chosen in the communities dialog: its species, plot and weather.
            model_->params.COMMUNITY = community;
            applyCommunity(*model_, community, true);
        }
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
        p.MONITOR_FLAG = 0;
        fillVolumeCoefficients(*model_);
        model_->run.CURRENT_ITERATION = 1;
        model_->run.CURRENT_YEAR = 1;
        readPlotFile(*model_, PlotFileMode::Plots);
        while (model_->plots.size() > 1) model_->plots.pop_back();
        p.NUM_PLOTS = 1;

        // Every case starts from the same stand, grown with the year-to-year weather as shipped;
        // the climate of the case takes over after.
        p.CLIMATE_CHANGE = 1;
        readWeatherFile(*model_, 1);
        if (stand == Stand::Mature) {
            for (int year = 1; year <= SPIN_UP_YEARS; ++year) stepYear(*model_);
            template_ = model_->plots.front().trees;
        }
        p.CLIMATE_CHANGE = climateChange;
        readWeatherFile(*model_, climateChange);
        if (stand == Stand::Clear) {
            for (int sn = 1; sn <= MAX_SPECIES; ++sn)
                model_->species[static_cast<size_t>(sn)].ABLE_TO_ENTER = 0;
        }
        const Plot first = model_->plots.front();
        for (int number = 2; number <= plotCount; ++number) {
            model_->plots.push_back(first);
            model_->plots.back().PLOT_NO = number;
        }
        p.NUM_PLOTS = plotCount;
        p.FILE_OUTPUT_FLAG = fileOutput ? 1 : 0;
        model_->output = OutputState{};
        reset();
        model_->run.CURRENT_YEAR = FIRST_MEASURED_YEAR;
    }

    ModelState& model() { return *model_; }
    const TreeList& standTemplate() const { return template_; }

    void reset() {
        for (Plot& plot : model_->plots) {
            plot.trees = template_;
            plot.NTREES = static_cast<int>(template_.size());
        }
        if (model_->run.CURRENT_YEAR >= RUN_YEARS - YEARS_BETWEEN_RESETS)
            model_->run.CURRENT_YEAR = FIRST_MEASURED_YEAR;
    }

    double treesStanding() const {
        double trees = 0.0;
        for (const Plot& plot : model_->plots) trees += plot.NTREES;
        return trees;
    }

    void run(benchmark::State& state) {
        double treeYears = 0.0;
        double years = 0.0;
        int sinceReset = 0;
        const double takenBefore = static_cast<double>(model_->climateMemo.taken);
        for (auto _ : state) {
            treeYears += treesStanding();
            years += 1.0;
            stepYear(*model_);
            if (++sinceReset == YEARS_BETWEEN_RESETS) {
                state.PauseTiming();
                reset();
                sinceReset = 0;
                state.ResumeTiming();
            }
        }
        const double plotYears = years * static_cast<double>(model_->plots.size());
        if (treeYears > 0.0) {
            state.counters["tree_years/s"] = benchmark::Counter(treeYears, benchmark::Counter::kIsRate);
            state.counters["ns/tree_year"] =
                benchmark::Counter(treeYears, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
        }
        state.counters["ns/plot_year"] =
            benchmark::Counter(plotYears, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
        state.counters["trees"] = years > 0.0 ? treeYears / years : 0.0;
        if (model_->params.CLIMATE_CHANGE == 1 && plotYears > 0.0) {
            state.counters["from_memo"] =
                (static_cast<double>(model_->climateMemo.taken) - takenBefore) / plotYears;
        }
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

// args: plots of the mature stand, CLIMATE_CHANGE (0 constant, 1 year to year), results written
// every 10 years (0/1)
BENCHMARK(BM_YearlyStep)
    ->ArgNames({"plots", "climate", "results"})
    ->ArgsProduct({{1, 4, 20}, {0, 1}, {0, 1}})
    ->MinTime(1.0);

// The fixed cost of a plot-year: clear plots where no species can enter (ns/plot_year; no trees
// stand, so there is no tree-year rate). With year-to-year climate each plot-year computes its climate,
// water balance and site quality; with constant climate they were computed once at start-up.
void BM_ClearPlotYear(benchmark::State& state) {
    ForestBench forest(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), false,
                       Stand::Clear);
    forest.run(state);
}

BENCHMARK(BM_ClearPlotYear)->ArgNames({"plots", "climate"})->ArgsProduct({{1, 20}, {0, 1}})->MinTime(1.0);

// Every shipped community (1..8: the central Adirondacks, Hubbard Brook, the boreal mixedwood
// near Virginia and the jack pine plains at Grayling, each with normal and warmer weather), its plot grown
// into a mature stand as above on 4 plots, with its year-to-year weather: the tree-year rate a user of that
// community sees.
void BM_Community(benchmark::State& state) {
    ForestBench forest(4, 1, false, Stand::Mature, static_cast<int>(state.range(0)));
    forest.run(state);
}

BENCHMARK(BM_Community)->ArgNames({"community"})->DenseRange(1, 8)->MinTime(1.0);

// The floor: the same per-tree arithmetic over packed arrays, without a list, a sort, births,
// removals, climate or output: the plot's basal area and leaf area, each tree's light, growth
// and height, its age and its one or two mortality draws.
struct PackedSpecies {
    double C, G, DMAX, HMAX, B2, B3, SITE_QUALITY, MIN_DIAM_INC, AGEMAX;
    int SHADE_TYPE;
};

void BM_ArithmeticFloor(benchmark::State& state) {
    const int plotCount = static_cast<int>(state.range(0));
    ForestBench forest(1, 0, false);
    ModelState& model = forest.model();
    std::vector<PackedSpecies> species(MAX_SPECIES + 1);
    for (int sn = 1; sn <= MAX_SPECIES; ++sn) {
        const Species& s = model.species[static_cast<size_t>(sn)];
        species[static_cast<size_t>(sn)] = {
            s.C, s.G, s.DMAX, s.HMAX, s.B2, s.B3, s.SITE_QUALITY, s.MIN_DIAM_INC, s.AGEMAX, s.SHADE_TYPE};
    }
    std::vector<double> startDbh, startHeight;
    std::vector<int> sn, startAge;
    for (const Tree& tree : forest.standTemplate()) {
        startDbh.push_back(tree.DBH);
        startHeight.push_back(tree.HEIGHT);
        sn.push_back(tree.SN);
        startAge.push_back(tree.AGE);
    }
    const size_t n = startDbh.size();
    struct PackedPlot {
        std::vector<double> dbh, height;
        std::vector<int> age, slow;
    };
    std::vector<PackedPlot> plots(static_cast<size_t>(plotCount),
                                  PackedPlot{startDbh, startHeight, startAge, std::vector<int>(n, 0)});
    const double capacity = (100.0 - model.site.PERCENT_ROCK) * model.params.BA_MAX * 0.01;
    double randomState = model.run.RANDOM_STATE;
    double treeYears = 0.0;
    int sinceReset = 0;
    for (auto _ : state) {
        for (PackedPlot& plot : plots) {
            std::vector<double>& dbh = plot.dbh;
            std::vector<double>& height = plot.height;
            std::vector<int>& age = plot.age;
            std::vector<int>& slow = plot.slow;
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
        }
        benchmark::ClobberMemory();
        treeYears += static_cast<double>(n) * static_cast<double>(plotCount);
        if (++sinceReset == YEARS_BETWEEN_RESETS) {
            for (PackedPlot& plot :
                 plots) {  // cheap next to ten years of arithmetic; keeps the stand as in the engine runs
                plot.dbh = startDbh;
                plot.height = startHeight;
            }
            sinceReset = 0;
        }
    }
    state.counters["tree_years/s"] = benchmark::Counter(treeYears, benchmark::Counter::kIsRate);
    state.counters["ns/tree_year"] =
        benchmark::Counter(treeYears, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["trees"] = static_cast<double>(n) * static_cast<double>(plotCount);
}

BENCHMARK(BM_ArithmeticFloor)->ArgName("plots")->Arg(1)->Arg(4)->Arg(20)->MinTime(1.0);

}  // namespace
}  // namespace dravia::bench

BENCHMARK_MAIN();

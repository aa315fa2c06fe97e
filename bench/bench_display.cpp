// Painting the graphics image of the first plot (trees drawn with their pictures) into a
// 1280 x 800 image (target: under 2 ms), and a graphics-mode run that repaints every year
// (target: painting takes less than half of the run's time).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "BenchSupport.h"
#include "display/DisplaySlots.h"
#include "display/PlotView.h"
#include "input/PlotFile.h"
#include "input/StartupLoad.h"
#include "input/WeatherFile.h"
#include "model/ModelState.h"
#include "model/VolumeTable.h"
#include "run/RunDriver.h"

namespace dravia::bench {
namespace {

constexpr int WIDTH = 1280;
constexpr int HEIGHT = 800;
constexpr int GROWN_YEARS = 100;

// The shipped data set in graphics mode, its first plot grown for GROWN_YEARS years, shown in
// a plot view of 1280 x 800.
class GraphicsForest {
  public:
    GraphicsForest() {
        model_->host = &host_;
        loadAtStartup(*model_);
        RunParameters& p = model_->params;
        p.SCREEN_OUTPUT_MODE = 1;
        p.GRAPH_INTVL = 1;
        p.FILE_OUTPUT_FLAG = 0;
        p.NUM_YEARS = 100000;
        p.NUM_ITERS = 1;
        p.PAUSE_AT_INTERVALS = 0;
        p.CALC_ITER_AVG = 0;
        fillVolumeCoefficients(*model_);
        view_ = std::make_unique<PlotView>(*model_);
        view_->applyLayout(QRect(0, 0, WIDTH, HEIGHT));
        view_->layOutDisplay();
        model_->run.CURRENT_ITERATION = 1;
        model_->run.CURRENT_YEAR = 1;
        readPlotFile(*model_, PlotFileMode::Plots);
        readWeatherFile(*model_, p.CLIMATE_CHANGE);
        model_->run.flags.running = true;
        model_->run.flags.run_started = true;
        for (int year = 1; year <= GROWN_YEARS; ++year) stepYear(*model_);
        paint();
    }

    void paint() {
        QPainter painter(&image_);
        view_->paintView(painter, WIDTH, HEIGHT);
    }
    void step() {
        stepYear(*model_);
        // Never reach the last year: the run would end, and its end writes files.
        if (model_->run.CURRENT_YEAR >= model_->params.NUM_YEARS - 1) model_->run.CURRENT_YEAR = GROWN_YEARS;
    }
    int treesShown() const {
        int count = 0;
        for (int slot = 1; slot <= DISPLAY_SLOT_COUNT; ++slot)
            count += model_->displaySlots[slot].tree != nullptr;
        return count;
    }

  private:
    ScratchDirectory directory_;
    SilentHost host_;
    std::unique_ptr<ModelState> model_ = std::make_unique<ModelState>();
    std::unique_ptr<PlotView> view_;
    QImage image_{WIDTH, HEIGHT, QImage::Format_RGB32};
};

void BM_PaintGraphicsImage(benchmark::State& state) {
    GraphicsForest forest;
    for (auto _ : state) forest.paint();
    state.counters["trees_shown"] = forest.treesShown();
}
BENCHMARK(BM_PaintGraphicsImage)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// One simulated year and one repaint per pass, as a graphics-mode run with GRAPH_INTVL 1 does.
void BM_GraphicsModeRun(benchmark::State& state) {
    GraphicsForest forest;
    using Clock = std::chrono::steady_clock;
    Clock::duration stepping{};
    Clock::duration painting{};
    for (auto _ : state) {
        const auto start = Clock::now();
        forest.step();
        const auto stepped = Clock::now();
        forest.paint();
        const auto painted = Clock::now();
        stepping += stepped - start;
        painting += painted - stepped;
    }
    const double paintSeconds = std::chrono::duration<double>(painting).count();
    const double stepSeconds = std::chrono::duration<double>(stepping).count();
    state.counters["paint_share"] = paintSeconds / (paintSeconds + stepSeconds);
    state.counters["trees_shown"] = forest.treesShown();
}
BENCHMARK(BM_GraphicsModeRun)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// The same run with repaints coalesced to a 60 Hz screen: a year's repaint is skipped when the
// last one is less than a frame old (what the screen can show of a faster run anyway).
void BM_GraphicsModeRunAtScreenRate(benchmark::State& state) {
    GraphicsForest forest;
    using Clock = std::chrono::steady_clock;
    const Clock::duration frame = std::chrono::microseconds(16667);
    Clock::duration stepping{};
    Clock::duration painting{};
    Clock::time_point lastPaint = Clock::now();
    double paints = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        forest.step();
        const auto stepped = Clock::now();
        stepping += stepped - start;
        if (stepped - lastPaint >= frame) {
            forest.paint();
            lastPaint = Clock::now();
            painting += lastPaint - stepped;
            paints += 1.0;
        }
    }
    const double paintSeconds = std::chrono::duration<double>(painting).count();
    const double stepSeconds = std::chrono::duration<double>(stepping).count();
    state.counters["paint_share"] = paintSeconds / (paintSeconds + stepSeconds);
    state.counters["paints/s"] = benchmark::Counter(paints, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GraphicsModeRunAtScreenRate)->Unit(benchmark::kMicrosecond)->MinTime(1.0)->UseRealTime();

}  // namespace
}  // namespace dravia::bench

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

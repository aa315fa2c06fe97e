#include "model/Disturbance.h"

#include "model/Random.h"
#include "model/TreeList.h"
#include "platform/Format.h"
#include "platform/Host.h"

namespace dravia {

namespace {

constexpr double SMALLEST_WINDTHROW_DRAW = 0.0001;  // a probability at or below this never strikes
constexpr int TABULAR_DISPLAY = 2;

void notify(const std::function<void(ModelState&, const Plot&, RemovalCause)>& call, ModelState& model,
            const Plot& plot, RemovalCause cause) {
    if (call) call(model, plot, cause);
}

TreeList::iterator removeReported(ModelState& model, Plot& plot, TreeList::iterator tree, RemovalCause cause,
                                  const DisturbanceObserver& observer) {
    if (observer.removed) observer.removed(model, plot, *tree, cause);
    return removeTree(model, plot, tree);
}

bool loggingYear(const RunParameters& p, int year) {
    // Widened: FIRST_DISTURB_YEAR is read unchecked and may be far below year 1.
    return p.BLOW_FREQ >= 1 && year >= p.FIRST_DISTURB_YEAR &&
           (static_cast<long long>(year) - p.FIRST_DISTURB_YEAR) % p.BLOW_FREQ == 0;
}

}  // namespace

bool decideDisturbance(ModelState& model, Plot& plot, const DisturbanceObserver& observer) {
    // The disturbance data header is renewed by the run driver at the start of each run,
    // not here, so that the records of every plot disturbed in year 1 are kept.
    const RunParameters& p = model.params;
    if (p.BLOW_DOWN != 1) return false;

    bool logged = false;
    if (loggingYear(p, model.run.CURRENT_YEAR)) {
        applyDisturbance(model, plot, p.MIN_DIAM_TO_KILL_FOR_LOGGING, RemovalCause::Logging, observer);
        logged = true;
    }

    if (p.BLOW_PROB == 0.0) return logged;
    double u = randomUniform(model);
    if (u < SMALLEST_WINDTHROW_DRAW) u = SMALLEST_WINDTHROW_DRAW;
    if (u < p.BLOW_PROB) {
        applyDisturbance(model, plot, p.MIN_DIAM_TO_KILL_FOR_WINDTHROW, RemovalCause::Windthrow, observer);
        return true;
    }
    return logged;
}

void applyDisturbance(ModelState& model, Plot& plot, double minimumDiameter, RemovalCause cause,
                      const DisturbanceObserver& observer) {
    notify(observer.beforeRemoval, model, plot, cause);

    if (minimumDiameter == 0.0) {
        // A clear-cut.
        auto tree = plot.trees.begin();
        while (tree != plot.trees.end()) tree = removeReported(model, plot, tree, cause, observer);
        plot.NTREES = 0;
        plot.PLOT_BA = 0.0;
        if (model.params.SCREEN_OUTPUT_MODE == TABULAR_DISPLAY) {
            Host& host = hostOf(model);
            host.writeStandardOutput("\n\n");
            host.writeStandardOutput(formatText("\n ---  ALL TREES KILLED AFTER YEAR %d  --- \n\n",
                                                model.params.BASE_YEAR + model.run.CURRENT_YEAR - 1));
        }
    } else {
        auto tree = plot.trees.begin();
        while (tree != plot.trees.end()) {
            tree = tree->DBH >= minimumDiameter ? removeReported(model, plot, tree, cause, observer)
                                                : std::next(tree);
        }
        if (plot.trees.empty()) plot.PLOT_BA = 0.0;
    }

    notify(observer.afterRemoval, model, plot, cause);
}

}  // namespace dravia

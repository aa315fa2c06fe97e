#include "model/Death.h"

#include "model/Random.h"
#include "model/TreeList.h"

namespace dravia {

namespace {

constexpr double BACKGROUND_DEATHS_PER_LIFESPAN = 4.0;  // a tree reaching AGEMAX is rare (about 2%)
constexpr double SLOW_GROWTH_MORTALITY = 0.368;

}  // namespace

void killTrees(ModelState& model, Plot& plot, const RemovalObserver& observer) {
    auto tree = plot.trees.begin();
    while (tree != plot.trees.end()) {
        tree->AGE += 1;
        const Species& s = model.species[static_cast<size_t>(tree->SN)];
        RemovalCause cause = RemovalCause::BackgroundMortality;
        bool dies = randomUniform(model) < BACKGROUND_DEATHS_PER_LIFESPAN / s.AGEMAX;
        if (!dies && tree->SLOW_GROWTH == 1) {
            // The draw is made in every slow year, so that the stream stays the classic one; it can
            // kill only once the tree has grown slowly for the years the model asks.
            const bool unlucky = randomUniform(model) < SLOW_GROWTH_MORTALITY;
            const int yearsNeeded = model.options.SLOW_GROWTH_YEARS;
            dies = unlucky && (yearsNeeded <= 1 || tree->SLOW_YEARS >= yearsNeeded);
            cause = RemovalCause::SlowGrowth;
        }
        if (!dies) {
            ++tree;
            continue;
        }
        if (observer) observer(model, plot, *tree, cause);
        tree = removeTree(model, plot, tree);
    }
    if (plot.NTREES == 0) plot.PLOT_BA = 0.0;
}

}  // namespace dravia

#pragma once

#include <memory>

#include "model/ModelState.h"
#include "support/ScriptedHost.h"

namespace dravia::test {

// A model state in memory with a scripted host and one plot, number 1, that is the current
// plot: what the model, output and run fixtures build their small forests on.
struct ModelWithPlot {
    ScriptedHost host;
    std::unique_ptr<ModelState> model = std::make_unique<ModelState>();

    ModelWithPlot() {
        model->host = &host;
        host.model = model.get();
        model->run.CURRENT_YEAR = 1;
        model->run.CURRENT_ITERATION = 1;
        Plot& plot = model->plots.emplace_back();
        plot.PLOT_NO = 1;
        model->run.CURRENT_PLOT = &plot;
    }
    ModelWithPlot(const ModelWithPlot&) = delete;
    ModelWithPlot& operator=(const ModelWithPlot&) = delete;

    Plot& plot() { return *model->run.CURRENT_PLOT; }

    // Appends the tree to the plot's list and counts it.
    Tree& plantTree(const Tree& tree) {
        plot().trees.push_back(tree);
        plot().NTREES += 1;
        return plot().trees.back();
    }
};

}  // namespace dravia::test

#pragma once

#include <memory>

#include "model/ModelState.h"
#include "support/ScriptedHost.h"

namespace dravia::test {

// A tree of species sn, diameter dbh and height height (cm).
inline Tree makeTree(int sn, double dbh, double height) {
    Tree tree;
    tree.SN = sn;
    tree.DBH = dbh;
    tree.HEIGHT = height;
    return tree;
}

// Appends the tree to the plot's list and counts it.
inline Tree& plantTree(Plot& plot, const Tree& tree) {
    plot.trees.push_back(tree);
    plot.NTREES += 1;
    return plot.trees.back();
}

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

    Tree& plantTree(const Tree& tree) { return test::plantTree(plot(), tree); }
};

}  // namespace dravia::test

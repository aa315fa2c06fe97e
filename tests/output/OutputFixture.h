#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "model/ModelState.h"
#include "output/ResultsFile.h"
#include "support/ModelWithPlot.h"
#include "support/TempDirectory.h"

namespace dravia::test {

// A model of two species on one plot in a scratch working directory; the run is in year 1 of
// iteration 1 of a 2 × 10-year run.
class OutputTest : public ::testing::Test, protected ModelWithPlot {
  protected:
    void SetUp() override {
        std::filesystem::create_directory("Data");
        RunParameters& p = model->params;
        p.FILE_OUTPUT_FLAG = 1;
        p.NUM_YEARS = 10;
        p.NUM_ITERS = 2;
        p.PRINT_INTERV = 5;
        p.RESULTS_INTERV = 5;
        p.NUM_PLOTS = 1;
        p.RESULTS_FILE = "Data\\results.out";
        p.AFTER_DISTURBANCE_RESULTS_FILE = "Data\\afterdist.out";
        p.DISTURBANCE_RESULTS_FILE = "Data\\disturb.out";
        p.STATS_RESULTS_FILE = "Data\\stats.out";
        p.DISTURBANCE_STATS_RESULTS_FILE = "Data\\diststats.out";
        p.AFTER_DISTURB_STATS_RESULTS_FILE = "Data\\afterstats.out";
        p.COMMUNITY = 2;
        p.HABITAT[2] = "Northern Hardwoods";
        p.WTHR_TYPE = 1;
        p.WTHR_TYPES = {"NORMAL", "Global Warming"};
        p.WTHR_CAL_YEARS = "1961-1990";
        p.WTHR_FILE = "Data\\weather.txt";
        p.FIRST_DISTURB_YEAR = 5;
        p.BLOW_FREQ = 10;
        Site& s = model->site;
        s.ELEV_FT = 1250.0;
        s.ELEVATION = 381.0;
        s.LATITUDE = 43.9;
        s.SOIL_DEPTH = 1.2;
        s.ROOT_DEPTH = 1.0;
        s.WATER_DEPTH = 3.0;
        s.TEXTURE = 160.0;
        s.PERCENT_ROCK = 10.0;
        s.AVAIL_N = 95.0;
        model->weather.stationElevation = 304.8;

        model->NSPP = 2;
        Species& maple = model->species[1];
        maple.NAME = "Sugar_maple";
        maple.C = 1.0;
        maple.STEM_A = 2.0, maple.STEM_B = 2.0;
        maple.BARK_A = 1.0, maple.BARK_B = 2.0;
        maple.BRANCH_A = 3.0, maple.BRANCH_B = 2.0;
        maple.ROOT_A = 4.0, maple.ROOT_B = 2.0;
        Species& beech = model->species[2];
        beech.NAME = "American_beech";
        beech.C = 2.0;
        beech.STEM_A = 1.0, beech.STEM_B = 2.0;
        beech.BARK_A = 1.0, beech.BARK_B = 2.0;
        beech.BRANCH_A = 1.0, beech.BRANCH_B = 2.0;
        beech.ROOT_A = 1.0, beech.ROOT_B = 2.0;
        model->VOLUME_COEF[1] = {1.3746, 0.002206, 0.063};
        model->VOLUME_COEF[2] = {2.2793, 0.002395, 0.081};
    }

    Tree& addTree(int sn, double dbh, double height, int birthYear = 0, int treeId = 0) {
        Tree tree = makeTree(sn, dbh, height);
        tree.BIRTH_YEAR = birthYear;
        tree.TREE_ID = treeId;
        tree.PLOT_NO = birthYear == 0 ? 0 : plot().PLOT_NO;
        return plantTree(tree);
    }

    TempDirectory directory;
};

// The record block of CURRENT_PLOT written to the results file of the kind, which is created with
// its header first when this run has not created it yet.
inline void writeResults(ModelState& model, bool afterDisturbance) {
    const bool created =
        afterDisturbance ? model.output.afterDisturbanceFileCreated : model.output.resultsFileCreated;
    if (!created) createResultsFile(model, afterDisturbance);
    openResultsFile(model, afterDisturbance);
    appendResults(model, *model.run.CURRENT_PLOT, afterDisturbance);
    writePendingResults(model, afterDisturbance);
}

}  // namespace dravia::test

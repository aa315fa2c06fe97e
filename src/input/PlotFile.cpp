#include "input/PlotFile.h"

#include <new>
#include <string>
#include <vector>

#include "input/DataFileReader.h"
#include "input/ReaderError.h"
#include "model/Allometry.h"
#include "model/ErrorLog.h"
#include "model/TreeList.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

constexpr const char* SITE_ITEMS[8] = {"ELEV_FT",     "LATITUDE", "SOIL_DEPTH",   "ROOT_DEPTH",
                                       "WATER_DEPTH", "TEXTURE",  "PERCENT_ROCK", "AVAIL_N"};

void readSite(ModelState& model, DataFileReader& reader) {
    Site& site = model.site;
    reader.readDouble("ELEV_FT", site.ELEV_FT);
    reader.readDouble("LATITUDE", site.LATITUDE);
    reader.readDouble("SOIL_DEPTH", site.SOIL_DEPTH);
    reader.readDouble("ROOT_DEPTH", site.ROOT_DEPTH);
    reader.readDouble("WATER_DEPTH", site.WATER_DEPTH);
    reader.readDouble("TEXTURE", site.TEXTURE);
    // The rock cover reduces the plot's usable basal area; a plot of 100 % rock or more holds
    // no forest the growth step could compute.
    double rock = 0.0;
    reader.readDouble("PERCENT_ROCK", rock);
    if (!(rock >= 0.0 && rock < 100.0)) {
        throw ReaderError(formatText(
            "Error.  PERCENT_ROCK in data file \"%s\"\nis %g; it must lie between 0 and below 100.",
            reader.fileName().c_str(), rock));
    }
    site.PERCENT_ROCK = rock;
    reader.readDouble("AVAIL_N", site.AVAIL_N);
    site.ELEVATION = site.ELEV_FT * FEET_TO_METRES;
}

[[noreturn]] void endForMemory(ModelState& model, ErrorMessage message) {
    reportError(model, message);
    throw ProgramExit{EXIT_FATAL_ERROR};
}

std::vector<InitialTree> readTreeTable(ModelState& model, DataFileReader& reader) {
    for (const char* item : SITE_ITEMS) reader.expectItem(item);
    std::string header;
    for (int word = 0; word < 3; ++word) {
        if (reader.extractWord(header) != DataFileReader::Extraction::Ok) return {};
    }
    std::vector<InitialTree> rows;
    for (int n = 1;; ++n) {
        int sn = 0;
        double dbh = 0.0;
        double unused = 0.0;
        DataFileReader::Extraction status = reader.extractInt(sn);
        if (status == DataFileReader::Extraction::Ok) status = reader.extractDouble(dbh);
        if (status == DataFileReader::Extraction::Ok) status = reader.extractDouble(unused);
        if (status == DataFileReader::Extraction::EndOfFile) break;
        if (status == DataFileReader::Extraction::WrongType) {
            throw ReaderError(
                formatText("Error.  Wrong data type when reading species \"%d\" from\nplot data file \"%s\".",
                           n, reader.fileName().c_str()));
        }
        if (n == MAX_INITIAL_TREES) {
            reportError(model, ErrorMessage::TooManyTrees);
            throw ProgramExit{EXIT_FATAL_ERROR};
        }
        if (sn < 1 || sn > model.NSPP) {
            if (model.NSPP < 1) {
                throw ReaderError(formatText(
                    "Error.  Tree row %d of plot data file \"%s\"\nholds species number %d; the species "
                    "file holds no species.",
                    n, reader.fileName().c_str(), sn));
            }
            throw ReaderError(
                formatText("Error.  Tree row %d of plot data file \"%s\"\nholds species number %d; the "
                           "species file holds "
                           "species 1 to %d.",
                           n, reader.fileName().c_str(), sn, model.NSPP));
        }
        rows.push_back(InitialTree{sn, dbh});
    }
    return rows;
}

void resetPlot(ModelState& model, Plot& plot) {
    for (Tree& tree : plot.trees) releaseDisplaySlot(model, tree);
    plot.trees.clear();
    plot.NTREES = 0;
    plot.TREES_ENTERED = 0;
    plot.PLOT_BA = 0.0;
    plot.PLOT_BIOM = 0.0;
    plot.PLOT_VOL = 0.0;
    plot.AVG_POP_TOTAL = 0.0;
    plot.AVG_BA_TOTAL = 0.0;
    plot.AVG_BIOM_TOTAL = 0.0;
    plot.AVG_VOL_TOTAL = 0.0;
    plot.climateHistory.clear();
}

void buildPlots(ModelState& model) {
    freePlots(model);
    const int count = model.params.NUM_PLOTS < 1 ? 1 : model.params.NUM_PLOTS;
    for (int number = 1; number <= count; ++number) {
        try {
            Plot& plot = model.plots.emplace_back();
            plot.PLOT_NO = number;
        } catch (const std::bad_alloc&) {
            endForMemory(model,
                         number == 1 ? ErrorMessage::NoMemoryForTrees : ErrorMessage::NoMemoryForPlots);
        }
    }
}

void fillPlots(ModelState& model) {
    if (model.params.CLEAR_PLOT != 0) return;
    for (Plot& plot : model.plots) {
        int row = 0;
        for (const InitialTree& initial : model.initialTrees) {
            ++row;
            const Species& species = model.species[static_cast<size_t>(initial.SN)];
            Tree tree;
            tree.SN = initial.SN;
            tree.DBH = initial.DBH;
            tree.HEIGHT = heightOnCurve(species, initial.DBH);
            try {
                insertTree(plot, plot.trees.end(), tree);
            } catch (const std::bad_alloc&) {
                hostOf(model).writeStandardOutput(
                    formatText("Not enough memory for Tree %d in Plot %d \n", row, plot.PLOT_NO));
                endForMemory(model, ErrorMessage::NoMemoryForTrees);
            }
        }
    }
}

}  // namespace

void readPlotFile(ModelState& model, PlotFileMode mode) {
    DataFileReader reader(model.params.PLOT_FILE, DataFileReader::PLOT_FILE_LIMIT);
    if (mode == PlotFileMode::Site) {
        readSite(model, reader);
        return;
    }
    if (model.run.CURRENT_ITERATION == 1) {
        model.initialTrees = readTreeTable(model, reader);
        buildPlots(model);
    } else {
        for (Plot& plot : model.plots) resetPlot(model, plot);
    }
    fillPlots(model);
}

}  // namespace dravia

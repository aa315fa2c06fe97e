#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/ModelState.h"
#include "model/Removal.h"
#include "output/rundb/BatchedInsert.h"
#include "output/rundb/DatabaseConnection.h"

namespace dravia {

// Stand amounts of the results files' units (a plot of 100 m sq.) in the database's per-hectare units.
inline constexpr double STEMS_PER_HA_OF_PLOT_COUNT = 100.0;          // trees per 100 m sq. → stems/ha
inline constexpr double MG_PER_HA_OF_KG_PER_M2 = 10.0;               // kg/m sq. → Mg/ha
inline constexpr double M3_PER_HA_OF_CUFT_PER_ACRE = 0.06997245731;  // 0.028316846592 m³ / 0.40468564224 ha
inline constexpr double CARBON_OF_BIOMASS = 0.5;

// The name a run of the model's settings is kept under when none is given (defaultScenarioName of
// the settings its database records), known before the run starts.
std::string defaultScenarioNameOf(const ModelState& model);

// The run database of one run: written under a temporary name beside its final name, in one
// transaction per iteration, and renamed into place only when the run ends; the `run` table says
// whether the run completed. Recording reads the model and never changes it.
//
// The first failure is kept (failure()) and every call after it does nothing: the run goes on
// without its database, and the run driver reports it and gives the database up.
class RunDatabase {
  public:
    struct InputFile {
        std::string role;  // "run-time control", "initial values", "species", "plot", "weather"
        std::string name;  // as the parameter files name it
    };

    // Creates the temporary file; a path that cannot take a database throws DatabaseError
    // whose reason names it.
    RunDatabase(const RunDatabaseRequest& request, const ModelState& model,
                const std::vector<InputFile>& inputs);
    RunDatabase(const RunDatabase&) = delete;
    RunDatabase& operator=(const RunDatabase&) = delete;
    // Removes the temporary file of a database that was never finished.
    ~RunDatabase();

    const std::string& failure() const { return failure_; }
    const std::string& path() const { return path_; }
    const std::string& scenario() const { return scenario_; }

    // An iteration starts, its plots as the plot file made them: their stand is recorded as
    // year 0 and their demography begins there.
    void beginIteration(const ModelState& model);
    // The iteration's rows are committed.
    void endIteration();

    // The saplings the plot gained this year (the births of the year's tally).
    void noteRecruits(const ModelState& model, const Plot& plot);
    // A tree about to leave its plot, and why.
    void noteRemoval(const ModelState& model, const Plot& plot, const Tree& tree, RemovalCause cause);
    // A logging or windthrow of the plot begins and ends.
    void beginDisturbance();
    void endDisturbance(const ModelState& model, const Plot& plot, RemovalCause cause);

    // The climate and the species' site-quality factors in force for the plot this year: kept
    // once for every iteration (site_year.iteration 0), and for every plot where all plots share
    // them (plot 0), as iteration 1 has them; a later iteration's only where they differ.
    void recordSiteYear(const ModelState& model, const Plot& plot);
    // The plot just after the year's disturbances.
    void recordAfterDisturbance(const ModelState& model, const Plot& plot);
    // The plot in this year, after its mortality and before its disturbance: the stand, its
    // diameter classes and trees in a results year (standYear), and the demography of the period
    // the year closes when it is a results year or the database is yearly.
    void recordPlotYear(const ModelState& model, const Plot& plot, bool standYear);

    // The run ends: its row is completed (iterations run, finish time, completed or not), the
    // last rows are committed and the file takes its final name. A failure is kept in failure().
    void finish(const ModelState& model, bool completed);

  private:
    struct PlotDemography {
        bool started = false;
        int lastYear = 0;
        std::array<int, MAX_SPECIES + 1> stems{};
        std::array<int, MAX_SPECIES + 1> recruits{};
        std::array<std::array<int, MAX_SPECIES + 1>, 4> deaths{};  // by RemovalCause
    };
    struct Removed {
        int stems = 0;
        Amounts amounts;
    };

    template <typename Work>
    void guarded(Work&& work);
    void writeRun(const ModelState& model, const std::vector<std::pair<std::string, std::string>>& settings,
                  const std::vector<InputFile>& inputs);
    void writeSpecies(const ModelState& model);
    void writeStand(const ModelState& model, const Plot& plot, int year, BatchedInsert& stand,
                    bool withClasses);
    void writeTrees(const ModelState& model, const Plot& plot, int year);
    void writeDemography(const ModelState& model, const Plot& plot, int year, PlotDemography& demography);
    void writeFirstSiteYear(int year);
    void writeSiteRows(int iteration, int year, int plot, const std::vector<double>& values);
    // Finalizes the prepared statements, which must go before their connection closes.
    void closeStatements();
    // The temporary file is no longer this object's to remove or hold locked.
    void releaseTemporary();

    std::string path_;
    std::string temporaryPath_;
    std::string scenario_;    // the name every row carries
    int temporaryLock_ = -1;  // held on the temporary file while it is written
    bool yearly_ = false;
    bool trees_ = false;
    bool finished_ = false;
    std::string failure_;
    std::unique_ptr<DatabaseConnection> db_;
    // Inserts the queued rows of every table.
    void flushRows();
    DatabaseStatement disturbance_;
    BatchedInsert plotYear_, stand_, afterDisturbance_, classes_, demography_, siteYear_, tree_, death_;
    int siteSpecies_ = 0;  // species of a site year
    bool memory_ = false;  // climate memory on: the established factors are recorded
    // Iteration 1's site years (values of the plot, or of plot 0 for all), by year.
    bool remembering_ = true;
    std::map<int, std::vector<std::pair<int, std::vector<double>>>> rememberedSites_;
    std::size_t rememberedValues_ = 0;
    int yearOfPlots_ = -1;
    std::vector<std::pair<int, std::vector<double>>> yearPlots_;  // this year's plots so far
    std::vector<double> siteValues_;                              // the plot-year's, reused
    std::map<int, PlotDemography> demographyByPlot_;
    std::array<Removed, MAX_SPECIES + 1> removed_{};
};

}  // namespace dravia

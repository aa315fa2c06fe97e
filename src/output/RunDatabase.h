#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/ModelState.h"
#include "model/Removal.h"

struct sqlite3;
struct sqlite3_stmt;

namespace dravia {

// A prepared statement of the run database, bound by column position and reused row after row.
class DatabaseStatement {
  public:
    DatabaseStatement() = default;
    DatabaseStatement(sqlite3* db, const char* sql);
    DatabaseStatement(DatabaseStatement&& other) noexcept;
    DatabaseStatement& operator=(DatabaseStatement&& other) noexcept;
    DatabaseStatement(const DatabaseStatement&) = delete;
    DatabaseStatement& operator=(const DatabaseStatement&) = delete;
    ~DatabaseStatement();

    DatabaseStatement& bind(int column, double value);
    DatabaseStatement& bind(int column, int value);
    DatabaseStatement& bind(int column, long long value);
    DatabaseStatement& bind(int column, const std::string& value);
    DatabaseStatement& bindNull(int column);
    // Runs an insert or update; a failure throws DatabaseError with SQLite's reason.
    void execute();
    // Steps a query: true while it yields a row.
    bool nextRow();
    double realColumn(int column) const;
    long long integerColumn(int column) const;
    std::string textColumn(int column) const;
    bool nullColumn(int column) const;
    bool realValued(int column) const;  // the value in the column of the current row is a REAL
    int columnCount() const;
    std::string columnName(int column) const;

  private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
};

// What went wrong in SQLite, in its own words.
struct DatabaseError {
    std::string reason;
};

// An open SQLite file. Every failure throws DatabaseError.
class DatabaseConnection {
  public:
    // readOnly opens an existing file and never creates one.
    DatabaseConnection(const std::string& path, bool readOnly);
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;
    ~DatabaseConnection();
    void execute(const char* sql);
    DatabaseStatement prepare(const char* sql);
    sqlite3* handle() const { return db_; }
    // Closes the file, reporting what closing it found.
    void close();

  private:
    sqlite3* db_ = nullptr;
};

// Stand amounts of the results files' units (a plot of 100 m sq.) in the database's per-hectare units.
inline constexpr double STEMS_PER_HA_OF_PLOT_COUNT = 100.0;          // trees per 100 m sq. → stems/ha
inline constexpr double MG_PER_HA_OF_KG_PER_M2 = 10.0;               // kg/m sq. → Mg/ha
inline constexpr double M3_PER_HA_OF_CUFT_PER_ACRE = 0.06997245731;  // 0.028316846592 m³ / 0.40468564224 ha
inline constexpr double CARBON_OF_BIOMASS = 0.5;

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

    // An iteration starts: its plots' demography begins again.
    void beginIteration();
    // The iteration's rows are committed.
    void endIteration();

    // The saplings the plot gained this year (the births of the year's tally).
    void noteRecruits(const ModelState& model, const Plot& plot);
    // A tree about to leave its plot, and why.
    void noteRemoval(const ModelState& model, const Plot& plot, const Tree& tree, RemovalCause cause);
    // A logging or windthrow of the plot begins and ends.
    void beginDisturbance();
    void endDisturbance(const ModelState& model, const Plot& plot, RemovalCause cause);

    // The species' site-quality factors in force for the plot this year.
    void recordLimitingFactors(const ModelState& model, const Plot& plot);
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
    void writeRun(const ModelState& model, const std::vector<InputFile>& inputs);
    void writeSpecies(const ModelState& model);
    void writeStand(const ModelState& model, const Plot& plot);
    void writeTrees(const ModelState& model, const Plot& plot);
    void writeDemography(const ModelState& model, const Plot& plot, PlotDemography& demography);
    // Finalizes the prepared statements, which must go before their connection closes.
    void closeStatements();

    std::string path_;
    std::string temporaryPath_;
    bool yearly_ = false;
    bool trees_ = false;
    bool finished_ = false;
    std::string failure_;
    std::unique_ptr<DatabaseConnection> db_;
    DatabaseStatement plotYear_, stand_, classes_, demography_, limiting_, disturbance_, tree_;
    int limitingSpecies_ = 0;  // species per limiting-factors statement
    std::map<int, PlotDemography> demographyByPlot_;
    std::array<Removed, MAX_SPECIES + 1> removed_{};
};

// Writes each table of the database at path as DIR/TABLE.csv: a header row, then one line per
// row, integers as they are, reals in the fewest digits that read back to the same double (C
// locale), texts quoted when they hold a comma,
// quote or line break. Returns an empty string, or what went wrong naming the file.
std::string exportRunDatabase(const std::string& path, const std::string& directory);

// Joins the run databases of several runs of one scenario into one at target, as merge joins
// their results files: each source's iterations raised by its offset, its `run`, `setting` and
// `input_file` rows kept as parts of their own, the species of the first. Written under a
// temporary name and renamed into place. Returns an empty string, or what went wrong naming
// the file.
struct MergeSource {
    std::string path;
    int iterationOffset = 0;
};
std::string mergeRunDatabases(const std::vector<MergeSource>& sources, const std::string& target);

// Whether the file at path is a run database (every table there) of a run that completed (every
// part of it).
bool isCompleteRunDatabase(const std::string& path);

}  // namespace dravia

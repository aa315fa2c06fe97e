#pragma once

// Small run databases written row by row, with the schema the program writes.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "output/rundb/RunDatabaseSchema.h"

namespace dravia::test {

class ChartTestDatabase {
  public:
    explicit ChartTestDatabase(const std::filesystem::path& file) : file_(file) {
        std::filesystem::remove(file);
        EXPECT_EQ(sqlite3_open(file.c_str(), &database_), SQLITE_OK);
        execute(runDatabaseSchemaSql());
        execute("PRAGMA user_version=" + std::to_string(RUN_DATABASE_FORMAT));
    }
    ~ChartTestDatabase() { sqlite3_close(database_); }
    ChartTestDatabase(const ChartTestDatabase&) = delete;
    ChartTestDatabase& operator=(const ChartTestDatabase&) = delete;

    const std::filesystem::path& file() const { return file_; }

    void execute(const std::string& sql) {
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(database_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
            << (error ? error : "") << "\n"
            << sql;
        sqlite3_free(error);
    }

    // One row of a table, the values in the order of its columns but the scenario, which is the
    // database's one; text is quoted.
    template <typename... Values>
    void insert(const char* table, const Values&... values) {
        std::string sql = std::string("INSERT INTO ") + table + " VALUES (";
        ((sql += sqlValue(values) + ", "), ...);
        execute(sql + sqlValue(SCENARIO) + ")");
    }
    static constexpr const char* SCENARIO = "Test stand";

    void run(int part, int firstIteration, int iterations, int plots, int completed = 1) {
        insert("run", part, firstIteration, iterations, 100, plots, 10, "4.0.0", "start", "end", 0.5,
               "dravia4", "/tmp", completed);
    }
    void species(int sn, const char* name, int colourIndex) {
        execute("INSERT INTO species (species, name, alt_name, colour_index, scenario) VALUES (" +
                std::to_string(sn) + ", '" + name + "', '" + name + "', " + std::to_string(colourIndex) +
                ", " + sqlValue(SCENARIO) + ")");
    }
    void plotYear(int iteration, int year, int plot) { insert("plot_year", iteration, year, plot, 1); }
    // A species on a plot: its stems, basal area and above-ground biomass per hectare.
    void stand(int iteration, int year, int plot, int sn, double stems, double basalArea,
               double aboveGround) {
        insert("stand", iteration, year, plot, sn, stems, basalArea, 0, 0, 0, 0, 0, aboveGround, 0, 0, 0, 0);
    }
    void diameterClass(int iteration, int year, int plot, int sn, int lowerCm, double stems) {
        insert("diameter_classes", iteration, year, plot, sn, lowerCm, stems, 0);
    }

  private:
    static std::string sqlValue(const char* text) { return std::string("'") + text + "'"; }
    template <typename Number>
    static std::string sqlValue(Number number) {
        return std::to_string(number);
    }

    std::filesystem::path file_;
    sqlite3* database_ = nullptr;
};

// Two species over two recorded years, three iterations on one plot, with diameter classes: a
// run small enough to check by eye, big enough to show bands.
inline void writeTwoSpeciesRun(ChartTestDatabase& database) {
    database.run(1, 1, 3, 1);
    database.species(1, "Sugar_maple", 1);
    database.species(2, "Balsam_fir", 4);
    for (int iteration = 1; iteration <= 3; ++iteration) {
        for (const int year : {10, 20}) {
            database.plotYear(iteration, year, 1);
            database.stand(iteration, year, 1, 1, 100.0 * iteration, iteration * year / 10.0,
                           5.0 * iteration);
            database.stand(iteration, year, 1, 2, 50.0, 2.0 + iteration, 20.0);
            database.diameterClass(iteration, year, 1, 1, 0, 60.0);
            database.diameterClass(iteration, year, 1, 2, 10, 40.0);
        }
    }
}

// One tree of one species on one plot in one recorded year, then the given change: a complete
// run database to be made into what no run writes.
inline void writeCraftedRun(const std::filesystem::path& file, const std::string& change) {
    ChartTestDatabase database(file);
    database.run(1, 1, 1, 1);
    database.species(1, "Sugar_maple", 1);
    database.plotYear(1, 10, 1);
    database.stand(1, 10, 1, 1, 100.0, 1.0, 5.0);
    database.diameterClass(1, 10, 1, 1, 10, 100.0);
    database.execute(change);
}

}  // namespace dravia::test

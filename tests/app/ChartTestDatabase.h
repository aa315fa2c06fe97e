#pragma once

// Small run databases written row by row, with the schema the program writes.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "output/RunDatabaseSchema.h"

namespace dravia::test {

class ChartTestDatabase {
  public:
    explicit ChartTestDatabase(const std::filesystem::path& file) : file_(file) {
        std::filesystem::remove(file);
        EXPECT_EQ(sqlite3_open(file.c_str(), &database_), SQLITE_OK);
        execute(RUN_DATABASE_SCHEMA);
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

    void run(int part, int firstIteration, int iterations, int plots, int completed = 1) {
        execute("INSERT INTO run VALUES (" + std::to_string(part) + ", " + std::to_string(firstIteration) +
                ", " + std::to_string(iterations) + ", 100, " + std::to_string(plots) +
                ", 10, '4.0.0', 'start', 'end', " + "0.5, 'dravia4', '/tmp', " + std::to_string(completed) +
                ")");
    }
    void species(int sn, const std::string& name, int colourIndex) {
        execute("INSERT INTO species (species, name, alt_name, colour_index) VALUES (" + std::to_string(sn) +
                ", '" + name + "', '" + name + "', " + std::to_string(colourIndex) + ")");
    }
    void plotYear(int iteration, int year, int plot) {
        execute("INSERT INTO plot_year VALUES (" + std::to_string(iteration) + ", " + std::to_string(year) +
                ", " + std::to_string(plot) + ", 1)");
    }
    // A species on a plot: its stems, basal area and above-ground biomass per hectare.
    void stand(int iteration, int year, int plot, int sn, double stems, double basalArea,
               double aboveGround) {
        execute("INSERT INTO stand VALUES (" + std::to_string(iteration) + ", " + std::to_string(year) +
                ", " + std::to_string(plot) + ", " + std::to_string(sn) + ", " + std::to_string(stems) +
                ", " + std::to_string(basalArea) + ", 0, 0, 0, 0, 0, " + std::to_string(aboveGround) +
                ", 0, 0, 0)");
    }
    void diameterClass(int iteration, int year, int plot, int sn, int lowerCm, double stems) {
        execute("INSERT INTO diameter_classes VALUES (" + std::to_string(iteration) + ", " +
                std::to_string(year) + ", " + std::to_string(plot) + ", " + std::to_string(sn) + ", " +
                std::to_string(lowerCm) + ", " + std::to_string(stems) + ", 0)");
    }

  private:
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

}  // namespace dravia::test

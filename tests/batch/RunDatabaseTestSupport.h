#pragma once

// Reading run databases in tests, and making one of the first format from one of today's.

#include <filesystem>
#include <string>
#include <vector>

#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "platform/Format.h"

namespace dravia::test {

// Rows of a query, every column as text.
inline std::vector<std::vector<std::string>> query(const std::filesystem::path& database,
                                                   const std::string& sql) {
    DatabaseConnection db(database.string(), true);
    DatabaseStatement rows = db.prepare(sql.c_str());
    std::vector<std::vector<std::string>> result;
    while (rows.nextRow()) {
        std::vector<std::string> row;
        for (int c = 0; c < rows.columnCount(); ++c) row.push_back(rows.textColumn(c));
        result.push_back(row);
    }
    return result;
}

// Rows of a query, reals written with every digit (%.17g) so that tests can compare them exactly.
inline std::vector<std::vector<std::string>> queryExact(const std::filesystem::path& database,
                                                        const std::string& sql) {
    DatabaseConnection db(database.string(), true);
    DatabaseStatement rows = db.prepare(sql.c_str());
    std::vector<std::vector<std::string>> result;
    while (rows.nextRow()) {
        std::vector<std::string> row;
        for (int c = 0; c < rows.columnCount(); ++c)
            row.push_back(rows.realValued(c) ? formatText("%.17g", rows.realColumn(c)) : rows.textColumn(c));
        result.push_back(row);
    }
    return result;
}

// A database as format 2 wrote it: no year 0, no deaths, stand after disturbance, site years,
// dictionary, t table or views, the limiting factors a table, without the columns added since.
inline void makePreviousFormat(const std::filesystem::path& database) {
    DatabaseConnection db(database.string(), false);
    db.execute(
        "CREATE TABLE old_limiting_factors AS SELECT * FROM limiting_factors; DROP VIEW limiting_factors; "
        "DROP VIEW stand_mean; DROP VIEW stand_totals; ALTER TABLE old_limiting_factors RENAME TO "
        "limiting_factors; DROP TABLE stand_after_disturbance; DROP TABLE site_year; DROP TABLE deaths; "
        "DROP TABLE t_table; DROP TABLE column_info; ALTER TABLE trees DROP COLUMN uid; "
        "ALTER TABLE stand DROP COLUMN mean_light; ALTER TABLE disturbance DROP COLUMN root_mg_per_ha; "
        "ALTER TABLE disturbance DROP COLUMN above_ground_carbon_mg_per_ha; "
        "DELETE FROM plot_year WHERE year = 0; DELETE FROM stand WHERE year = 0; "
        "DELETE FROM diameter_classes WHERE year = 0; DELETE FROM trees WHERE year = 0; "
        "DELETE FROM demography WHERE year_start = 0; PRAGMA user_version=2");
    db.close();
}

// A database as the first format wrote it: also no scenario column, no format version.
inline void makeFirstFormat(const std::filesystem::path& database) {
    makePreviousFormat(database);
    DatabaseConnection db(database.string(), false);
    for (const std::string& table : runTablesOfFormat(FIRST_RUN_DATABASE_FORMAT)) {
        std::string columns;
        DatabaseStatement info = db.prepare(("PRAGMA table_info(" + table + ")").c_str());
        while (info.nextRow()) {
            if (info.textColumn(1) == "scenario") continue;
            columns += (columns.empty() ? "" : ",") + info.textColumn(1);
        }
        info = {};
        const std::string& t = table;
        db.execute(("CREATE TABLE old_" + t + " AS SELECT " + columns + " FROM " + t + "; DROP TABLE " + t +
                    "; ALTER TABLE old_" + t + " RENAME TO " + t)
                       .c_str());
    }
    db.execute("PRAGMA user_version=0");
    db.close();
}

}  // namespace dravia::test

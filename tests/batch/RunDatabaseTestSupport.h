#pragma once

// Reading run databases in tests, and making one of the first format from one of today's.

#include <filesystem>
#include <string>
#include <vector>

#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"

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

// A database as the first format wrote it: no scenario column, no format version.
inline void makeFirstFormat(const std::filesystem::path& database) {
    DatabaseConnection db(database.string(), false);
    for (const char* table : RUN_DATABASE_TABLES) {
        std::string columns;
        DatabaseStatement info = db.prepare((std::string("PRAGMA table_info(") + table + ")").c_str());
        while (info.nextRow()) {
            if (info.textColumn(1) == "scenario") continue;
            columns += (columns.empty() ? "" : ",") + info.textColumn(1);
        }
        info = {};
        const std::string t = table;
        db.execute(("CREATE TABLE old_" + t + " AS SELECT " + columns + " FROM " + t + "; DROP TABLE " + t +
                    "; ALTER TABLE old_" + t + " RENAME TO " + t)
                       .c_str());
    }
    db.execute("PRAGMA user_version=0");
    db.close();
}

}  // namespace dravia::test

#pragma once

#include <span>
#include <string>
#include <vector>

namespace dravia {

// The tables of the run database, one row per fact, metric per-hectare units, each row of a run's
// tables keyed by the scenario it belongs to (its last column). Declared once here: the tables,
// their keys and indexes, and the file's own data dictionary (`column_info`) are all made from
// these declarations. docs/outputs.md documents every column; a change here is a change of the
// documented format, and of RUN_DATABASE_FORMAT.
struct ColumnDeclaration {
    const char* name;
    const char* type;  // its SQL type and constraint
    const char* unit;  // empty for keys, counts without a unit, and text
    const char* description;
};

struct TableDeclaration {
    const char* name;
    std::span<const ColumnDeclaration> columns;
    const char* primaryKey;  // its columns, or empty where rows have no key of their own
    bool withoutRowid;       // stored in key order: rows are written in (nearly) that order
    const char* index;       // the columns of an index besides the key, or empty
    bool perScenario;        // a run's rows, with a last column `scenario`; else the file's own
};

struct ViewDeclaration {
    const char* name;
    std::span<const ColumnDeclaration> columns;
    const char* select;
};

// Every table, in the order they are created, written, exported and copied.
std::span<const TableDeclaration> runDatabaseTables();
// Every view, made after the tables.
std::span<const ViewDeclaration> runDatabaseViews();

// The format the declarations above are (PRAGMA user_version). Format 2 (scenario names, the
// limiting factors in a table of their own) and the first format, without scenarios, which
// carried no version (0), are still read.
inline constexpr int RUN_DATABASE_FORMAT = 3;
inline constexpr int PREVIOUS_RUN_DATABASE_FORMAT = 2;
inline constexpr int FIRST_RUN_DATABASE_FORMAT = 0;

// The tables of a run's rows (the perScenario ones) a database of the given readable format holds.
std::vector<std::string> runTablesOfFormat(int format);
// The statement that creates the view, as the file's sqlite_master keeps it.
std::string createViewSql(const ViewDeclaration& view);
// The statements that create every table, index and view of the current format, with its
// column_info and t_table rows and its user_version.
std::string runDatabaseSchemaSql();

// The name the desktop program gives the database of its last run in the working directory,
// and the name merge looks for in each run's directory unless told another.
inline constexpr const char* STANDARD_RUN_DATABASE_NAME = "dravia4-run.sqlite";

}  // namespace dravia

#pragma once

#include <functional>
#include <string>
#include <vector>

#include "output/rundb/DatabaseConnection.h"

namespace dravia {

// Makes the open, empty file a run database: the schema and its format, without a journal (the
// file is written under a temporary name and renamed into place when whole).
void createRunDatabaseTables(DatabaseConnection& db);

// Copies a table from the attached database "source" into "main", each column of main's table
// taken from the SQL expression `columnFrom` gives for it (the column itself, "iteration + 3", ...).
// An expression may use ?1, which is bound to `bound` (a name: data, never SQL text). A column
// the source table lacks (a file of an earlier format) is left empty, unless `columnFrom` gives
// something else than the column itself; a table the source lacks copies nothing. sourceTable
// names the source's table when it is not main's.
void copyTable(DatabaseConnection& db, const char* table,
               const std::function<std::string(const std::string& column)>& columnFrom,
               const std::string& bound = {}, const char* sourceTable = nullptr);

// The columns of a table of an attached database ("main", "source"), in order; none when there
// is no such table.
std::vector<std::string> tableColumns(DatabaseConnection& db, const char* schema, const char* table);

}  // namespace dravia

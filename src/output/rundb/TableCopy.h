#pragma once

#include <functional>
#include <string>

#include "output/rundb/DatabaseConnection.h"

namespace dravia {

// Makes the open, empty file a run database: the schema and its format, without a journal (the
// file is written under a temporary name and renamed into place when whole).
void createRunDatabaseTables(DatabaseConnection& db);

// Copies a table from the attached database "source" into "main", each column of main's table
// taken from the SQL expression `columnFrom` gives for it (the column itself, "iteration + 3", ...).
// An expression may use ?1, which is bound to `bound` (a name: data, never SQL text).
void copyTable(DatabaseConnection& db, const char* table,
               const std::function<std::string(const std::string& column)>& columnFrom,
               const std::string& bound = {});

}  // namespace dravia

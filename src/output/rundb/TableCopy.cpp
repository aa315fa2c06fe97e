#include "output/rundb/TableCopy.h"

#include <algorithm>

#include "output/rundb/RunDatabaseSchema.h"
#include "platform/Format.h"

namespace dravia {

void createRunDatabaseTables(DatabaseConnection& db) {
    db.execute("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
    db.execute(runDatabaseSchemaSql().c_str());
}

std::vector<std::string> tableColumns(DatabaseConnection& db, const char* schema, const char* table) {
    std::vector<std::string> columns;
    // Only a table: a view of the same name (limiting_factors of the current format) is no source.
    DatabaseStatement kind = db.prepare(
        formatText("SELECT count(*) FROM %s.sqlite_master WHERE type = 'table' AND name = ?1", schema)
            .c_str());
    kind.bind(1, std::string(table));
    if (!kind.nextRow() || kind.integerColumn(0) == 0) return columns;
    kind = {};
    DatabaseStatement info = db.prepare(formatText("PRAGMA %s.table_info(%s)", schema, table).c_str());
    while (info.nextRow()) columns.push_back(info.textColumn(1));
    return columns;
}

void copyTable(DatabaseConnection& db, const char* table,
               const std::function<std::string(const std::string& column)>& columnFrom,
               const std::string& bound, const char* sourceTable) {
    const char* from = sourceTable != nullptr ? sourceTable : table;
    const std::vector<std::string> present = tableColumns(db, "source", from);
    if (present.empty()) return;
    std::string columns;
    bool usesBound = false;
    for (const std::string& column : tableColumns(db, "main", table)) {
        std::string expression = columnFrom(column);
        if (expression == column && std::find(present.begin(), present.end(), column) == present.end())
            expression = "NULL";
        usesBound = usesBound || expression.find("?1") != std::string::npos;
        if (!columns.empty()) columns += ',';
        columns += expression;
    }
    DatabaseStatement insert = db.prepare(
        formatText("INSERT INTO main.%s SELECT %s FROM source.%s", table, columns.c_str(), from).c_str());
    if (usesBound) insert.bind(1, bound);
    insert.execute();
}

}  // namespace dravia

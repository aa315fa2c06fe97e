#include "output/rundb/TableCopy.h"

#include "output/rundb/RunDatabaseSchema.h"
#include "platform/Format.h"

namespace dravia {

void createRunDatabaseTables(DatabaseConnection& db) {
    db.execute("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
    db.execute(RUN_DATABASE_SCHEMA);
    db.execute(formatText("PRAGMA user_version=%d", RUN_DATABASE_FORMAT).c_str());
}

void copyTable(DatabaseConnection& db, const char* table,
               const std::function<std::string(const std::string& column)>& columnFrom,
               const std::string& bound) {
    std::string columns;
    bool usesBound = false;
    {
        DatabaseStatement info = db.prepare(formatText("PRAGMA main.table_info(%s)", table).c_str());
        while (info.nextRow()) {
            const std::string expression = columnFrom(info.textColumn(1));
            usesBound = usesBound || expression.find("?1") != std::string::npos;
            if (!columns.empty()) columns += ',';
            columns += expression;
        }
    }
    DatabaseStatement insert = db.prepare(
        formatText("INSERT INTO main.%s SELECT %s FROM source.%s", table, columns.c_str(), table).c_str());
    if (usesBound) insert.bind(1, bound);
    insert.execute();
}

}  // namespace dravia

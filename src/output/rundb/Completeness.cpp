#include "output/rundb/Completeness.h"

#include <unistd.h>

#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"

namespace dravia {

bool isCompleteRunDatabase(const std::string& path) {
    if (!databasePathProblem(path).empty() || access(path.c_str(), R_OK) != 0) return false;
    try {
        DatabaseConnection db(path, true);
        // Every table of a run database, then every part of its run completed.
        DatabaseStatement tables =
            db.prepare("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?");
        for (const char* table : RUN_DATABASE_TABLES) {
            if (!tables.bind(1, std::string(table)).nextRow() || tables.integerColumn(0) != 1) return false;
            tables.nextRow();  // to its end, ready for the next table
        }
        DatabaseStatement parts = db.prepare("SELECT count(*), min(completed) FROM run");
        if (!parts.nextRow()) return false;
        return parts.integerColumn(0) > 0 && parts.integerColumn(1) == 1;
    } catch (const DatabaseError&) {
        return false;
    }
}

}  // namespace dravia

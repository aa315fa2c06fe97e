#include "output/rundb/Merge.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "output/rundb/Completeness.h"
#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "platform/Format.h"
#include "platform/Paths.h"

namespace dravia {

std::string mergeRunDatabases(const std::vector<MergeSource>& sources, const std::string& target) {
    std::string temporary;
    const int descriptor = createFileBeside(target, temporary);
    if (descriptor < 0) {
        return formatText("Error: run database \"%s\" could not be created: %s.", target.c_str(),
                          std::strerror(errno));
    }
    ::close(descriptor);
    std::string current = target;
    try {
        DatabaseConnection db(temporary, false);
        db.execute("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
        db.execute(RUN_DATABASE_SCHEMA);
        int partsBefore = 0;
        for (size_t k = 0; k < sources.size(); ++k) {
            const MergeSource& source = sources[k];
            current = source.path;
            if (!isCompleteRunDatabase(source.path))
                throw DatabaseError{"it is not the database of a completed run"};
            db.prepare("ATTACH DATABASE ? AS source").bind(1, source.path).execute();
            db.execute("BEGIN");
            for (const char* table : RUN_DATABASE_TABLES) {
                const std::string name = table;
                if (name == "species" && k > 0) continue;
                // Every column by name, the numbering ones moved on.
                std::string columns;
                DatabaseStatement info = db.prepare(formatText("PRAGMA main.table_info(%s)", table).c_str());
                while (info.nextRow()) {
                    const std::string column = info.textColumn(1);
                    if (!columns.empty()) columns += ',';
                    if (column == "iteration" || column == "first_iteration") {
                        columns += formatText("%s + %d", column.c_str(), source.iterationOffset);
                    } else if (column == "part") {
                        columns += formatText("part + %d", partsBefore);
                    } else {
                        columns += column;
                    }
                }
                db.execute(
                    formatText("INSERT INTO main.%s SELECT %s FROM source.%s", table, columns.c_str(), table)
                        .c_str());
            }
            db.execute("COMMIT");
            DatabaseStatement parts = db.prepare("SELECT coalesce(max(part), 0) FROM main.run");
            if (parts.nextRow()) partsBefore = static_cast<int>(parts.integerColumn(0));
            parts = {};
            db.execute("DETACH DATABASE source");
        }
        current = target;
        db.close();
        if (std::rename(temporary.c_str(), target.c_str()) != 0) throw DatabaseError{std::strerror(errno)};
    } catch (const DatabaseError& error) {
        std::remove(temporary.c_str());
        return formatText("Error: run database \"%s\" could not be merged: %s.", current.c_str(),
                          error.reason.c_str());
    }
    return {};
}

}  // namespace dravia

#include "output/rundb/Merge.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "output/rundb/Completeness.h"
#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/Scenario.h"
#include "output/rundb/TableCopy.h"
#include "platform/Format.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

// The one scenario of a run's database; a study database of several is no run.
std::string onlyScenarioOf(const std::string& path) {
    DatabaseConnection source(path, true);
    const std::vector<std::string> names = scenariosOf(source);
    if (names.size() != 1) {
        throw DatabaseError{
            formatText("it holds %zu scenarios; merge joins the runs of one scenario", names.size())};
    }
    return names.front();
}

// The site years of a source whose iterations are numbered on by offset. Rows for every iteration
// (iteration 0) stay so where the runs before it have the same ones, as the replicates of one
// scenario do; otherwise they become rows of each of its iterations, below those it has of its own.
void copySiteYears(DatabaseConnection& db, int offset, const std::string& scenario) {
    std::string values;
    for (const std::string& column : tableColumns(db, "main", "site_year")) {
        if (column != "iteration" && column != "scenario") values += "," + column;
    }
    const char* list = values.c_str() + 1;
    DatabaseStatement differing = db.prepare(
        formatText(
            "SELECT (SELECT count(*) FROM (SELECT %s FROM source.site_year WHERE iteration = 0 EXCEPT "
            "SELECT %s FROM main.site_year WHERE iteration = 0)) + (SELECT count(*) FROM (SELECT %s FROM "
            "main.site_year WHERE iteration = 0 EXCEPT SELECT %s FROM source.site_year WHERE iteration = 0))",
            list, list, list, list)
            .c_str());
    const bool shared = differing.nextRow() && differing.integerColumn(0) == 0;
    differing = {};
    db.prepare(formatText("INSERT INTO main.site_year SELECT iteration + %d%s, ?1 FROM source.site_year "
                          "WHERE iteration <> 0",
                          offset, values.c_str())
                   .c_str())
        .bind(1, scenario)
        .execute();
    if (shared) return;
    // The iterations the source recorded, and only those its run table (checked against the run's
    // statistics copies) holds: a crafted plot_year cannot multiply the rows.
    db.prepare(formatText(
                   "INSERT OR IGNORE INTO main.site_year SELECT k.iteration + %d%s, ?1 FROM source.site_year "
                   "AS f JOIN (SELECT DISTINCT iteration FROM source.plot_year WHERE iteration BETWEEN 1 AND "
                   "(SELECT sum(iterations) FROM source.run)) AS k WHERE f.iteration = 0",
                   offset, values.c_str())
                   .c_str())
        .bind(1, scenario)
        .execute();
}

}  // namespace

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
        createRunDatabaseTables(db);
        int partsBefore = 0;
        std::string scenario;  // the parts' common name
        for (size_t k = 0; k < sources.size(); ++k) {
            const MergeSource& source = sources[k];
            current = source.path;
            refuseUnreadableFormat(source.path);
            if (!isCompleteRunDatabase(source.path))
                throw DatabaseError{"it is not the database of a completed run"};
            {
                DatabaseConnection check(source.path, true);
                if (runDatabaseFormat(check) != RUN_DATABASE_FORMAT) {
                    throw DatabaseError{formatText(
                        "it was written by an earlier version of Dravia4 (format %d); merge joins the runs "
                        "of this version (format %d): run them again, or combine them as scenarios",
                        runDatabaseFormat(check), RUN_DATABASE_FORMAT)};
                }
            }
            const std::string name = onlyScenarioOf(source.path);
            if (k == 0) scenario = name;
            if (name != scenario) {
                throw DatabaseError{
                    formatText("its run is of the scenario \"%s\", the runs before it of \"%s\"; "
                               "merge joins runs of one scenario",
                               name.c_str(), scenario.c_str())};
            }
            db.prepare("ATTACH DATABASE ? AS source").bind(1, source.path).execute();
            db.execute("BEGIN");
            for (const std::string& name : runTablesOfFormat(RUN_DATABASE_FORMAT)) {
                const char* table = name.c_str();
                if (name == "species" && k > 0) continue;
                if (name == "site_year" && (k > 0 || source.iterationOffset != 0)) {
                    copySiteYears(db, source.iterationOffset, scenario);
                    continue;
                }
                // Every column by name, the numbering ones moved on, the scenario the parts' common
                // name (also where a database of the first format has none).
                copyTable(
                    db, table,
                    [&](const std::string& column) {
                        if (column == "iteration" || column == "first_iteration")
                            return formatText("%s + %d", column.c_str(), source.iterationOffset);
                        if (column == "part") return formatText("part + %d", partsBefore);
                        return column == "scenario" ? std::string("?1") : column;
                    },
                    scenario);
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

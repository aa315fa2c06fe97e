#include "output/rundb/Completeness.h"

#include <unistd.h>

#include <cmath>

#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/Scenario.h"
#include "platform/Format.h"

namespace dravia {

bool isCompleteRunDatabase(const std::string& path) {
    if (!databasePathProblem(path).empty() || access(path.c_str(), R_OK) != 0) return false;
    try {
        DatabaseConnection db(path, true);
        // Every table of a run database of its format, then every part of its run completed.
        DatabaseStatement tables =
            db.prepare("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?");
        for (const std::string& table : runTablesOfFormat(runDatabaseFormat(db))) {
            if (!tables.bind(1, table).nextRow() || tables.integerColumn(0) != 1) return false;
            tables.nextRow();  // to its end, ready for the next table
        }
        DatabaseStatement parts = db.prepare("SELECT count(*), min(completed) FROM run");
        if (!parts.nextRow()) return false;
        return parts.integerColumn(0) > 0 && parts.integerColumn(1) == 1;
    } catch (const DatabaseError&) {
        return false;
    }
}

void refuseUnreadableFormat(const std::string& path) {
    if (!databasePathProblem(path).empty() || access(path.c_str(), R_OK) != 0) return;
    int format = RUN_DATABASE_FORMAT;
    try {
        DatabaseConnection db(path, true);
        DatabaseStatement version = db.prepare("PRAGMA user_version");
        if (version.nextRow()) format = static_cast<int>(version.integerColumn(0));
    } catch (const DatabaseError&) {
        return;  // no database at all: the completeness check says so
    }
    if (format != RUN_DATABASE_FORMAT && format != PREVIOUS_RUN_DATABASE_FORMAT &&
        format != FIRST_RUN_DATABASE_FORMAT) {
        DatabaseConnection db(path, true);
        runDatabaseFormat(db);  // throws, saying which version wrote it
    }
}

std::string runDatabaseMismatch(const std::string& path, long long years, long long plots,
                                long long iterations, double seed) {
    try {
        DatabaseConnection db(path, true);
        DatabaseStatement part = db.prepare(
            "SELECT part, first_iteration, iterations, years, plots, random_state_at_start FROM run "
            "ORDER BY scenario, part");
        long long expectedPart = 1;
        long long nextIteration = 1;
        while (part.nextRow()) {
            const long long number = part.integerColumn(0);
            if (number != expectedPart || part.integerColumn(1) != nextIteration) {
                return formatText(
                    "its part %lld begins with iteration %lld where part %lld with iteration %lld "
                    "belongs",
                    number, part.integerColumn(1), expectedPart, nextIteration);
            }
            if (part.integerColumn(3) != years) {
                return formatText("its run has %lld years, the run's statistics copies %lld",
                                  part.integerColumn(3), years);
            }
            if (part.integerColumn(4) != plots) {
                return formatText("its run has %lld plots, the run's statistics copies %lld",
                                  part.integerColumn(4), plots);
            }
            // The copies keep a state between whole numbers as the file's seed; only a seed compares.
            const double state = std::fabs(part.realColumn(5));
            if (number == 1 && state == std::floor(state) && state >= 1.0 && state <= 2147483646.0 &&
                state != seed) {
                return formatText(
                    "its run began with the random state %.0f, the run's statistics copies with %.0f", state,
                    seed);
            }
            nextIteration += part.integerColumn(2);
            ++expectedPart;
        }
        if (nextIteration - 1 != iterations) {
            return formatText("its run has %lld iterations, the run's statistics copies %lld",
                              nextIteration - 1, iterations);
        }
    } catch (const DatabaseError& error) {
        return error.reason;
    }
    return {};
}

}  // namespace dravia

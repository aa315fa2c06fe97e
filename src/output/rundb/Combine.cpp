#include "output/rundb/Combine.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "output/rundb/Completeness.h"
#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/Scenario.h"
#include "output/rundb/TableCopy.h"
#include "platform/Format.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

struct CombineInput {
    std::string path;
    int format = RUN_DATABASE_FORMAT;
    std::vector<std::string> scenarios;
};

// Every input a complete run database, no scenario name in two of them; throws DatabaseError
// naming what is wrong, with the file it is wrong in as `file`.
std::vector<CombineInput> readInputs(const std::vector<std::string>& paths, const std::string& target,
                                     std::string& file) {
    std::vector<CombineInput> inputs;
    std::map<std::string, std::string> fileOfScenario;
    for (const std::string& path : paths) {
        file = path;
        if (sameFile(path, target)) throw DatabaseError{"it is also the study database to be written"};
        // A later or unknown format says so before completeness is asked of it.
        refuseUnreadableFormat(path);
        if (!isCompleteRunDatabase(path))
            throw DatabaseError{"it is not the run database of a completed run"};
        DatabaseConnection db(path, true);
        CombineInput input{path, runDatabaseFormat(db), scenariosOf(db)};
        for (const std::string& name : input.scenarios) {
            const auto [earlier, added] = fileOfScenario.emplace(name, path);
            if (!added) {
                throw DatabaseError{formatText(
                    "its scenario \"%s\" is also that of \"%s\"; give one of them another name (Statistics > "
                    "Runs... in the desktop program, or dravia4-batch run --scenario NAME)",
                    name.c_str(), earlier->second.c_str())};
            }
        }
        inputs.push_back(std::move(input));
    }
    return inputs;
}

// Copies every table of the attached input "source" into the study database; a database of the
// first format gets its one scenario's name in the column it lacks, one of an earlier format its
// limiting factors as site years without the climate (which it did not record).
void copyTables(DatabaseConnection& db, const CombineInput& input) {
    const bool unnamed = input.format == FIRST_RUN_DATABASE_FORMAT;
    const auto columnFrom = [unnamed](const std::string& column) {
        return column == "scenario" && unnamed ? std::string("?1") : column;
    };
    for (const std::string& table : runTablesOfFormat(RUN_DATABASE_FORMAT))
        copyTable(db, table.c_str(), columnFrom, input.scenarios.front());
    if (input.format != RUN_DATABASE_FORMAT)
        copyTable(db, "site_year", columnFrom, input.scenarios.front(), "limiting_factors");
}

}  // namespace

std::string combineRunDatabases(const std::vector<std::string>& paths, const std::string& target) {
    std::string file = target;
    std::string temporary;
    try {
        if (paths.empty()) throw DatabaseError{"no run databases were given to combine"};
        const std::string problem = databasePathProblem(target);
        if (!problem.empty()) throw DatabaseError{problem};
        const std::vector<CombineInput> inputs = readInputs(paths, target, file);
        file = target;
        const int descriptor = createFileBeside(target, temporary);
        if (descriptor < 0) throw DatabaseError{std::strerror(errno)};
        ::close(descriptor);
        DatabaseConnection db(temporary, false);
        createRunDatabaseTables(db);
        for (const CombineInput& input : inputs) {
            file = input.path;
            db.prepare("ATTACH DATABASE ? AS source").bind(1, input.path).execute();
            db.execute("BEGIN");
            copyTables(db, input);
            db.execute("COMMIT");
            db.execute("DETACH DATABASE source");
        }
        file = target;
        db.close();
        if (std::rename(temporary.c_str(), target.c_str()) != 0) throw DatabaseError{std::strerror(errno)};
    } catch (const DatabaseError& error) {
        if (!temporary.empty()) std::remove(temporary.c_str());
        return formatText("Error: run database \"%s\" could not be combined: %s.", file.c_str(),
                          error.reason.c_str());
    }
    return {};
}

}  // namespace dravia

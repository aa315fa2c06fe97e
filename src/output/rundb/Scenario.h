#pragma once

#include <map>
#include <string>
#include <vector>

#include "output/rundb/DatabaseConnection.h"

namespace dravia {

// A run's settings as the run database's `setting` table holds them: name → value.
using RunSettings = std::map<std::string, std::string>;

// A short readable name of what a run simulates, from its settings: the community's habitat, the
// climate, the disturbances, and CO2 fertilisation and each model option when on. Iteration and
// plot counts are no part of it (lists show them), so replicate runs share their name.
std::string defaultScenarioName(const RunSettings& settings);

// What is wrong with a name the user gives a scenario, or empty: a name is 1 to 200 bytes of
// text without control characters (it is shown in lists and one-line fields).
std::string scenarioNameProblem(const std::string& name);

// The format of an open run database: RUN_DATABASE_FORMAT or the first format, which readers
// still take; any other throws DatabaseError saying which version of the program wrote it.
int runDatabaseFormat(DatabaseConnection& db);

// The settings of one part of a scenario of an open run database (of the first format: of its run).
RunSettings settingsOfPart(DatabaseConnection& db, int format, const std::string& scenario, int part);

// The scenarios an open run database holds, in the order of their first part; a database of
// the first format holds one, named by defaultScenarioName of its settings.
std::vector<std::string> scenariosOf(DatabaseConnection& db);

// The name as a file name: runs of other characters become "_", at most 60 characters.
std::string scenarioFileStem(const std::string& name);

}  // namespace dravia

#include "output/rundb/Scenario.h"

#include <cstdlib>

#include "model/ModelOptions.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "platform/Format.h"

namespace dravia {

namespace {

std::string valueOf(const RunSettings& settings, const std::string& name) {
    const auto it = settings.find(name);
    return it == settings.end() ? std::string() : it->second;
}

long wholeOf(const RunSettings& settings, const std::string& name) {
    return std::strtol(valueOf(settings, name).c_str(), nullptr, 10);
}

double realOf(const RunSettings& settings, const std::string& name) {
    return std::strtod(valueOf(settings, name).c_str(), nullptr);
}

constexpr const char* SEPARATOR = " \xC2\xB7 ";  // " · "

}  // namespace

std::string defaultScenarioName(const RunSettings& settings) {
    std::vector<std::string> parts;
    std::string habitat = valueOf(settings, formatText("HABITAT[%ld]", wholeOf(settings, "COMMUNITY")));
    parts.push_back(habitat.empty() ? "own site" : habitat);
    const std::string climate =
        valueOf(settings, formatText("WTHR_TYPES[%ld]", wholeOf(settings, "WTHR_TYPE")));
    if (!climate.empty()) parts.push_back(climate);
    if (wholeOf(settings, "TEST_DISTURB") == 1 && wholeOf(settings, "BLOW_DOWN") == 1) {
        const long every = wholeOf(settings, "BLOW_FREQ");
        if (every >= 1) {
            parts.push_back(formatText("logging every %ld yr from year %ld", every,
                                       wholeOf(settings, "FIRST_DISTURB_YEAR")));
        }
        // A draw is raised to at least 0.0001 and must fall below the probability to strike.
        const double windthrow = realOf(settings, "BLOW_PROB");
        if (windthrow > 0.0001) parts.push_back(formatText("windthrow %g %%/yr", 100.0 * windthrow));
    }
    if (wholeOf(settings, "CO2_FERT_OK") == 1) parts.push_back("CO2 fertilisation");
    for (const ModelOptionKind& option : MODEL_OPTION_KINDS) {
        const std::string value = valueOf(settings, option.key);
        if (!value.empty() && std::strtol(value.c_str(), nullptr, 10) != option.off)
            parts.push_back(std::string(option.name) + " " + value);
    }
    std::string name;
    for (const std::string& part : parts) name += (name.empty() ? "" : SEPARATOR) + part;
    return name;
}

std::string scenarioNameProblem(const std::string& name) {
    constexpr std::size_t LONGEST = 200;
    bool control = false;
    for (const char c : name) control = control || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    if (!name.empty() && name.size() <= LONGEST && !control) return {};
    return formatText("a scenario name is 1 to %zu characters of text without line breaks or tabs", LONGEST);
}

int runDatabaseFormat(DatabaseConnection& db) {
    DatabaseStatement version = db.prepare("PRAGMA user_version");
    const int format = version.nextRow() ? static_cast<int>(version.integerColumn(0)) : -1;
    if (format == RUN_DATABASE_FORMAT || format == PREVIOUS_RUN_DATABASE_FORMAT ||
        format == FIRST_RUN_DATABASE_FORMAT)
        return format;
    throw DatabaseError{
        formatText("it was written by %s version of Dravia4 (format %d; this version "
                   "reads formats %d, %d and %d)",
                   format > RUN_DATABASE_FORMAT ? "a later" : "an earlier", format, FIRST_RUN_DATABASE_FORMAT,
                   PREVIOUS_RUN_DATABASE_FORMAT, RUN_DATABASE_FORMAT)};
}

RunSettings settingsOfPart(DatabaseConnection& db, int format, const std::string& scenario, int part) {
    RunSettings settings;
    DatabaseStatement row =
        format == FIRST_RUN_DATABASE_FORMAT
            ? db.prepare("SELECT name, value FROM setting WHERE part = ?1")
            : db.prepare("SELECT name, value FROM setting WHERE part = ?1 AND scenario = ?2");
    row.bind(1, part);
    if (format != FIRST_RUN_DATABASE_FORMAT) row.bind(2, scenario);
    while (row.nextRow()) settings.emplace(row.textColumn(0), row.textColumn(1));
    return settings;
}

std::vector<std::string> scenariosOf(DatabaseConnection& db) {
    const int format = runDatabaseFormat(db);
    if (format == FIRST_RUN_DATABASE_FORMAT) {
        DatabaseStatement first = db.prepare("SELECT min(part) FROM run");
        const int part = first.nextRow() ? static_cast<int>(first.integerColumn(0)) : 1;
        return {defaultScenarioName(settingsOfPart(db, format, {}, part))};
    }
    std::vector<std::string> names;
    DatabaseStatement row = db.prepare("SELECT scenario FROM run GROUP BY scenario ORDER BY min(rowid)");
    while (row.nextRow()) names.push_back(row.textColumn(0));
    return names;
}

std::string scenarioFileStem(const std::string& name) {
    constexpr std::size_t LONGEST = 60;
    std::string stem;
    for (const char c : name) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == '-' || c == '_';
        if (kept) {
            stem += c;
        } else if (!stem.empty() && stem.back() != '_') {
            stem += '_';
        }
        if (stem.size() >= LONGEST) break;
    }
    while (!stem.empty() && stem.back() == '_') stem.pop_back();
    return stem.empty() ? "run" : stem;
}

}  // namespace dravia

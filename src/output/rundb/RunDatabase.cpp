#include "output/rundb/RunDatabase.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <limits>
#include <utility>

#include "output/ParameterCopies.h"
#include "output/Tally.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/Scenario.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/Sha256.h"
#include "platform/TemporaryFiles.h"

namespace dravia {

namespace {

constexpr const char* PROGRAM_VERSION = "Dravia4 Version 4.00 beta";
constexpr int DIAMETER_CLASS_WIDTH = 5;  // cm
constexpr const char* CAUSE_NAMES[] = {"background", "slow_growth", "logging",
                                       "windthrow"};  // by RemovalCause
// Values kept of a year-plot's site: those above the species, the species' factors (the
// established ones NaN without climate memory).
constexpr int SITE_VALUES = 7;
constexpr int SPECIES_FACTORS = 8;
// The most values of iteration 1's site years kept to compare the later iterations' with; a run
// with more (many plots, years and species) writes every iteration's rows.
constexpr std::size_t MOST_REMEMBERED_SITE_VALUES = std::size_t{1} << 22;

int columnsOf(const char* table) {
    for (const TableDeclaration& declared : runDatabaseTables()) {
        if (std::string(declared.name) == table) return static_cast<int>(declared.columns.size());
    }
    throw DatabaseError{formatText("no table %s", table)};
}

// An insert of every column of the table, the scenario (the last) bound once: a statement keeps
// its bindings.
DatabaseStatement insertInto(DatabaseConnection& db, const char* table, const std::string& scenario) {
    const int columns = columnsOf(table);
    std::string sql = formatText("INSERT INTO %s VALUES (?", table);
    for (int c = 1; c < columns; ++c) sql += ",?";
    DatabaseStatement statement = db.prepare((sql + ")").c_str());
    statement.bind(columns, scenario);
    return statement;
}

BatchedInsert batchedInto(DatabaseConnection& db, const char* table, const std::string& scenario) {
    return BatchedInsert(db, table, columnsOf(table), scenario);
}

std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string currentDirectory() {
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    return error ? std::string() : directory.string();
}

std::string fullValue(double value) {
    return formatText("%.17g", value);
}

// The parameter copies hold one "NAME value" line per parameter; the settings table takes them
// apart into name and value.
void appendSettingsOf(std::vector<std::pair<std::string, std::string>>& settings, const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t nameEnd = line.find_first_of(" \t");
        if (line.empty() || nameEnd == 0) continue;
        const std::string name = line.substr(0, nameEnd);
        const std::size_t valueStart =
            nameEnd == std::string::npos ? std::string::npos : line.find_first_not_of(" \t", nameEnd);
        settings.emplace_back(name,
                              valueStart == std::string::npos ? std::string() : line.substr(valueStart));
    }
}

std::vector<std::pair<std::string, std::string>> settingsOf(const ModelState& model) {
    // Named and written as the statistics copies hold them, the seed the one the run began with.
    const RunParameters made = parametersOfRun(model);
    std::vector<std::pair<std::string, std::string>> settings;
    appendSettingsOf(settings, runTimeControlCopyText(made));
    appendSettingsOf(settings, initialValuesCopyText(made));
    const Site& site = model.site;
    const RunParameters& p = model.params;
    const std::pair<const char*, double> exact[] = {
        {"ELEV_FT", site.ELEV_FT},           {"LATITUDE", site.LATITUDE},
        {"SOIL_DEPTH", site.SOIL_DEPTH},     {"ROOT_DEPTH", site.ROOT_DEPTH},
        {"WATER_DEPTH", site.WATER_DEPTH},   {"TEXTURE", site.TEXTURE},
        {"PERCENT_ROCK", site.PERCENT_ROCK}, {"AVAIL_N", site.AVAIL_N},
        {"EVAP_FACTOR", p.EVAP_FACTOR},      {"BA_MAX", p.BA_MAX},
    };
    for (const auto& [name, value] : exact) settings.emplace_back(name, fullValue(value));
    settings.emplace_back("WATER_STRESS_MODE", std::to_string(p.WATER_STRESS_MODE));
    settings.emplace_back("OUTPUT_EVERY_TREE", p.OUTPUT_EVERY_TREE ? "1" : "0");
    // Every model option, on or off, so that runs can be told apart by them.
    for (const ModelOptionKind& option : MODEL_OPTION_KINDS)
        settings.emplace_back(option.key, std::to_string(model.options.*option.field));
    return settings;
}

// Trees and their amounts on a plot of 100 m sq. in the database's per-hectare units.
struct PerHectare {
    double stems, basalArea, stem, bark, branch, leaf, root, aboveGround, total, carbon, volume;
};

PerHectare perHectare(int trees, const Amounts& a) {
    const double total = a.TOT_BIOM * MG_PER_HA_OF_KG_PER_M2;
    return {trees * STEMS_PER_HA_OF_PLOT_COUNT,
            a.BA,
            a.STEM_BM * MG_PER_HA_OF_KG_PER_M2,
            a.BARK_BM * MG_PER_HA_OF_KG_PER_M2,
            a.BRANCH_BM * MG_PER_HA_OF_KG_PER_M2,
            a.LEAF_BM * MG_PER_HA_OF_KG_PER_M2,
            a.ROOT_BM * MG_PER_HA_OF_KG_PER_M2,
            (a.STEM_BM + a.BARK_BM + a.BRANCH_BM + a.LEAF_BM) * MG_PER_HA_OF_KG_PER_M2,
            total,
            CARBON_OF_BIOMASS * total,
            a.TOT_VOL * M3_PER_HA_OF_CUFT_PER_ACRE};
}

// The temporary files of runs killed before their end (FILE.XXXXXX beside FILE) are removed when
// a later run writes FILE: only SQLite files of a run that never finished, which no running program
// holds locked, never a file by its name alone.
void removeAbandonedTemporaries(const std::string& path) {
    const std::filesystem::path target(path);
    const std::filesystem::path directory = target.has_parent_path() ? target.parent_path() : ".";
    const std::string prefix = target.filename().string() + ".";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        const int descriptor = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor < 0) continue;
        struct stat info {};
        char header[16] = {};
        const bool candidate =
            fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) &&
            flock(descriptor, LOCK_EX | LOCK_NB) == 0 &&
            ::read(descriptor, header, sizeof header) == static_cast<ssize_t>(sizeof header) &&
            std::memcmp(header, "SQLite format 3", 16) == 0;
        bool runDatabase = false;
        if (candidate) {
            try {
                DatabaseConnection db(entry.path().string(), true);
                // A run killed while writing never set its finish time; a copy of a finished
                // run's database (a user's backup named alike) has one and is kept.
                DatabaseStatement run = db.prepare("SELECT count(*) FROM run WHERE finished_utc IS NULL");
                runDatabase = run.nextRow() && run.integerColumn(0) > 0;
            } catch (const DatabaseError&) {
                runDatabase = false;  // unreadable: not ours to judge
            }
        }
        if (runDatabase) std::remove(entry.path().c_str());
        ::close(descriptor);
    }
}

bool validSpecies(int sn) {
    return sn >= 1 && sn <= MAX_SPECIES;
}

}  // namespace

std::string defaultScenarioNameOf(const ModelState& model) {
    const std::vector<std::pair<std::string, std::string>> settings = settingsOf(model);
    return defaultScenarioName(RunSettings(settings.begin(), settings.end()));
}

RunDatabase::RunDatabase(const RunDatabaseRequest& request, const ModelState& model,
                         const std::vector<InputFile>& inputs)
    : path_(request.path), yearly_(request.yearly), trees_(request.trees) {
    const std::vector<std::pair<std::string, std::string>> settings = settingsOf(model);
    scenario_ = request.scenario.empty() ? defaultScenarioName(RunSettings(settings.begin(), settings.end()))
                                         : request.scenario;
    auto refuse = [this](const std::string& reason) {
        return DatabaseError{formatText("Error: run database \"%s\" could not be created: %s.", path_.c_str(),
                                        reason.c_str())};
    };
    // Counting the memory SQLite takes costs a lock at each allocation; nobody reads the count.
    static const bool configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    (void)configured;
    const std::string problem = databasePathProblem(path_);
    if (!problem.empty()) throw refuse(problem);
    removeAbandonedTemporaries(path_);
    std::string temporary;
    const int descriptor = createRememberedFileBeside(path_, temporary);
    if (descriptor < 0) throw refuse(std::strerror(errno));
    // Held while the file is being written, so that no later run takes it for an abandoned one.
    temporaryLock_ = descriptor;
    (void)flock(descriptor, LOCK_EX | LOCK_NB);
    temporaryPath_ = temporary;
    try {
        db_ = std::make_unique<DatabaseConnection>(temporaryPath_, false);
        // The file is renamed into place only when complete, so a crash leaves nothing behind that
        // looks like a database: SQLite's own journal would only slow the writing down. Rows are
        // appended at the right edge of their tables, so a small page cache holds every page still
        // being filled; a large one only costs fresh memory (page faults) for pages written once.
        // 16 KB pages: fewer page splits and page headers than 4 KB, (measured in bench_database).
        db_->execute(
            "PRAGMA page_size=16384; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; "
            "PRAGMA locking_mode=EXCLUSIVE; PRAGMA cache_size=-1024;");
        // The schema and its dictionary in the first transaction: one write, not one per row.
        db_->execute("BEGIN");
        db_->execute(runDatabaseSchemaSql().c_str());
        plotYear_ = batchedInto(*db_, "plot_year", scenario_);
        stand_ = batchedInto(*db_, "stand", scenario_);
        afterDisturbance_ = batchedInto(*db_, "stand_after_disturbance", scenario_);
        classes_ = batchedInto(*db_, "diameter_classes", scenario_);
        demography_ = batchedInto(*db_, "demography", scenario_);
        siteYear_ = batchedInto(*db_, "site_year", scenario_);
        disturbance_ = insertInto(*db_, "disturbance", scenario_);
        tree_ = batchedInto(*db_, "trees", scenario_);
        death_ = batchedInto(*db_, "deaths", scenario_);
        siteSpecies_ = std::min(std::max(model.NSPP, 0), MAX_SPECIES);
        memory_ = model.options.CLIMATE_MEMORY_YEARS > 1;
        writeRun(model, settings, inputs);
        writeSpecies(model);
    } catch (const DatabaseError& error) {
        throw refuse(error.reason);
    }
    // An earlier run's database under the name stays until this one takes its place complete.
}

void RunDatabase::closeStatements() {
    disturbance_ = {};
    for (BatchedInsert* rows :
         {&plotYear_, &stand_, &afterDisturbance_, &classes_, &demography_, &siteYear_, &tree_, &death_}) {
        *rows = {};
    }
}

RunDatabase::~RunDatabase() {
    closeStatements();
    db_.reset();
    if (!finished_ && !temporaryPath_.empty()) std::remove(temporaryPath_.c_str());
    releaseTemporary();
}

void RunDatabase::releaseTemporary() {
    if (!temporaryPath_.empty()) forgetTemporaryFile(temporaryPath_);
    if (temporaryLock_ >= 0) ::close(temporaryLock_);
    temporaryLock_ = -1;
}

template <typename Work>
void RunDatabase::guarded(Work&& work) {
    if (!failure_.empty() || finished_) return;
    try {
        work();
    } catch (const DatabaseError& error) {
        failure_ = formatText("Error: run database \"%s\" could not be written: %s.", path_.c_str(),
                              error.reason.c_str());
    }
}

void RunDatabase::writeRun(const ModelState& model,
                           const std::vector<std::pair<std::string, std::string>>& settings,
                           const std::vector<InputFile>& inputs) {
    const RunParameters& p = model.params;
    DatabaseStatement run = db_->prepare("INSERT INTO run VALUES (1,1,?,?,?,?,?,?,NULL,?,?,?,0,?)");
    run.bind(1, p.NUM_ITERS)
        .bind(2, p.NUM_YEARS)
        .bind(3, static_cast<int>(model.plots.size()))
        .bind(4, p.RESULTS_INTERV)
        .bind(5, std::string(PROGRAM_VERSION))
        .bind(6, utcNow())
        .bind(7, model.run.START_RANDOM_STATE)
        .bind(8, model.databaseRequest.commandLine)
        .bind(9, currentDirectory())
        .bind(10, scenario_)
        .execute();
    DatabaseStatement setting = db_->prepare("INSERT INTO setting VALUES (1,?,?,?)");
    setting.bind(3, scenario_);
    for (const auto& [name, value] : settings) setting.bind(1, name).bind(2, value).execute();
    DatabaseStatement input = db_->prepare("INSERT INTO input_file VALUES (1,?,?,?,?,?)");
    input.bind(5, scenario_);
    for (const InputFile& file : inputs) {
        input.bind(1, file.role).bind(2, file.name);
        FileHandle handle = openFile(file.name, "r");
        if (handle) {
            const std::string bytes = readWholeFile(handle.get());
            input.bind(3, static_cast<long long>(bytes.size())).bind(4, sha256Hex(bytes));
        } else {
            input.bindNull(3).bindNull(4);
        }
        input.execute();
    }
}

void RunDatabase::writeSpecies(const ModelState& model) {
    DatabaseStatement row = db_->prepare(
        "INSERT INTO species VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    row.bind(31, scenario_);
    for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) {
        const Species& s = model.species[static_cast<size_t>(sn)];
        row.bind(1, sn).bind(2, s.NAME).bind(3, s.ALT_NAME).bind(4, s.colourIndex);
        int column = 5;
        for (const double value : {s.DMAX,
                                   s.HMAX,
                                   s.AGEMAX,
                                   s.B2,
                                   s.B3,
                                   s.G,
                                   s.C,
                                   s.DDMIN,
                                   s.DDMAX,
                                   s.MIN_DIAM_INC,
                                   s.MIN_WATER_TABLE,
                                   s.WILT_FACTOR,
                                   s.MAX_LEAF_WT,
                                   s.MIN_LIGHT,
                                   s.STEM_A,
                                   s.STEM_B,
                                   s.BARK_A,
                                   s.BARK_B,
                                   s.BRANCH_A,
                                   s.BRANCH_B,
                                   s.ROOT_A,
                                   s.ROOT_B}) {
            row.bind(column++, value);
        }
        row.bind(column, s.SHADE_TYPE).bind(column + 1, s.N_TYPE).bind(column + 2, s.ABLE_TO_ENTER);
        row.bind(column + 3, s.MAX_SAPLINGS).execute();
    }
}

void RunDatabase::beginIteration(const ModelState& model) {
    demographyByPlot_.clear();
    guarded([&] {
        // The initial stand, before any growth, as year 0; its demography begins there.
        for (const Plot& plot : model.plots) {
            plotYear_.bind(1, model.run.CURRENT_ITERATION)
                .bind(2, 0)
                .bind(3, plot.PLOT_NO)
                .bind(4, plot.NTREES);
            plotYear_.execute();
            writeStand(model, plot, 0, stand_, true);
            if (trees_) writeTrees(model, plot, 0);
            writeDemography(model, plot, 0, demographyByPlot_[plot.PLOT_NO]);
        }
    });
}

void RunDatabase::flushRows() {
    for (BatchedInsert* rows :
         {&plotYear_, &stand_, &afterDisturbance_, &classes_, &demography_, &siteYear_, &tree_, &death_}) {
        rows->flush();
    }
}

void RunDatabase::endIteration() {
    guarded([&] {
        flushRows();
        db_->execute("COMMIT");
        db_->execute("BEGIN");
    });
}

void RunDatabase::noteRecruits(const ModelState& model, const Plot& plot) {
    PlotDemography& demography = demographyByPlot_[plot.PLOT_NO];
    for (int sn = 1; sn <= MAX_SPECIES; ++sn) {
        demography.recruits[static_cast<size_t>(sn)] += model.run.BIRTHS_THIS_YEAR[static_cast<size_t>(sn)];
    }
}

void RunDatabase::noteRemoval(const ModelState& model, const Plot& plot, const Tree& tree,
                              RemovalCause cause) {
    if (!validSpecies(tree.SN)) return;
    const auto sn = static_cast<size_t>(tree.SN);
    demographyByPlot_[plot.PLOT_NO].deaths[static_cast<size_t>(cause)][sn] += 1;
    guarded([&] {
        death_.bind(1, model.run.CURRENT_ITERATION)
            .bind(2, model.run.CURRENT_YEAR)
            .bind(3, plot.PLOT_NO)
            .bind(4, tree.UID)
            .bind(5, tree.SN)
            .bind(6, tree.DBH)
            .bind(7, tree.HEIGHT / 100.0)
            .bind(8, tree.AGE)
            .bind(9, std::string(CAUSE_NAMES[static_cast<size_t>(cause)]))
            .execute();
    });
    if (cause == RemovalCause::Logging || cause == RemovalCause::Windthrow) {
        removed_[sn].stems += 1;
        removed_[sn].amounts +=
            computeTreeValues(model.species[sn], model.VOLUME_COEF[sn], tree.DBH, tree.HEIGHT);
    }
}

void RunDatabase::beginDisturbance() {
    removed_.fill({});
}

void RunDatabase::endDisturbance(const ModelState& model, const Plot& plot, RemovalCause cause) {
    guarded([&] {
        const std::string event = cause == RemovalCause::Logging ? "logging" : "windthrow";
        bool anyRemoved = false;
        for (int sn = 0; sn <= MAX_SPECIES; ++sn) {
            const Removed& removed = removed_[static_cast<size_t>(sn)];
            // An event that removed no tree is still an event: one row without a species.
            const bool emptyEvent = sn == MAX_SPECIES && !anyRemoved;
            if (removed.stems == 0 && !emptyEvent) continue;
            anyRemoved = true;
            const PerHectare ha = perHectare(removed.stems, removed.amounts);
            disturbance_.bind(1, model.run.CURRENT_ITERATION)
                .bind(2, model.run.CURRENT_YEAR)
                .bind(3, plot.PLOT_NO)
                .bind(4, event);
            if (removed.stems == 0) {
                disturbance_.bindNull(5);
            } else {
                disturbance_.bind(5, sn);
            }
            disturbance_.bind(6, ha.stems)
                .bind(7, ha.basalArea)
                .bind(8, ha.aboveGround)
                .bind(9, ha.root)
                .bind(10, ha.total)
                .bind(11, CARBON_OF_BIOMASS * ha.aboveGround)
                .bind(12, ha.carbon)
                .bind(13, ha.volume)
                .execute();
        }
    });
}

void RunDatabase::recordSiteYear(const ModelState& model, const Plot& plot) {
    if (siteSpecies_ < 1) return;
    guarded([&] {
        const Climate& c = model.climate;
        std::vector<double>& values = siteValues_;
        values.assign({c.DEGREE_DAYS, c.sumPREC, c.sumE0, c.sumEVAP, c.soilWater, c.W_FC, c.WILT});
        constexpr double none = std::numeric_limits<double>::quiet_NaN();
        for (int sn = 1; sn <= siteSpecies_; ++sn) {
            const Species& s = model.species[static_cast<size_t>(sn)];
            for (const double value : {s.SQ_TEMP, s.SQ_WILT, s.SQ_WETNESS, s.SQ_SOIL_N, s.SITE_QUALITY})
                values.push_back(value);
            values.push_back(memory_ ? s.ESTABLISHED_SQ_TEMP : none);
            values.push_back(memory_ ? s.ESTABLISHED_SQ_WILT : none);
            values.push_back(memory_ ? s.ESTABLISHED_SITE_QUALITY : none);
        }
        const int iteration = model.run.CURRENT_ITERATION;
        const int year = model.run.CURRENT_YEAR;
        if (iteration == 1 && remembering_) {
            // Iteration 1's year is kept until every plot has had it: plots alike share one row set.
            if (yearOfPlots_ != year) yearPlots_.clear();
            yearOfPlots_ = year;
            yearPlots_.emplace_back(plot.PLOT_NO, values);
            if (yearPlots_.size() == model.plots.size()) writeFirstSiteYear(year);
            return;
        }
        const auto kept = rememberedSites_.find(year);
        if (kept != rememberedSites_.end()) {
            for (const auto& [number, remembered] : kept->second) {
                // Bit for bit: a value that repeats iteration 1's is the same number, NaN included.
                if ((number == 0 || number == plot.PLOT_NO) && remembered.size() == values.size() &&
                    std::memcmp(remembered.data(), values.data(), values.size() * sizeof(double)) == 0)
                    return;
            }
        }
        writeSiteRows(iteration, year, plot.PLOT_NO, values);
    });
}

void RunDatabase::writeFirstSiteYear(int year) {
    // Bit for bit, so that the established factors' NaN (no climate memory) compare alike.
    bool alike = true;
    for (const auto& [number, values] : yearPlots_) {
        alike = alike && std::memcmp(values.data(), yearPlots_.front().second.data(),
                                     values.size() * sizeof(double)) == 0;
    }
    std::vector<std::pair<int, std::vector<double>>> kept;
    if (alike) {
        kept.emplace_back(0, std::move(yearPlots_.front().second));
    } else {
        kept = std::move(yearPlots_);
    }
    yearPlots_.clear();
    for (const auto& [number, values] : kept) {
        writeSiteRows(0, year, number, values);
        rememberedValues_ += values.size();
    }
    if (rememberedValues_ > MOST_REMEMBERED_SITE_VALUES) {
        // Too many to keep: iteration 1's rows written so far hold for it alone from here on.
        remembering_ = false;
        rememberedSites_.clear();
        siteYear_.flush();
        db_->execute("UPDATE site_year SET iteration = 1 WHERE iteration = 0");
        return;
    }
    rememberedSites_[year] = std::move(kept);
}

void RunDatabase::writeSiteRows(int iteration, int year, int plot, const std::vector<double>& values) {
    for (int sn = 1; sn <= siteSpecies_; ++sn) {
        siteYear_.bind(1, iteration).bind(2, year).bind(3, plot).bind(4, sn);
        int column = 5;
        for (int k = 0; k < SITE_VALUES; ++k) siteYear_.bind(column++, values[static_cast<size_t>(k)]);
        const size_t first = SITE_VALUES + static_cast<size_t>(SPECIES_FACTORS * (sn - 1));
        for (size_t k = first; k < first + SPECIES_FACTORS; ++k) {
            if (std::isnan(values[k])) {
                siteYear_.bindNull(column++);
            } else {
                siteYear_.bind(column++, values[k]);
            }
        }
        siteYear_.execute();
    }
}

void RunDatabase::recordAfterDisturbance(const ModelState& model, const Plot& plot) {
    guarded([&] { writeStand(model, plot, model.run.CURRENT_YEAR, afterDisturbance_, false); });
}

void RunDatabase::recordPlotYear(const ModelState& model, const Plot& plot, bool standYear) {
    guarded([&] {
        if (standYear) {
            plotYear_.bind(1, model.run.CURRENT_ITERATION)
                .bind(2, model.run.CURRENT_YEAR)
                .bind(3, plot.PLOT_NO)
                .bind(4, plot.NTREES)
                .execute();
            writeStand(model, plot, model.run.CURRENT_YEAR, stand_, true);
        }
        if (trees_ && (standYear || yearly_)) writeTrees(model, plot, model.run.CURRENT_YEAR);
        if (standYear || yearly_)
            writeDemography(model, plot, model.run.CURRENT_YEAR, demographyByPlot_[plot.PLOT_NO]);
    });
}

void RunDatabase::writeStand(const ModelState& model, const Plot& plot, int year, BatchedInsert& stand,
                             bool withClasses) {
    // Each species' amounts are summed in tree-list order, as the results file's records are.
    std::array<int, MAX_SPECIES + 1> count{};
    std::array<double, MAX_SPECIES + 1> light{};
    std::array<Amounts, MAX_SPECIES + 1> sums{};
    std::map<std::pair<int, int>, std::pair<int, double>> classes;  // (species, class) → stems, basal area
    for (const Tree& tree : plot.trees) {
        if (!validSpecies(tree.SN)) continue;
        const auto sn = static_cast<size_t>(tree.SN);
        const Amounts values =
            computeTreeValues(model.species[sn], model.VOLUME_COEF[sn], tree.DBH, tree.HEIGHT);
        count[sn] += 1;
        sums[sn] += values;
        light[sn] += tree.AVAILABLE_LIGHT;
        if (!withClasses) continue;
        const int lower =
            DIAMETER_CLASS_WIDTH * static_cast<int>(std::floor(tree.DBH / DIAMETER_CLASS_WIDTH));
        auto& cell = classes[{tree.SN, lower}];
        cell.first += 1;
        cell.second += values.BA;
    }
    const int iteration = model.run.CURRENT_ITERATION;
    for (int sn = 1; sn <= MAX_SPECIES; ++sn) {
        const int trees = count[static_cast<size_t>(sn)];
        if (trees == 0) continue;
        const PerHectare ha = perHectare(trees, sums[static_cast<size_t>(sn)]);
        stand.bind(1, iteration).bind(2, year).bind(3, plot.PLOT_NO).bind(4, sn);
        int column = 5;
        for (const double value : {ha.stems, ha.basalArea, ha.stem, ha.bark, ha.branch, ha.leaf, ha.root,
                                   ha.aboveGround, ha.total, ha.carbon, ha.volume}) {
            stand.bind(column++, value);
        }
        // The initial trees have not grown yet: no light has reached them.
        if (year == 0) {
            stand.bindNull(column);
        } else {
            stand.bind(column, light[static_cast<size_t>(sn)] / trees);
        }
        stand.execute();
    }
    for (const auto& [key, cell] : classes) {
        classes_.bind(1, iteration)
            .bind(2, year)
            .bind(3, plot.PLOT_NO)
            .bind(4, key.first)
            .bind(5, key.second)
            .bind(6, cell.first * STEMS_PER_HA_OF_PLOT_COUNT)
            .bind(7, cell.second)
            .execute();
    }
}

void RunDatabase::writeTrees(const ModelState& model, const Plot& plot, int year) {
    for (const Tree& tree : plot.trees) {
        tree_.bind(1, model.run.CURRENT_ITERATION)
            .bind(2, year)
            .bind(3, plot.PLOT_NO)
            .bind(4, tree.SN)
            .bind(5, tree.PLOT_NO)
            .bind(6, tree.BIRTH_YEAR)
            .bind(7, tree.TREE_ID)
            .bind(8, tree.UID)
            .bind(9, tree.AGE)
            .bind(10, tree.DBH)
            .bind(11, tree.HEIGHT / 100.0)
            .bind(12, tree.LAST_DIAM_INC)
            .bind(13, tree.AVAILABLE_LIGHT)
            .execute();
    }
}

void RunDatabase::writeDemography(const ModelState& model, const Plot& plot, int year,
                                  PlotDemography& demography) {
    std::array<int, MAX_SPECIES + 1> stems{};
    for (const Tree& tree : plot.trees) {
        if (validSpecies(tree.SN)) stems[static_cast<size_t>(tree.SN)] += 1;
    }
    if (demography.started) {
        for (size_t sn = 1; sn <= MAX_SPECIES; ++sn) {
            const int start = demography.stems[sn];
            const int recruits = demography.recruits[sn];
            const auto& deaths = demography.deaths;
            if (start == 0 && stems[sn] == 0 && recruits == 0 && deaths[0][sn] == 0 && deaths[1][sn] == 0 &&
                deaths[2][sn] == 0 && deaths[3][sn] == 0)
                continue;
            demography_.bind(1, model.run.CURRENT_ITERATION)
                .bind(2, plot.PLOT_NO)
                .bind(3, static_cast<int>(sn))
                .bind(4, demography.lastYear)
                .bind(5, year)
                .bind(6, start * STEMS_PER_HA_OF_PLOT_COUNT)
                .bind(7, recruits * STEMS_PER_HA_OF_PLOT_COUNT);
            for (int cause = 0; cause < 4; ++cause) {
                demography_.bind(8 + cause,
                                 deaths[static_cast<size_t>(cause)][sn] * STEMS_PER_HA_OF_PLOT_COUNT);
            }
            demography_.bind(12, stems[sn] * STEMS_PER_HA_OF_PLOT_COUNT).execute();
        }
    }
    demography.started = true;
    demography.lastYear = year;
    demography.stems = stems;
    demography.recruits.fill(0);
    for (auto& byCause : demography.deaths) byCause.fill(0);
}

void RunDatabase::finish(const ModelState& model, bool completed) {
    guarded([&] {
        DatabaseStatement run =
            db_->prepare("UPDATE run SET iterations=?, finished_utc=?, completed=? WHERE part=1");
        run.bind(1, model.run.CURRENT_ITERATION).bind(2, utcNow()).bind(3, completed ? 1 : 0).execute();
        run = {};
        flushRows();
        db_->execute("COMMIT");
        closeStatements();
        db_->close();
        if (std::rename(temporaryPath_.c_str(), path_.c_str()) != 0)
            throw DatabaseError{std::strerror(errno)};
        finished_ = true;
        releaseTemporary();
    });
}

}  // namespace dravia

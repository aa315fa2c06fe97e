#include "output/rundb/RunDatabaseSchema.h"

#include <array>

#include "output/StatsReport.h"
#include "platform/Format.h"

namespace dravia {

namespace {

constexpr const char* KEY = "INTEGER NOT NULL";
constexpr const char* AMOUNT = "REAL NOT NULL";
constexpr const char* NAME = "TEXT NOT NULL";
constexpr ColumnDeclaration SCENARIO = {"scenario", NAME, "", "the scenario the row belongs to"};
constexpr ColumnDeclaration ITERATION = {"iteration", KEY, "", "iteration, 1.. (renumbered by merge)"};
constexpr ColumnDeclaration YEAR = {"year", KEY, "yr", "simulation year; 0 is the stand before any growth"};
constexpr ColumnDeclaration PLOT = {"plot", KEY, "", "plot, 1.."};
constexpr ColumnDeclaration SPECIES = {"species", KEY, "", "species number, 1..40 (species.species)"};

constexpr ColumnDeclaration RUN[] = {
    {"part", KEY, "", "1, or 1.. for the runs of a merged run, within its scenario"},
    {"first_iteration", KEY, "", "the number of this run's first iteration in the database"},
    {"iterations", KEY, "", "iterations this run simulated"},
    {"years", KEY, "yr", "years per iteration (NUM_YEARS)"},
    {"plots", KEY, "", "plots per iteration"},
    {"results_interval", KEY, "yr", "results interval at the start of the run"},
    {"program_version", NAME, "", "program and version"},
    {"started_utc", NAME, "", "start time, ISO 8601, UTC"},
    {"finished_utc", "TEXT", "", "end time, ISO 8601, UTC"},
    {"random_state_at_start", AMOUNT, "", "the random state the run began with"},
    {"command_line", NAME, "", "the command as given"},
    {"working_directory", NAME, "", "the directory holding Data/"},
    {"completed", KEY, "", "1 when the run ran to its end, 0 when it was quit"},
    SCENARIO,
};
constexpr ColumnDeclaration SETTING[] = {
    {"part", KEY, "", "the run (run.part) the setting was in force in"},
    {"name", NAME, "", "parameter or site value, named as in the parameter files"},
    {"value", NAME, "", "its value as text"},
    SCENARIO,
};
constexpr ColumnDeclaration INPUT_FILE[] = {
    {"part", KEY, "", "the run (run.part) that read the file"},
    {"role", NAME, "", "run-time control, initial values, species, plot or weather"},
    {"name", NAME, "", "the file as the parameter files name it"},
    {"bytes", "INTEGER", "B", "its size when the run started; empty when unreadable"},
    {"sha256", "TEXT", "", "SHA-256 of its contents, hexadecimal; empty when unreadable"},
    SCENARIO,
};
constexpr ColumnDeclaration SPECIES_TABLE[] = {
    SPECIES,
    {"name", NAME, "", "species name"},
    {"alt_name", NAME, "", "alternative name"},
    {"colour_index", KEY, "", "display colour, 0..15"},
    {"dmax_cm", "REAL", "cm", "maximum DBH"},
    {"hmax_cm", "REAL", "cm", "maximum height"},
    {"agemax_yr", "REAL", "yr", "maximum age"},
    {"b2", "REAL", "", "height curve: 2 (HMAX - 137) / DMAX"},
    {"b3", "REAL", "", "height curve: (HMAX - 137) / DMAX^2"},
    {"g", "REAL", "", "growth constant"},
    {"c", "REAL", "", "leaf constant: leaf area = c DBH^2"},
    {"ddmin", "REAL", "degC d", "lowest growing degree-days"},
    {"ddmax", "REAL", "degC d", "highest growing degree-days"},
    {"min_diam_inc_cm", "REAL", "cm", "smallest diameter increment"},
    {"min_water_table_m", "REAL", "m", "shallowest water table tolerated"},
    {"wilt_factor", "REAL", "", "drought tolerance"},
    {"max_leaf_wt_kg", "REAL", "kg", "maximum leaf weight"},
    {"min_light", "REAL", "", "least light for establishment, fraction of full light"},
    {"stem_a", "REAL", "", "stem biomass allometry a"},
    {"stem_b", "REAL", "", "stem biomass allometry b"},
    {"bark_a", "REAL", "", "bark biomass allometry a"},
    {"bark_b", "REAL", "", "bark biomass allometry b"},
    {"branch_a", "REAL", "", "branch biomass allometry a"},
    {"branch_b", "REAL", "", "branch biomass allometry b"},
    {"root_a", "REAL", "", "root biomass allometry a"},
    {"root_b", "REAL", "", "root biomass allometry b"},
    {"shade_type", "INTEGER", "", "1 intolerant, 2 intermediate, 3 tolerant"},
    {"n_type", "INTEGER", "", "nitrogen: 1 intolerant, 2 intermediate, 3 tolerant"},
    {"able_to_enter", "INTEGER", "", "1 when saplings may enter"},
    {"max_saplings", "INTEGER", "", "most saplings a year"},
    SCENARIO,
};
constexpr ColumnDeclaration PLOT_YEAR[] = {
    ITERATION, YEAR, PLOT, {"trees", KEY, "", "trees on the plot"}, SCENARIO,
};
constexpr ColumnDeclaration STAND[] = {
    ITERATION,
    YEAR,
    PLOT,
    SPECIES,
    {"stems_per_ha", AMOUNT, "1/ha", "stems (trees on the plot x 100)"},
    {"basal_area_m2_per_ha", AMOUNT, "m2/ha", "basal area"},
    {"stem_mg_per_ha", AMOUNT, "Mg/ha", "stem dry biomass"},
    {"bark_mg_per_ha", AMOUNT, "Mg/ha", "bark dry biomass"},
    {"branch_mg_per_ha", AMOUNT, "Mg/ha", "branch dry biomass"},
    {"leaf_mg_per_ha", AMOUNT, "Mg/ha", "leaf dry biomass"},
    {"root_mg_per_ha", AMOUNT, "Mg/ha", "root dry biomass"},
    {"above_ground_mg_per_ha", AMOUNT, "Mg/ha", "stem + bark + branch + leaf"},
    {"total_mg_per_ha", AMOUNT, "Mg/ha", "above ground + root"},
    {"carbon_mg_per_ha", AMOUNT, "Mg C/ha", "0.5 x total biomass"},
    {"volume_m3_per_ha", AMOUNT, "m3/ha", "merchantable stem volume"},
    {"mean_light", "REAL", "", "mean of its trees' light this year, fraction of full light; empty in year 0"},
    SCENARIO,
};
constexpr ColumnDeclaration DIAMETER_CLASSES[] = {
    ITERATION,
    YEAR,
    PLOT,
    SPECIES,
    {"class_lower_cm", KEY, "cm", "the class is class_lower_cm <= DBH < class_lower_cm + 5"},
    {"stems_per_ha", AMOUNT, "1/ha", "stems of the class"},
    {"basal_area_m2_per_ha", AMOUNT, "m2/ha", "basal area of the class"},
    SCENARIO,
};
constexpr ColumnDeclaration DEMOGRAPHY[] = {
    ITERATION,
    PLOT,
    SPECIES,
    {"year_start", KEY, "yr", "the period's first recorded year"},
    {"year_end", KEY, "yr", "the period's last recorded year"},
    {"stems_start_per_ha", AMOUNT, "1/ha", "stems in year_start"},
    {"recruits_per_ha", AMOUNT, "1/ha", "saplings that entered"},
    {"deaths_background_per_ha", AMOUNT, "1/ha", "age-related background mortality"},
    {"deaths_slow_growth_per_ha", AMOUNT, "1/ha", "trees that grew too slowly"},
    {"deaths_logging_per_ha", AMOUNT, "1/ha", "trees logged"},
    {"deaths_windthrow_per_ha", AMOUNT, "1/ha", "trees thrown by wind"},
    {"stems_end_per_ha", AMOUNT, "1/ha", "stems in year_end"},
    SCENARIO,
};
constexpr ColumnDeclaration SITE_YEAR[] = {
    {"iteration", KEY, "", "iteration, or 0: every iteration without a row of its own"},
    {"year", KEY, "yr", "simulation year (with a constant climate: 1, for every year)"},
    {"plot", KEY, "", "plot, or 0: every plot without a row of its own"},
    SPECIES,
    {"degree_days", "REAL", "degC d", "growing degree-days above 4.44 degC"},
    {"precipitation_mm", "REAL", "mm", "the year's precipitation"},
    {"potential_evapotranspiration_mm", "REAL", "mm", "the year's potential evapotranspiration"},
    {"actual_evapotranspiration_mm", "REAL", "mm", "the year's actual evapotranspiration"},
    {"soil_water_mm", "REAL", "mm", "soil water at the year's end"},
    {"field_capacity_mm", "REAL", "mm", "soil water at field capacity"},
    {"drought_index", "REAL", "", "the year's drought index (WILT), 0 no deficit"},
    {"temperature", AMOUNT, "", "temperature factor, 0 (no growth) .. 1 (no limit)"},
    {"drought", AMOUNT, "", "drought factor, 0..1"},
    {"wetness", AMOUNT, "", "water-table factor, 0..1"},
    {"nitrogen", AMOUNT, "", "nitrogen factor, 0..1"},
    {"site_quality", AMOUNT, "", "their product, what trees grow by"},
    {"established_temperature", "REAL", "",
     "with climate memory: temperature factor of the remembered years' mean"},
    {"established_drought", "REAL", "", "with climate memory: drought factor of the remembered years' mean"},
    {"established_site_quality", "REAL", "", "with climate memory: what trees of 10 cm and more grow by"},
    SCENARIO,
};
constexpr ColumnDeclaration DISTURBANCE[] = {
    ITERATION,
    YEAR,
    PLOT,
    {"event", NAME, "", "logging or windthrow"},
    {"species", "INTEGER", "", "species removed; empty for an event that removed no tree"},
    {"stems_per_ha", AMOUNT, "1/ha", "stems removed"},
    {"basal_area_m2_per_ha", AMOUNT, "m2/ha", "basal area removed"},
    {"above_ground_mg_per_ha", AMOUNT, "Mg/ha", "above-ground dry biomass removed"},
    {"root_mg_per_ha", "REAL", "Mg/ha", "root dry biomass of the removed trees"},
    {"total_mg_per_ha", AMOUNT, "Mg/ha", "total dry biomass removed"},
    {"above_ground_carbon_mg_per_ha", "REAL", "Mg C/ha", "0.5 x above-ground biomass removed"},
    {"carbon_mg_per_ha", AMOUNT, "Mg C/ha", "0.5 x total biomass removed"},
    {"volume_m3_per_ha", AMOUNT, "m3/ha", "merchantable stem volume removed"},
    SCENARIO,
};
constexpr ColumnDeclaration TREES[] = {
    ITERATION,
    YEAR,
    PLOT,
    SPECIES,
    {"birth_plot", KEY, "", "plot born on; 0 for the trees of the plot file"},
    {"birth_year", KEY, "yr", "year born; 0 for the trees of the plot file"},
    {"tree_id", KEY, "", "number among the saplings of its species born on the plot that year"},
    {"uid", "INTEGER", "", "the tree's number on its plot within the iteration, 1.. in order of entry"},
    {"age_yr", KEY, "yr", "age"},
    {"dbh_cm", AMOUNT, "cm", "diameter at breast height"},
    {"height_m", AMOUNT, "m", "height"},
    {"diameter_increment_cm", AMOUNT, "cm", "this year's diameter increment"},
    {"light", AMOUNT, "", "light it received this year, fraction of full light"},
    SCENARIO,
};
constexpr ColumnDeclaration DEATHS[] = {
    ITERATION,
    {"year", KEY, "yr", "the year it died or was removed"},
    PLOT,
    {"uid", KEY, "", "the tree (trees.uid)"},
    SPECIES,
    {"dbh_cm", AMOUNT, "cm", "its diameter when it died"},
    {"height_m", AMOUNT, "m", "its height when it died"},
    {"age_yr", KEY, "yr", "its age when it died"},
    {"cause", NAME, "", "background, slow_growth, logging or windthrow"},
    SCENARIO,
};
constexpr ColumnDeclaration T_TABLE[] = {
    {"position", KEY, "", "number of iterations - 2, as the statistics reports look it up"},
    {"degrees_of_freedom", "INTEGER", "", "degrees of freedom; empty for infinitely many"},
    {"t_975", AMOUNT, "", "two-sided 95 % value of Student's t"},
};
constexpr ColumnDeclaration COLUMN_INFO[] = {
    {"table_name", NAME, "", "table or view"},
    {"column_name", NAME, "", "column"},
    {"unit", NAME, "", "unit; empty where none"},
    {"description", NAME, "", "what the column holds"},
};

constexpr const char* RUN_KEY = "scenario, iteration, year, plot";

constexpr TableDeclaration TABLES[] = {
    {"run", RUN, "scenario, part", false, "", true},
    {"setting", SETTING, "", false, "scenario, part", true},
    {"input_file", INPUT_FILE, "", false, "", true},
    {"species", SPECIES_TABLE, "scenario, species", false, "", true},
    {"plot_year", PLOT_YEAR, RUN_KEY, true, "", true},
    {"stand", STAND, "scenario, iteration, year, plot, species", true, "", true},
    {"stand_after_disturbance", STAND, "scenario, iteration, year, plot, species", true, "", true},
    {"diameter_classes", DIAMETER_CLASSES, "scenario, iteration, year, plot, species, class_lower_cm", true,
     "", true},
    {"demography", DEMOGRAPHY, "scenario, iteration, year_end, plot, species", true, "", true},
    {"site_year", SITE_YEAR, "scenario, iteration, year, plot, species", true, "", true},
    {"disturbance", DISTURBANCE, "", false, "scenario, iteration, year", true},
    {"trees", TREES, "", false, "scenario, iteration, year", true},
    {"deaths", DEATHS, "scenario, iteration, year, plot, uid", true, "", true},
    {"t_table", T_TABLE, "position", false, "", false},
    {"column_info", COLUMN_INFO, "table_name, column_name", false, "", false},
};

// The statistics' mean plot: per scenario, iteration and year, each quantity summed over plots and
// divided by the run's plots (an absent species counts 0). Then per scenario and year the mean over
// iterations, n, and the half-width of the 95 % interval exactly as the statistics reports work it
// out: t(n - 2 in the t table) x sqrt(|(sum of squares - sum^2 / n) / (n - 1)| / n).
struct Quantity {
    const char* column;
    const char* unit;
};
constexpr Quantity MEAN_QUANTITIES[] = {
    {"stems_per_ha", "1/ha"},     {"basal_area_m2_per_ha", "m2/ha"}, {"above_ground_mg_per_ha", "Mg/ha"},
    {"total_mg_per_ha", "Mg/ha"}, {"carbon_mg_per_ha", "Mg C/ha"},   {"volume_m3_per_ha", "m3/ha"},
};

constexpr ColumnDeclaration MEAN_KEYS[] = {
    {"scenario", NAME, "", "the scenario"},
    {"year", KEY, "yr", "simulation year"},
    {"calendar_year", KEY, "yr", "BASE_YEAR + year"},
    SPECIES,
    {"n", KEY, "", "iterations"},
};

std::string meanViewSql(bool bySpecies) {
    std::string sums, averages;
    for (const Quantity& q : MEAN_QUANTITIES) {
        sums += formatText(", coalesce(sum(st.%s), 0) / p.plots AS %s", q.column, q.column);
        averages += formatText(", sum(%s) AS %s_sum, sum(%s * %s) AS %s_squares", q.column, q.column,
                               q.column, q.column, q.column);
    }
    std::string out;
    for (const Quantity& q : MEAN_QUANTITIES) {
        out += formatText(
            ", a.%s_sum / a.n AS %s, t.t_975 * sqrt(abs((a.%s_squares - (a.%s_sum * a.%s_sum) / a.n) / "
            "(a.n - 1.0)) / a.n) AS %s_ci95",
            q.column, q.column, q.column, q.column, q.column, q.column);
    }
    const char* species = bySpecies ? ", sp.species" : "";
    const char* speciesKey = bySpecies ? ", species" : "";
    return formatText(
        "WITH plots AS (SELECT scenario, max(plots) AS plots FROM run GROUP BY scenario), "
        "cells AS (SELECT DISTINCT scenario, iteration, year FROM plot_year), "
        "kinds AS (SELECT DISTINCT scenario, species FROM stand), "
        "per AS (SELECT c.scenario, c.iteration, c.year%s%s FROM cells AS c JOIN plots AS p USING (scenario) "
        "%s LEFT JOIN stand AS st ON st.scenario = c.scenario AND st.iteration = c.iteration "
        "AND st.year = c.year%s GROUP BY c.scenario, c.iteration, c.year%s), "
        "a AS (SELECT scenario, year%s, count(*) AS n%s FROM per GROUP BY scenario, year%s) "
        "SELECT a.scenario, a.year, a.year + coalesce((SELECT CAST(value AS INTEGER) FROM setting AS b "
        "WHERE b.scenario = a.scenario AND b.name = 'BASE_YEAR' ORDER BY b.part LIMIT 1), 0) AS calendar_year"
        "%s, a.n%s FROM a JOIN t_table AS t ON t.position = max(0, min(a.n - 2, "
        "(SELECT max(position) FROM t_table)))",
        species, sums.c_str(), bySpecies ? "JOIN kinds AS sp ON sp.scenario = c.scenario" : "",
        bySpecies ? " AND st.species = sp.species" : "", species, speciesKey, averages.c_str(), speciesKey,
        bySpecies ? ", a.species" : "", out.c_str());
}

std::vector<ColumnDeclaration> meanViewColumns(bool bySpecies) {
    std::vector<ColumnDeclaration> columns;
    for (const ColumnDeclaration& key : MEAN_KEYS) {
        if (bySpecies || std::string(key.name) != "species") columns.push_back(key);
    }
    for (const Quantity& q : MEAN_QUANTITIES) {
        columns.push_back({q.column, "REAL", q.unit, "mean over iterations of the mean plot"});
        columns.push_back({nullptr, "REAL", q.unit, "half-width of its 95 % confidence interval"});
    }
    return columns;
}

constexpr ColumnDeclaration LIMITING_FACTORS[] = {
    ITERATION,
    PLOT,
    SPECIES,
    {"year", KEY, "yr", "simulation year (with a constant climate: 1, for every year)"},
    {"temperature", AMOUNT, "", "temperature factor, 0..1"},
    {"drought", AMOUNT, "", "drought factor, 0..1"},
    {"wetness", AMOUNT, "", "water-table factor, 0..1"},
    {"nitrogen", AMOUNT, "", "nitrogen factor, 0..1"},
    {"site_quality", AMOUNT, "", "their product"},
    SCENARIO,
};

// Each iteration and plot takes its own site_year row where there is one, else the one of every
// plot, else the one of every iteration.
constexpr const char* LIMITING_FACTORS_SQL =
    "SELECT k.iteration, k.plot, f.species, f.year, f.temperature, f.drought, f.wetness, f.nitrogen, "
    "f.site_quality, f.scenario FROM (SELECT DISTINCT scenario, iteration, plot FROM plot_year) AS k "
    "JOIN site_year AS f ON f.scenario = k.scenario AND f.iteration IN (0, k.iteration) AND f.plot IN (0, "
    "k.plot) WHERE NOT EXISTS (SELECT 1 FROM site_year AS g WHERE g.scenario = f.scenario AND g.year = "
    "f.year "
    "AND g.species = f.species AND g.iteration IN (0, k.iteration) AND g.plot IN (0, k.plot) AND "
    "(g.iteration > f.iteration OR (g.iteration = f.iteration AND g.plot > f.plot)))";

struct Views {
    std::vector<ColumnDeclaration> standMeanColumns = meanViewColumns(true);
    std::vector<ColumnDeclaration> standTotalsColumns = meanViewColumns(false);
    std::string standMeanSql = meanViewSql(true);
    std::string standTotalsSql = meanViewSql(false);
    std::vector<std::string> halfNames;
    std::array<ViewDeclaration, 3> views;
    Views() {
        // The half-width columns are named after their quantity.
        for (const Quantity& q : MEAN_QUANTITIES) halfNames.push_back(std::string(q.column) + "_ci95");
        for (auto* columns : {&standMeanColumns, &standTotalsColumns}) {
            size_t half = 0;
            for (ColumnDeclaration& column : *columns) {
                if (column.name == nullptr) column.name = halfNames[half++].c_str();
            }
        }
        views = {ViewDeclaration{"limiting_factors", LIMITING_FACTORS, LIMITING_FACTORS_SQL},
                 ViewDeclaration{"stand_mean", standMeanColumns, standMeanSql.c_str()},
                 ViewDeclaration{"stand_totals", standTotalsColumns, standTotalsSql.c_str()}};
    }
};

const Views& views() {
    static const Views made;
    return made;
}

std::string quoted(const char* text) {
    std::string out = "'";
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\'') out += '\'';
        out += *c;
    }
    return out + "'";
}

}  // namespace

std::span<const TableDeclaration> runDatabaseTables() {
    return TABLES;
}

std::span<const ViewDeclaration> runDatabaseViews() {
    return views().views;
}

std::vector<std::string> runTablesOfFormat(int format) {
    if (format == RUN_DATABASE_FORMAT) {
        std::vector<std::string> tables;
        for (const TableDeclaration& table : TABLES) {
            if (table.perScenario) tables.emplace_back(table.name);
        }
        return tables;
    }
    // The tables of formats 0 and 2, which differ only in their scenario column.
    return {"run",   "setting",          "input_file", "species",          "plot_year",
            "stand", "diameter_classes", "demography", "limiting_factors", "disturbance",
            "trees"};
}

std::string createViewSql(const ViewDeclaration& view) {
    std::string sql = formatText("CREATE VIEW %s (", view.name);
    for (const ColumnDeclaration& column : view.columns) sql += formatText("%s, ", column.name);
    sql.resize(sql.size() - 2);
    return sql + formatText(") AS %s", view.select);
}

std::string runDatabaseSchemaSql() {
    std::string sql;
    for (const TableDeclaration& table : TABLES) {
        sql += formatText("CREATE TABLE %s (", table.name);
        for (const ColumnDeclaration& column : table.columns)
            sql += formatText("%s %s, ", column.name, column.type);
        if (*table.primaryKey != '\0') {
            sql += formatText("PRIMARY KEY (%s))%s;\n", table.primaryKey,
                              table.withoutRowid ? " WITHOUT ROWID" : "");
        } else {
            sql.resize(sql.size() - 2);
            sql += ");\n";
        }
        if (*table.index != '\0')
            sql += formatText("CREATE INDEX %s_index ON %s (%s);\n", table.name, table.name, table.index);
    }
    for (const ViewDeclaration& view : runDatabaseViews()) sql += createViewSql(view) + ";\n";
    constexpr int T_POSITIONS = 34;  // degrees of freedom 1..30, 40, 60, 120, infinitely many
    constexpr int LARGE_DEGREES[] = {40, 60, 120};
    for (int position = 0; position < T_POSITIONS; ++position) {
        const std::string degrees = position < 30   ? std::to_string(position + 1)
                                    : position < 33 ? std::to_string(LARGE_DEGREES[position - 30])
                                                    : "NULL";
        sql += formatText("INSERT INTO t_table VALUES (%d, %s, %.17g);\n", position, degrees.c_str(),
                          studentT(position));
    }
    auto describe = [&sql](const char* owner, std::span<const ColumnDeclaration> columns) {
        for (const ColumnDeclaration& column : columns) {
            sql += formatText("INSERT INTO column_info VALUES (%s, %s, %s, %s);\n", quoted(owner).c_str(),
                              quoted(column.name).c_str(), quoted(column.unit).c_str(),
                              quoted(column.description).c_str());
        }
    };
    for (const TableDeclaration& table : TABLES) describe(table.name, table.columns);
    for (const ViewDeclaration& view : runDatabaseViews()) describe(view.name, view.columns);
    sql += formatText("PRAGMA user_version=%d;\n", RUN_DATABASE_FORMAT);
    return sql;
}

}  // namespace dravia

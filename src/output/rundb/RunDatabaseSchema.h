#pragma once

namespace dravia {

// The tables of the run database, one row per fact, metric per-hectare units. docs/outputs.md
// documents every column; a change here is a change of the documented format.
inline constexpr const char* RUN_DATABASE_SCHEMA = R"sql(
CREATE TABLE run (
  part INTEGER PRIMARY KEY,      -- 1, or 1.. for a merged run
  first_iteration INTEGER NOT NULL,
  iterations INTEGER NOT NULL,
  years INTEGER NOT NULL,
  plots INTEGER NOT NULL,
  results_interval INTEGER NOT NULL,
  program_version TEXT NOT NULL,
  started_utc TEXT NOT NULL,
  finished_utc TEXT,
  random_state_at_start REAL NOT NULL,
  command_line TEXT NOT NULL,
  working_directory TEXT NOT NULL,
  completed INTEGER NOT NULL
);
CREATE TABLE setting (part INTEGER NOT NULL, name TEXT NOT NULL, value TEXT NOT NULL);
CREATE TABLE input_file (part INTEGER NOT NULL, role TEXT NOT NULL, name TEXT NOT NULL,
                         bytes INTEGER, sha256 TEXT);
CREATE TABLE species (
  species INTEGER PRIMARY KEY, name TEXT NOT NULL, alt_name TEXT NOT NULL, colour_index INTEGER NOT NULL,
  dmax_cm REAL, hmax_cm REAL, agemax_yr REAL, b2 REAL, b3 REAL, g REAL, c REAL,
  ddmin REAL, ddmax REAL, min_diam_inc_cm REAL, min_water_table_m REAL, wilt_factor REAL,
  max_leaf_wt_kg REAL, min_light REAL, stem_a REAL, stem_b REAL, bark_a REAL, bark_b REAL,
  branch_a REAL, branch_b REAL, root_a REAL, root_b REAL, shade_type INTEGER, n_type INTEGER,
  able_to_enter INTEGER, max_saplings INTEGER
);
CREATE TABLE plot_year (iteration INTEGER NOT NULL, year INTEGER NOT NULL, plot INTEGER NOT NULL,
                        trees INTEGER NOT NULL);
CREATE TABLE stand (
  iteration INTEGER NOT NULL, year INTEGER NOT NULL, plot INTEGER NOT NULL, species INTEGER NOT NULL,
  stems_per_ha REAL NOT NULL, basal_area_m2_per_ha REAL NOT NULL,
  stem_mg_per_ha REAL NOT NULL, bark_mg_per_ha REAL NOT NULL, branch_mg_per_ha REAL NOT NULL,
  leaf_mg_per_ha REAL NOT NULL, root_mg_per_ha REAL NOT NULL, above_ground_mg_per_ha REAL NOT NULL,
  total_mg_per_ha REAL NOT NULL, carbon_mg_per_ha REAL NOT NULL, volume_m3_per_ha REAL NOT NULL
);
CREATE TABLE diameter_classes (
  iteration INTEGER NOT NULL, year INTEGER NOT NULL, plot INTEGER NOT NULL, species INTEGER NOT NULL,
  class_lower_cm INTEGER NOT NULL, stems_per_ha REAL NOT NULL, basal_area_m2_per_ha REAL NOT NULL
);
CREATE TABLE demography (
  iteration INTEGER NOT NULL, plot INTEGER NOT NULL, species INTEGER NOT NULL,
  year_start INTEGER NOT NULL, year_end INTEGER NOT NULL,
  stems_start_per_ha REAL NOT NULL, recruits_per_ha REAL NOT NULL,
  deaths_background_per_ha REAL NOT NULL, deaths_slow_growth_per_ha REAL NOT NULL,
  deaths_logging_per_ha REAL NOT NULL, deaths_windthrow_per_ha REAL NOT NULL,
  stems_end_per_ha REAL NOT NULL
);
CREATE TABLE limiting_factors (
  iteration INTEGER NOT NULL, plot INTEGER NOT NULL, species INTEGER NOT NULL, year INTEGER NOT NULL,
  temperature REAL NOT NULL, drought REAL NOT NULL, wetness REAL NOT NULL, nitrogen REAL NOT NULL,
  site_quality REAL NOT NULL
);
CREATE TABLE disturbance (
  iteration INTEGER NOT NULL, year INTEGER NOT NULL, plot INTEGER NOT NULL, event TEXT NOT NULL,
  species INTEGER, stems_per_ha REAL NOT NULL, basal_area_m2_per_ha REAL NOT NULL,
  above_ground_mg_per_ha REAL NOT NULL, total_mg_per_ha REAL NOT NULL, carbon_mg_per_ha REAL NOT NULL,
  volume_m3_per_ha REAL NOT NULL
);
CREATE TABLE trees (
  iteration INTEGER NOT NULL, year INTEGER NOT NULL, plot INTEGER NOT NULL, species INTEGER NOT NULL,
  birth_plot INTEGER NOT NULL, birth_year INTEGER NOT NULL, tree_id INTEGER NOT NULL, age_yr INTEGER NOT NULL,
  dbh_cm REAL NOT NULL, height_m REAL NOT NULL, diameter_increment_cm REAL NOT NULL, light REAL NOT NULL
);
)sql";

// Every table, in the order the schema creates them (export and merge go through this list).
inline constexpr const char* RUN_DATABASE_TABLES[] = {
    "run",        "setting",          "input_file",  "species", "plot_year", "stand", "diameter_classes",
    "demography", "limiting_factors", "disturbance", "trees",
};

// The name the desktop program gives the database of its last run in the working directory,
// and the name merge looks for in each run's directory unless told another.
inline constexpr const char* STANDARD_RUN_DATABASE_NAME = "dravia4-run.sqlite";

}  // namespace dravia

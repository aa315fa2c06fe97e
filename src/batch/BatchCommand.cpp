#include "batch/BatchCommand.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>

#include "batch/HeadlessHost.h"
#include "input/Communities.h"
#include "input/ModelOptionsFile.h"
#include "input/StartupLoad.h"
#include "model/ModelOptions.h"
#include "model/ModelState.h"
#include "model/Random.h"
#include "model/VolumeTable.h"
#include "output/rundb/Combine.h"
#include "output/rundb/Completeness.h"
#include "output/rundb/Export.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/Scenario.h"
#include "platform/DirectoryLock.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"
#include "run/Merge.h"
#include "run/RunDriver.h"
#include "run/RunStatistics.h"

namespace dravia {

namespace {

constexpr const char* VERSION_TEXT = "dravia4-batch (Dravia4) Version 4.00 beta";

// Moves into the working directory, where the program finds Data/ and writes its files.
bool enterDirectory(const std::string& directory, Host& host) {
    if (chdir(directory.c_str()) != 0) {
        host.showMessage("Cannot enter the working directory \"" + directory + "\".", MessageIcon::Error);
        return false;
    }
    return true;
}

// A seed starts a full random stream only when it is a whole number from 1 to 2147483646; the
// conversion below refuses "nan", "inf" and anything behind the number.
std::string seedProblem(const std::string& text) {
    char* end = nullptr;
    const double seed = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !isUsableSeed(seed))
        return "a seed is a whole number from 1 to 2147483646, not \"" + text + "\"";
    return {};
}

// "KEY=VALUE" of a model option: its place in the option table and value, or what is wrong.
std::string modelOptionProblem(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) return "a model option is given as KEY=VALUE, not \"" + text + "\"";
    ModelOptions scratch;
    return setModelOption(scratch, text.substr(0, equals), text.substr(equals + 1));
}

// The person's choices override the preset's option file; --classic sets the file's options off.
void applyModelOptionChoices(ModelState& model, const RunOptions& options) {
    ModelOptionSources& sources = model.optionSources;
    sources.classic = options.classic;
    for (const std::string& choice : options.modelOptions) {
        const std::size_t equals = choice.find('=');
        const std::string key = choice.substr(0, equals);
        ModelOptions chosen;
        setModelOption(chosen, key, choice.substr(equals + 1));
        for (std::size_t i = 0; i < MODEL_OPTION_COUNT; ++i)
            if (key == MODEL_OPTION_KINDS[i].key) sources.chosen[i] = chosen.*MODEL_OPTION_KINDS[i].field;
    }
    applyModelOptions(model);
}

void applyRunOptions(ModelState& model, const RunOptions& options) {
    if (options.community) {
        // As if the community were chosen in the communities dialog.
        model.params.COMMUNITY = *options.community;
        setSpeciesColours(model);
        applyCommunity(model, *options.community, true);
    }
    applyModelOptionChoices(model, options);
    if (options.seed) model.run.RANDOM_STATE = *options.seed;
    if (options.years) model.params.NUM_YEARS = *options.years;
    if (options.iterations) model.params.NUM_ITERS = *options.iterations;
    if (options.everyTree) model.params.OUTPUT_EVERY_TREE = true;
    if (options.waterStressMode) model.params.WATER_STRESS_MODE = *options.waterStressMode;
    model.databaseRequest.path = options.database;
    model.databaseRequest.scenario = options.scenario;
    model.databaseRequest.yearly = options.databaseYearly;
    model.databaseRequest.trees = options.databaseTrees;
    model.databaseRequest.commandLine = options.commandLine;
}

// A relative path given on the command line means a file in the directory the command started
// in, not in the working directory it moves into.
std::string fromStartDirectory(const std::string& path) {
    if (path.empty()) return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

// The command line as typed, each argument holding a space or quote in single quotes.
std::string commandLineOf(int argc, char** argv) {
    std::string line;
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        if (i > 0) line += ' ';
        if (!argument.empty() && argument.find_first_of(" \t'\"") == std::string::npos) {
            line += argument;
            continue;
        }
        line += '\'';
        for (const char c : argument) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        line += '\'';
    }
    return line;
}

// False (with the message) when another program works in the working directory.
bool workingDirectoryFree(const DirectoryLock& lock, Host& host) {
    if (!lock.refused()) return true;
    host.showMessage(lock.refusal(), MessageIcon::Error);
    return false;
}

}  // namespace

int runBatch(const RunOptions& given, Host& host) {
    RunOptions options = given;
    options.database = fromStartDirectory(given.database);
    if (!enterDirectory(options.directory, host)) return EXIT_FATAL_ERROR;
    const DirectoryLock lock(".");
    if (!workingDirectoryFree(lock, host)) return EXIT_FATAL_ERROR;
    auto model = std::make_unique<ModelState>();
    model->host = &host;
    try {
        loadAtStartup(*model);
        applyRunOptions(*model, options);
        fillVolumeCoefficients(*model);
        const RunOutcome outcome = runSimulation(*model);
        // A run that went on without some of its records must not look like a complete one.
        if (outcome == RunOutcome::NotStarted || !model->output.fileThatLostData.empty() ||
            !model->output.databaseFailure.empty())
            return EXIT_FATAL_ERROR;
        if (!options.database.empty())
            host.writeStandardOutput("Run database written to \"" + options.database + "\".\n");
        return EXIT_NORMAL;
    } catch (const ProgramExit& exit) {
        return exit.status;
    }
}

int combineBatch(const CombineOptions& options, Host& host) {
    const std::string failure = combineRunDatabases(options.inputs, options.output);
    if (!failure.empty()) {
        host.showMessage(failure, MessageIcon::Error);
        return EXIT_FATAL_ERROR;
    }
    host.writeStandardOutput(formatText("Study database of %zu run databases written to \"%s\".\n",
                                        options.inputs.size(), options.output.c_str()));
    return EXIT_NORMAL;
}

int exportBatch(const ExportOptions& options, Host& host) {
    if (!isCompleteRunDatabase(options.database)) {
        host.showMessage("Error: \"" + options.database + "\" is not the run database of a completed run.",
                         MessageIcon::Error);
        return EXIT_FATAL_ERROR;
    }
    // Each table is written as DIR/TABLE.csv: none of them may be the database being read.
    // (The tables of every format readable, and the view standing for the earlier ones' table.)
    std::vector<std::string> tables = runTablesOfFormat(RUN_DATABASE_FORMAT);
    tables.emplace_back("limiting_factors");
    for (const std::string& table : tables) {
        const std::string target = (std::filesystem::path(options.csvDirectory) / (table + ".csv")).string();
        if (sameFile(target, options.database)) {
            host.showMessage("Error: the run database \"" + options.database + "\" is the file " + table +
                                 ".csv that export would write; export its tables into another directory.",
                             MessageIcon::Error);
            return EXIT_FATAL_ERROR;
        }
    }
    std::error_code error;
    std::filesystem::create_directories(options.csvDirectory, error);
    if (error) {
        host.showMessage("Error: the directory \"" + options.csvDirectory +
                             "\" could not be created: " + error.message() + ".",
                         MessageIcon::Error);
        return EXIT_FATAL_ERROR;
    }
    const std::string failure = exportRunDatabase(options.database, options.csvDirectory);
    if (!failure.empty()) {
        host.showMessage(failure, MessageIcon::Error);
        return EXIT_FATAL_ERROR;
    }
    host.writeStandardOutput("Tables of \"" + options.database + "\" written to \"" + options.csvDirectory +
                             "\" as CSV files.\n");
    return EXIT_NORMAL;
}

int statsBatch(const StatsOptions& options, Host& host) {
    if (!enterDirectory(options.directory, host)) return EXIT_FATAL_ERROR;
    const DirectoryLock lock(".");
    if (!workingDirectoryFree(lock, host)) return EXIT_FATAL_ERROR;
    auto model = std::make_unique<ModelState>();
    model->host = &host;
    try {
        loadAtStartup(*model);
        const bool complete =
            runStatistics(*model, options.tabSeparated ? StatsLayout::TabSeparated : StatsLayout::Plain);
        return complete ? EXIT_NORMAL : EXIT_FATAL_ERROR;
    } catch (const ProgramExit& exit) {
        return exit.status;
    }
}

int batchMain(int argc, char** argv) {
    CLI::App app{
        "Dravia4 forest growth simulator, headless: runs simulations and computes statistics "
        "from the parameter files in DIR/Data, writing the same files as the desktop program.",
        "dravia4-batch"};
    app.set_version_flag("--version", VERSION_TEXT);
    app.require_subcommand(1);

    RunOptions run;
    CLI::App* runCommand = app.add_subcommand("run", "Load the input files and simulate one run.");
    runCommand->add_option("--dir", run.directory, "Working directory holding Data/ (default: current)");
    runCommand->add_option("--years", run.years, "Years per iteration (NUM_YEARS)")
        ->check(CLI::Range(1, 1000000));
    runCommand->add_option("--iterations", run.iterations, "Iterations per run (NUM_ITERS)")
        ->check(CLI::Range(1, 1000000));
    runCommand->add_option("--seed", run.seed, "Random seed (RANDOM_STATE)")
        ->check(CLI::Validator(seedProblem, "WHOLE NUMBER 1..2147483646", "seed"));
    runCommand->add_option("--community", run.community, "Community preset 1..8")->check(CLI::Range(1, 8));
    runCommand->add_flag("--every-tree", run.everyTree, "Write one results record per tree");
    runCommand->add_option("--water-stress-mode", run.waterStressMode, "0 evaporation deficit, 1 soil water")
        ->check(CLI::Range(0, 1));
    runCommand
        ->add_option(
            "--model-option", run.modelOptions,
            "Set a model option, KEY=VALUE (SLOW_GROWTH_YEARS, CLIMATE_MEMORY_YEARS; see the manual); "
            "overrides the preset's model-options file")
        ->check(CLI::Validator(modelOptionProblem, "KEY=VALUE", "model option"))
        ->take_all();
    runCommand->add_flag("--classic", run.classic,
                         "The classic model: every model option off, whatever the preset's file says");
    CLI::Option* database = runCommand
                                ->add_option("--db", run.database,
                                             "Also write the run database (SQLite) to FILE (docs/outputs.md)")
                                ->check(CLI::Validator(
                                    [](const std::string& name) {
                                        return name.empty() ? "the run database needs a file name" : "";
                                    },
                                    "FILE", "database name"));
    runCommand
        ->add_flag("--db-yearly", run.databaseYearly, "Record demography every year, not only results years")
        ->needs(database);
    runCommand->add_flag("--db-trees", run.databaseTrees, "Record every tree in the run database")
        ->needs(database);
    runCommand
        ->add_option("--scenario", run.scenario,
                     "Name of the scenario the run database keeps (default: made of the settings, e.g. the "
                     "community, the climate and the disturbances)")
        ->check(CLI::Validator(scenarioNameProblem, "NAME", "scenario name"));

    StatsOptions stats;
    CLI::App* statsCommand = app.add_subcommand("stats", "Compute the statistics of the last run.");
    statsCommand->add_option("--dir", stats.directory, "Working directory holding Data/ (default: current)");
    statsCommand->add_flag("--tsv", stats.tabSeparated, "Tab-separated spreadsheet layout");

    MergeOptions merge;
    CLI::App* mergeCommand = app.add_subcommand(
        "merge",
        "Join the results, after-disturbance and disturbance files of several finished runs of one scenario "
        "into OUT, renumbering their iterations in order, so that `stats --dir OUT` covers every replicate.");
    mergeCommand->add_option("OUT", merge.output, "Working directory to write the merged run into")
        ->required();
    mergeCommand->add_option("DIR", merge.runs, "Working directories of the finished runs, in order")
        ->required()
        ->expected(1, -1);

    ExportOptions exported;
    CLI::App* exportCommand = app.add_subcommand(
        "export",
        "Write each table of a run database as one CSV file (header row, C locale numbers) into DIR.");
    exportCommand->add_option("--db", exported.database, "The run database")->required();
    exportCommand->add_option("--csv", exported.csvDirectory, "Directory to write TABLE.csv files into")
        ->required();

    CombineOptions combine;
    CLI::App* combineCommand = app.add_subcommand(
        "combine",
        "Join the run databases of several scenarios into one study database OUT, every row keyed by its "
        "scenario, so that one query compares them (GROUP BY scenario).");
    combineCommand->add_option("OUT", combine.output, "The study database to write")->required();
    combineCommand->add_option("RUN", combine.inputs, "Run databases, of scenarios with names of their own")
        ->required()
        ->expected(1, -1);

    mergeCommand->add_option("--db", merge.database,
                             "Name of the run database in each run directory (default: dravia4-run.sqlite)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "dravia4-batch: %s (see dravia4-batch --help)\n", e.what());
        return EXIT_USAGE;
    }
    HeadlessHost host;
    try {
        if (runCommand->parsed()) {
            // The bar is for a person watching a terminal; a redirected stderr gets nothing extra.
            if (isatty(STDERR_FILENO) == 1) host.showProgress(ProgressBar::terminalColumns(stderr));
            run.commandLine = commandLineOf(argc, argv);
            return runBatch(run, host);
        }
        if (mergeCommand->parsed()) return mergeRuns(merge, host);
        if (exportCommand->parsed()) return exportBatch(exported, host);
        if (combineCommand->parsed()) return combineBatch(combine, host);
        return statsBatch(stats, host);
    } catch (const std::bad_alloc&) {
        host.showMessage(OUT_OF_MEMORY_MESSAGE, MessageIcon::Error);
        return EXIT_FATAL_ERROR;
    }
}

}  // namespace dravia

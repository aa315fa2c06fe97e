#include "run/Merge.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "input/ModelOptionsFile.h"
#include "input/Parameters.h"
#include "input/ReaderError.h"
#include "output/ParameterCopies.h"
#include "output/RecordLayout.h"
#include "output/rundb/Completeness.h"
#include "output/rundb/Merge.h"
#include "platform/DirectoryLock.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view BLANKS = " \t\r\n";

// The run parameters whose values may differ between replicates of one scenario: the number
// of iterations (they are added up) and the seed (replicates need their own).
constexpr std::string_view ITERATIONS_ITEM = "NUM_ITERS";
constexpr std::string_view SEED_ITEM = "SEED_INIT";

// Input files named by the initial-values parameters whose contents must agree too.
constexpr std::string_view INPUT_FILE_ITEMS[] = {"SPP_PARAM_FILE", "PLOT_FILE", "WTHR_FILE"};

// Output files named by the run-time control parameters: merged when they exist.
constexpr std::string_view MERGED_FILE_ITEMS[] = {"RESULTS_FILE", "AFTER_DISTURBANCE_RESULTS_FILE",
                                                  "DISTURBANCE_RESULTS_FILE"};
// The statistics reports of the first run describe only its replicates: not carried over.
constexpr std::string_view REPORT_FILE_ITEMS[] = {"STATS_RESULTS_FILE", "DISTURBANCE_STATS_RESULTS_FILE",
                                                  "AFTER_DISTURB_STATS_RESULTS_FILE"};

// Refusal of the merge: the message names what is wrong.
struct MergeRefused {
    std::string message;
};

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(BLANKS);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(BLANKS);
    return text.substr(first, last - first + 1);
}

std::optional<std::string> readFile(const fs::path& path) {
    const FileHandle file = openFile(path.string(), "r");
    if (!file) return std::nullopt;
    return readWholeFile(file.get());
}

// Written beside the old file and renamed into place: a full disk never leaves a merged file cut
// mid-record where a whole one could be expected.
void writeFile(const fs::path& path, const std::string& text) {
    std::error_code ignored;
    if (path.has_parent_path()) fs::create_directories(path.parent_path(), ignored);
    if (!writeFileAtomically(path.string(), text)) {
        throw MergeRefused{"Cannot write \"" + path.string() + "\" (" + writeFailureReason() +
                           "); nothing of it was kept."};
    }
}

// A file name from a run's copies stays inside the output directory: no absolute names, no "..".
fs::path confined(const std::string& storedName, const std::string& item, const fs::path& runDirectory) {
    const fs::path relative = toLocalPath(storedName);
    bool climbs = false;
    for (const fs::path& part : relative) climbs = climbs || part == "..";
    if (storedName.empty() || relative.is_absolute() || climbs) {
        throw MergeRefused{
            "The run in \"" + runDirectory.string() + "\" names its " + item + " \"" + storedName +
            "\", outside its working directory; merge writes only inside the output directory."};
    }
    return relative;
}

// Splits a text into its lines, each keeping its line end.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

// A file's header (everything before its first record) and its records.
struct SplitFile {
    std::vector<std::string_view> header;
    std::vector<std::string_view> body;
};
SplitFile splitAtFirstRecord(std::string_view text) {
    SplitFile split;
    bool inHeader = true;
    for (std::string_view line : linesOf(text)) {
        if (inHeader && recordLineKind(line) != RecordLine::None) inHeader = false;
        (inHeader ? split.header : split.body).push_back(line);
    }
    return split;
}

// The disturbance data file begins with its own header.
bool isDisturbanceFile(const SplitFile& split) {
    return !split.header.empty() && beginsDisturbanceHeader(split.header.front());
}

// The header lines that say how many iterations the run made, rewritten with the total.
std::string headerWithIterations(const std::vector<std::string_view>& header, int totalIterations) {
    std::string text;
    bool countsFollow = false;
    for (std::string_view line : header) {
        std::optional<DisturbanceCounts> counts;
        if (totalIterations > 0 && isResultsIterationsLine(line)) {
            text += resultsIterationsLine(totalIterations);
        } else if (totalIterations > 0 && countsFollow && (counts = parseDisturbanceCounts(line))) {
            text += disturbanceCountsLine(totalIterations, counts->years, counts->resultsInterval);
        } else {
            text += line;
        }
        countsFollow = isDisturbanceCountsHeading(line);
    }
    return text;
}

std::string renumberedBody(const SplitFile& split, int offset, bool disturbanceFile) {
    std::string text;
    for (std::string_view line : split.body) {
        text += offset == 0 ? std::string(line) : withIterationRaised(line, offset, disturbanceFile);
    }
    return text;
}

// One statistics copy of a parameter file: its items in file order, and its text.
struct ParameterCopy {
    fs::path path;
    std::string text;
    std::vector<std::pair<std::string, std::string>> items;

    const std::string* value(std::string_view key) const {
        for (const auto& item : items) {
            if (item.first == key) return &item.second;
        }
        return nullptr;
    }
};

ParameterCopy readParameterCopy(const fs::path& runDirectory, const char* storedName) {
    ParameterCopy copy;
    copy.path = runDirectory / toLocalPath(storedName);
    const std::optional<std::string> text = readFile(copy.path);
    if (!text) {
        throw MergeRefused{"\"" + runDirectory.string() + "\" holds no " + copy.path.filename().string() +
                           ": it is not the working directory of a finished run."};
    }
    copy.text = *text;
    for (std::string_view line : linesOf(copy.text)) {
        const std::string_view body = trimmed(line);
        if (body.empty()) continue;
        const size_t keyEnd = std::min(body.find_first_of(BLANKS), body.size());
        copy.items.emplace_back(std::string(body.substr(0, keyEnd)),
                                std::string(trimmed(body.substr(keyEnd))));
    }
    return copy;
}

// The model options a run was made with: those of its options copy, which only a run with an
// option on leaves; a run without one ran the classic model.
struct OptionsCopy {
    std::optional<std::string> text;
    ModelOptions options;
};

OptionsCopy readOptionsCopy(const fs::path& runDirectory) {
    OptionsCopy copy;
    const fs::path path = runDirectory / toLocalPath(STATS_MODEL_OPTIONS_FILE);
    std::error_code error;
    if (!fs::exists(path, error)) return copy;
    copy.text = readFile(path);
    if (!copy.text) throw MergeRefused{"Cannot read \"" + path.string() + "\"."};
    const std::string problem = parseModelOptions(*copy.text, copy.options);
    if (!problem.empty()) {
        throw MergeRefused{"The model options copy \"" + path.string() + "\" is not sound, " + problem + "."};
    }
    return copy;
}

// A finished run: its working directory, its two statistics copies and its model options.
struct FinishedRun {
    fs::path directory;
    ParameterCopy runTimeControl;
    ParameterCopy initialValues;
    OptionsCopy modelOptions;
    int iterations = 0;

    const std::string& parameter(std::string_view key) const {
        static const std::string none;
        const std::string* found = runTimeControl.value(key);
        if (!found) found = initialValues.value(key);
        return found ? *found : none;
    }
    fs::path fileNamedBy(std::string_view key) const { return directory / toLocalPath(parameter(key)); }
};

FinishedRun readFinishedRun(const std::string& directory) {
    FinishedRun run;
    std::error_code error;
    run.directory = fs::absolute(directory, error);
    if (error || !fs::is_directory(run.directory)) {
        throw MergeRefused{"\"" + directory + "\" is not a directory."};
    }
    run.runTimeControl = readParameterCopy(run.directory, STATS_RUN_TIME_CONTROL_FILE);
    run.initialValues = readParameterCopy(run.directory, STATS_INITIAL_VALUES_FILE);
    run.modelOptions = readOptionsCopy(run.directory);
    const std::string& iterations = run.parameter(ITERATIONS_ITEM);
    char* end = nullptr;
    const long count = std::strtol(iterations.c_str(), &end, 10);
    if (iterations.empty() || *end != '\0' || count < 1 || count > 1000000000L) {
        throw MergeRefused{"\"" + directory + "\" has no valid NUM_ITERS in its statistics copy."};
    }
    run.iterations = static_cast<int>(count);
    return run;
}

std::string shown(const std::string& value) {
    return value.empty() ? "(empty)" : value;
}

void compareParameters(const ParameterCopy& first, const ParameterCopy& other, const FinishedRun& firstRun,
                       const FinishedRun& otherRun) {
    const size_t count = std::max(first.items.size(), other.items.size());
    for (size_t i = 0; i < count; ++i) {
        if (i >= first.items.size() || i >= other.items.size() ||
            first.items[i].first != other.items[i].first) {
            throw MergeRefused{"The runs differ in the items of " + first.path.filename().string() + ": \"" +
                               firstRun.directory.string() + "\" and \"" + otherRun.directory.string() +
                               "\" do not hold the same parameters."};
        }
        const std::string& key = first.items[i].first;
        if (key == ITERATIONS_ITEM || key == SEED_ITEM) continue;
        if (first.items[i].second != other.items[i].second) {
            throw MergeRefused{"The runs differ in " + key + ": " + shown(first.items[i].second) + " in \"" +
                               firstRun.directory.string() + "\", " + shown(other.items[i].second) +
                               " in \"" + otherRun.directory.string() +
                               "\". Only runs of the same scenario can be merged."};
        }
    }
}

void compareModelOptions(const FinishedRun& first, const FinishedRun& other) {
    for (const ModelOptionKind& kind : MODEL_OPTION_KINDS) {
        const int a = first.modelOptions.options.*kind.field;
        const int b = other.modelOptions.options.*kind.field;
        if (a == b) continue;
        throw MergeRefused{"The runs differ in the model option " + std::string(kind.key) + ": " +
                           std::to_string(a) + " in \"" + first.directory.string() + "\", " +
                           std::to_string(b) + " in \"" + other.directory.string() +
                           "\". Only runs of the same scenario can be merged."};
    }
}

void compareInputFiles(const FinishedRun& first, const FinishedRun& other) {
    for (std::string_view key : INPUT_FILE_ITEMS) {
        const std::optional<std::string> a = readFile(first.fileNamedBy(key));
        const std::optional<std::string> b = readFile(other.fileNamedBy(key));
        if (a && b && *a != *b) {
            throw MergeRefused{"The runs differ in the contents of " + std::string(key) + " " +
                               first.parameter(key) + " (\"" + first.directory.string() + "\" and \"" +
                               other.directory.string() +
                               "\"). Only runs of the same scenario can be merged."};
        }
    }
}

// Headers must agree in everything but the number of iterations.
void compareHeaders(const SplitFile& first, const SplitFile& other, const std::string& fileName,
                    const FinishedRun& firstRun, const FinishedRun& otherRun) {
    const std::string a = headerWithIterations(first.header, 1);
    const std::string b = headerWithIterations(other.header, 1);
    if (a == b) return;
    const std::vector<std::string_view> linesA = linesOf(a);
    const std::vector<std::string_view> linesB = linesOf(b);
    size_t i = 0;
    while (i < linesA.size() && i < linesB.size() && linesA[i] == linesB[i]) ++i;
    const std::string lineA = i < linesA.size() ? std::string(trimmed(linesA[i])) : "(no line)";
    const std::string lineB = i < linesB.size() ? std::string(trimmed(linesB[i])) : "(no line)";
    throw MergeRefused{"The runs differ in the header of " + fileName + ": \"" + lineA + "\" in \"" +
                       firstRun.directory.string() + "\", \"" + lineB + "\" in \"" +
                       otherRun.directory.string() + "\". Only runs of the same scenario can be merged."};
}

// Copies the first run's Data/ (its input files) into the output directory.
void copyInputs(const FinishedRun& first, const fs::path& output) {
    const fs::path data = first.directory / "Data";
    std::error_code error;
    fs::create_directories(output / "Data", error);
    if (error) throw MergeRefused{"Cannot create \"" + (output / "Data").string() + "\"."};
    if (!fs::is_directory(data)) return;
    fs::copy(data, output / "Data", fs::copy_options::recursive | fs::copy_options::overwrite_existing,
             error);
    if (error) throw MergeRefused{"Cannot copy \"" + data.string() + "\" to \"" + output.string() + "\"."};
}

// The run-time control copy of a run, read with the parameter reader and written again by the
// copy's own writer with the total number of iterations.
std::string runTimeControlWithIterations(const FinishedRun& run, int totalIterations) {
    const auto scratch = std::make_unique<ModelState>();
    try {
        readRunTimeControlFile(*scratch, run.runTimeControl.path.string());
    } catch (const ReaderError& error) {
        throw MergeRefused{error.what()};
    }
    scratch->params.NUM_ITERS = totalIterations;
    return runTimeControlCopyText(scratch->params);
}

bool sameDirectory(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// True when path is the directory or lies anywhere below it (after resolving both).
bool inside(const fs::path& path, const fs::path& directory) {
    std::error_code error;
    const fs::path a = fs::weakly_canonical(path, error);
    if (error) return false;
    const fs::path b = fs::weakly_canonical(directory, error);
    if (error) return false;
    auto ai = a.begin();
    for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
        if (bi->empty()) continue;  // the trailing separator of a directory
        if (ai == a.end() || *ai != *bi) return false;
    }
    return true;
}

// The results file of a run must hold every iteration its copies count, whole.
void checkComplete(const FinishedRun& run, const std::optional<std::string>& results) {
    const std::string& name = run.parameter("RESULTS_FILE");
    if (!results) {
        throw MergeRefused{"The run in \"" + run.directory.string() + "\" has no readable results file \"" +
                           name + "\": only finished runs with their results can be merged."};
    }
    int highest = 0;
    for (std::string_view line : linesOf(*results)) {
        if (const std::optional<SummaryRecord> record = parseSummaryRecord(line))
            highest = std::max(highest, record->iteration);
    }
    const bool cut = !results->empty() && results->back() != '\n';
    if (highest != run.iterations || cut) {
        throw MergeRefused{
            formatText("The results file \"%s\" of the run in \"%s\" holds %s%d of its %d "
                       "iterations: the run did not finish, or the file was cut.",
                       name.c_str(), run.directory.string().c_str(), cut ? "a cut record and " : "", highest,
                       run.iterations)};
    }
}

void merge(const MergeOptions& options, Host& host) {
    if (options.runs.empty()) throw MergeRefused{"No run directories to merge."};
    // The database is read in each run's directory and written in the output directory, nowhere else.
    const std::string& name = options.database;
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) {
        throw MergeRefused{
            "The run database's name \"" + name +
            "\" is not a plain file name; merge reads it in each run's directory and writes it "
            "in the output directory only."};
    }
    // Nobody runs, analyses or merges in the output directory or in a run while it is merged.
    std::error_code ignored;
    fs::create_directories(options.output, ignored);
    std::vector<std::string> directories{options.output};
    directories.insert(directories.end(), options.runs.begin(), options.runs.end());
    std::vector<std::unique_ptr<DirectoryLock>> locks;
    for (size_t i = 0; i < directories.size(); ++i) {
        // A directory named twice is locked once; the checks below say what is wrong with it.
        bool named = false;
        for (size_t j = 0; j < i; ++j) named = named || sameDirectory(directories[i], directories[j]);
        if (named) continue;
        locks.push_back(std::make_unique<DirectoryLock>(directories[i]));
        if (locks.back()->refused()) throw MergeRefused{locks.back()->refusal()};
    }
    std::vector<FinishedRun> runs;
    for (const std::string& directory : options.runs) runs.push_back(readFinishedRun(directory));
    const FinishedRun& first = runs.front();

    // Names merge writes or removes under the output directory, checked before anything else.
    for (const FinishedRun& run : runs) {
        for (std::string_view key : REPORT_FILE_ITEMS)
            confined(run.parameter(key), std::string(key), run.directory);
        for (std::string_view key : MERGED_FILE_ITEMS)
            confined(run.parameter(key), std::string(key), run.directory);
    }
    const fs::path output = fs::absolute(options.output);
    for (const FinishedRun& run : runs) {
        if (sameDirectory(run.directory, output)) {
            throw MergeRefused{"The output directory \"" + options.output + "\" is one of the runs."};
        }
        // Copying a run's Data/ into a folder inside that run would copy the copy again and again.
        if (inside(output, run.directory)) {
            throw MergeRefused{"The output directory \"" + options.output + "\" lies inside the run in \"" +
                               run.directory.string() + "\"; choose a directory outside every run."};
        }
    }
    long total = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        const FinishedRun& run = runs[i];
        compareParameters(first.runTimeControl, run.runTimeControl, first, run);
        compareParameters(first.initialValues, run.initialValues, first, run);
        compareModelOptions(first, run);
        compareInputFiles(first, run);
        // Runs of one scenario started from the same random state are the same replicates: merged
        // twice they would be counted twice.
        for (size_t j = 0; j < i; ++j) {
            if (sameDirectory(runs[j].directory, run.directory) ||
                runs[j].parameter(SEED_ITEM) == run.parameter(SEED_ITEM)) {
                throw MergeRefused{
                    "The runs in \"" + runs[j].directory.string() + "\" and \"" + run.directory.string() +
                    "\" are the same run (same scenario, random state " + shown(run.parameter(SEED_ITEM)) +
                    " at the start): its replicates would count twice."};
            }
        }
        checkComplete(run, readFile(run.fileNamedBy("RESULTS_FILE")));
        total += run.iterations;
    }
    if (total > 1000000000L) throw MergeRefused{"Too many iterations to merge."};
    const int totalIterations = static_cast<int>(total);

    // Read and check every file before anything is written.
    struct MergedFile {
        fs::path relative;
        std::string text;
        bool present = false;
    };
    std::vector<MergedFile> merged;
    for (std::string_view key : MERGED_FILE_ITEMS) {
        MergedFile file;
        file.relative = confined(first.parameter(key), std::string(key), first.directory);
        std::vector<std::optional<std::string>> texts;
        for (const FinishedRun& run : runs) texts.push_back(readFile(run.fileNamedBy(key)));
        std::vector<SplitFile> splits;
        const SplitFile* header = nullptr;
        for (size_t i = 0; i < runs.size(); ++i) {
            splits.push_back(texts[i] ? splitAtFirstRecord(*texts[i]) : SplitFile{});
        }
        for (size_t i = 0; i < runs.size(); ++i) {
            if (!texts[i]) continue;
            file.present = true;
            if (splits[i].header.empty()) continue;
            if (header == nullptr) {
                header = &splits[i];
            } else {
                compareHeaders(*header, splits[i], first.parameter(key), first, runs[i]);
            }
        }
        if (header) file.text = headerWithIterations(header->header, totalIterations);
        int offset = 0;
        for (size_t i = 0; i < runs.size(); ++i) {
            file.text += renumberedBody(splits[i], offset, key == "DISTURBANCE_RESULTS_FILE");
            offset += runs[i].iterations;
        }
        merged.push_back(std::move(file));
    }

    // The runs' databases are merged when every run has one; each must describe a completed run.
    std::vector<MergeSource> databases;
    int databaseOffset = 0;
    for (const FinishedRun& run : runs) {
        const fs::path database = run.directory / options.database;
        if (!fs::exists(database)) {
            databaseOffset += run.iterations;
            continue;
        }
        if (!isCompleteRunDatabase(database.string())) {
            throw MergeRefused{"The run database \"" + database.string() +
                               "\" is not the database of a completed run; run that replicate again."};
        }
        // A database copied from another run, or of another scenario, would count another run's
        // iterations as this one's.
        const std::string mismatch = runDatabaseMismatch(
            database.string(), std::strtoll(run.parameter("NUM_YEARS").c_str(), nullptr, 10),
            std::strtoll(run.parameter("NUM_PLOTS").c_str(), nullptr, 10), run.iterations,
            std::strtod(run.parameter("SEED_INIT").c_str(), nullptr));
        if (!mismatch.empty()) {
            throw MergeRefused{"The run database \"" + database.string() +
                               "\" does not describe the run in \"" + run.directory.string() +
                               "\": " + mismatch + "; run that replicate again."};
        }
        databases.push_back({database.string(), databaseOffset});
        databaseOffset += run.iterations;
    }
    const bool mergeDatabases = databases.size() == runs.size();

    copyInputs(first, output);
    for (const MergedFile& file : merged) {
        std::error_code ignored;
        if (file.present) {
            writeFile(output / file.relative, file.text);
        } else {
            fs::remove(output / file.relative, ignored);  // a copied stray, not part of these runs
        }
    }
    for (std::string_view key : REPORT_FILE_ITEMS) {
        std::error_code ignored;
        fs::remove(output / confined(first.parameter(key), std::string(key), first.directory), ignored);
    }

    // The statistics copies: the first run's, with the iterations of all runs.
    writeFile(output / toLocalPath(STATS_RUN_TIME_CONTROL_FILE),
              runTimeControlWithIterations(first, totalIterations));
    writeFile(output / toLocalPath(STATS_INITIAL_VALUES_FILE), first.initialValues.text);
    // The options copy goes with them, so the statistics in OUT name the options; classic runs
    // leave none, not even one an earlier merge into OUT left.
    const fs::path optionsCopy = output / toLocalPath(STATS_MODEL_OPTIONS_FILE);
    if (first.modelOptions.text) {
        writeFile(optionsCopy, *first.modelOptions.text);
    } else {
        std::error_code ignored;
        fs::remove(optionsCopy, ignored);
    }

    // A database left in OUT by an earlier merge would not describe these runs.
    const fs::path mergedDatabase = output / options.database;
    std::error_code notThere;
    fs::remove(mergedDatabase, notThere);
    if (mergeDatabases) {
        const std::string failure = mergeRunDatabases(databases, mergedDatabase.string());
        if (!failure.empty()) throw MergeRefused{failure};
    }

    host.writeStandardOutput(formatText("Merged %zu runs, %d iterations, into \"%s\".\n", runs.size(),
                                        totalIterations, options.output.c_str()));
    if (mergeDatabases) {
        host.writeStandardOutput(
            formatText("Merged their run databases into \"%s\".\n", mergedDatabase.c_str()));
    } else if (!databases.empty()) {
        host.writeStandardOutput(
            formatText("Not every run has a run database \"%s\": none merged.\n", options.database.c_str()));
    }
}

}  // namespace

std::string renumberIterations(const std::string& text, int offset, int totalIterations) {
    const SplitFile split = splitAtFirstRecord(text);
    return headerWithIterations(split.header, totalIterations) +
           renumberedBody(split, offset, isDisturbanceFile(split));
}

int mergeRuns(const MergeOptions& options, Host& host) {
    try {
        merge(options, host);
        return EXIT_NORMAL;
    } catch (const MergeRefused& refused) {
        host.showMessage(refused.message, MessageIcon::Error);
        return EXIT_FATAL_ERROR;
    } catch (const fs::filesystem_error& error) {
        host.showMessage(error.what(), MessageIcon::Error);
        return EXIT_FATAL_ERROR;
    }
}

}  // namespace dravia

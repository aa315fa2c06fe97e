// Nothing already written is lost: a run interrupted at any year, killed at any moment or
// stopped by a full disk leaves results files that end with a complete record, and the files
// rewritten whole (statistics copies and reports) are either the old file or the new one.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "CatalogueSupport.h"
#include "output/StatsReader.h"
#include "platform/ProgramExit.h"
#include "support/RunCommand.h"

namespace dravia::test {
namespace {

namespace fs = std::filesystem;

const std::string COMPLETED = "Simulation Completed.";

// A host whose user quits the program before the given year of the run (counted over all
// iterations) is simulated.
class QuittingHost : public ScriptedHost {
  public:
    explicit QuittingHost(int quitBeforeYear) : quitBeforeYear_(quitBeforeYear) {}
    void processPendingEvents() override {
        if (++years_ == quitBeforeYear_) throw ProgramExit{EXIT_NORMAL};
    }

  private:
    int quitBeforeYear_;
    int years_ = 0;
};

SmallDataSetOptions everyYear() {
    SmallDataSetOptions options;
    options.numYears = 30;
    options.numIters = 2;
    options.printInterv = 1;
    options.resultsInterv = 1;
    return options;
}

// The results file of the undamaged run, for comparison.
std::string completeResults(const SmallDataSetOptions& options) {
    TempDirectory directory;
    writeSmallDataSet(directory.path(), options);
    EXPECT_EQ(runCommand(Command::Run), (Outcome{0, {COMPLETED}}));
    return readTextFile(directory.path() / "Data/results.out");
}

// The length of a results file's header: everything before its first record line.
std::size_t headerLength(const std::string& results) {
    std::size_t start = 0;
    while (start < results.size()) {
        const std::size_t end = results.find('\n', start);
        const std::size_t next = end == std::string::npos ? results.size() : end + 1;
        if (parseSummaryRecord(results.substr(start, next - start)).has_value()) return start;
        start = next;
    }
    return results.size();
}

// A results file a run left behind: empty, or a beginning of the complete file that ends
// with a whole record line.
void expectEndsWithCompleteRecord(const std::string& written, const std::string& complete) {
    if (written.empty()) return;
    ASSERT_EQ(written.back(), '\n');
    EXPECT_EQ(complete.compare(0, written.size(), written), 0) << "not a beginning of the complete results";
    // Stopped between creating the file with its header and appending the first records.
    if (written.size() <= headerLength(complete)) {
        EXPECT_EQ(written.size(), headerLength(complete)) << "a header cut short";
        return;
    }
    const std::size_t lastLineStart = written.find_last_of('\n', written.size() - 2);
    const std::string lastLine = written.substr(lastLineStart == std::string::npos ? 0 : lastLineStart + 1);
    EXPECT_TRUE(parseSummaryRecord(lastLine).has_value()) << "last line: " << lastLine;
}

// A results file cut by a full disk or a file-size limit ends where a year ended: the year of
// its last record is not continued by the complete file's next record.
void expectEndsAtTheEndOfAYear(const std::string& written, const std::string& complete) {
    if (written.size() <= headerLength(complete) || written.size() >= complete.size()) return;
    const std::size_t lastLineStart = written.find_last_of('\n', written.size() - 2) + 1;
    const std::size_t nextLineEnd = complete.find('\n', written.size());
    const auto last = parseSummaryRecord(written.substr(lastLineStart));
    const auto next = parseSummaryRecord(complete.substr(written.size(), nextLineEnd - written.size()));
    ASSERT_TRUE(last.has_value() && next.has_value());
    EXPECT_FALSE(last->iteration == next->iteration && last->year == next->year)
        << "cut inside year " << last->year << " of iteration " << last->iteration;
}

// Files left beside a target by a write that did not complete ("NAME.XXXXXX").
int temporaryFilesBeside(const fs::path& target) {
    int count = 0;
    const std::string prefix = target.filename().string() + ".";
    for (const auto& entry : fs::directory_iterator(target.parent_path()))
        count += entry.path().filename().string().rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

TEST(DurableOutput, RunQuitBeforeAnyYearLeavesCompleteRecords) {
    const SmallDataSetOptions options = everyYear();
    const std::string complete = completeResults(options);
    ASSERT_FALSE(complete.empty());
    for (int year = 1; year <= options.numYears * options.numIters; ++year) {
        SCOPED_TRACE("quit before run year " + std::to_string(year));
        TempDirectory directory;
        writeSmallDataSet(directory.path(), options);
        // An earlier run's statistics copies would describe results this run has replaced.
        writeTextFile(directory.path() / "Data/statsInitParams.txt", "an earlier run's copy\n");
        QuittingHost host(year);
        EXPECT_EQ(runBatch(RunOptions{}, host), EXIT_NORMAL);
        EXPECT_TRUE(host.messages.empty());
        const fs::path results = directory.path() / "Data/results.out";
        if (year == 1) {
            EXPECT_FALSE(fs::exists(results));
        } else {
            expectEndsWithCompleteRecord(readTextFile(results), complete);
        }
        EXPECT_FALSE(fs::exists(directory.path() / "Data/statsInitParams.txt"));
    }
}

TEST(DurableOutput, RunKilledAtAnyMomentLeavesCompleteRecords) {
    SmallDataSetOptions options = everyYear();
    options.numYears = 400;
    options.numPlots = 10;  // a year's block is larger than a stream buffer
    const std::string complete = completeResults(options);
    for (int attempt = 0; attempt < 12; ++attempt) {
        SCOPED_TRACE("kill " + std::to_string(attempt));
        TempDirectory directory;
        writeSmallDataSet(directory.path(), options);
        const pid_t child = fork();
        if (child == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execl(DRAVIA_BATCH_PATH, DRAVIA_BATCH_PATH, "run", static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(40 + 35 * attempt));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const fs::path results = directory.path() / "Data/results.out";
        if (fs::exists(results)) expectEndsWithCompleteRecord(readTextFile(results), complete);
    }
}

// A run stopped by SIGTERM after an earlier run completed: the earlier copies went when the new
// run began, so the statistics cannot take the cut results for a complete run of the old one.
TEST(DurableOutput, StatisticsRefuseTheResultsOfARunEndedBySignal) {
    SmallDataSetOptions options = everyYear();
    options.numYears = 2000;
    TempDirectory directory;
    writeSmallDataSet(directory.path(), options);
    ASSERT_EQ(runCommand(Command::Run).status, EXIT_NORMAL);
    const fs::path results = directory.path() / "Data/results.out";
    fs::remove(results);
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl(DRAVIA_BATCH_PATH, DRAVIA_BATCH_PATH, "run", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(child, 0);
    for (int wait = 0; wait < 500 && !(fs::exists(results) && fs::file_size(results) > 0); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before the signal came";
    EXPECT_EQ(
        runCommand(Command::Stats),
        (Outcome{255, {"Error.  Could not open data file \"Data\\statsInputOutputRunTimeParams.txt\"."}}));
}

// Fills a file system until it refuses another byte.
void fill(const fs::path& directory) {
    std::ofstream filler(directory / "filler", std::ios::binary);
    const std::string block(4096, 'f');
    while (filler.write(block.data(), block.size())) filler.flush();
    const std::string byte(1, 'f');
    filler.clear();
    for (int i = 0; i < 4096 && filler.write(byte.data(), 1); ++i) filler.flush();
}

TEST(DurableOutput, FullDiskEndsTheRunWithCompleteRecords) {
    if (!runningAsRoot()) GTEST_SKIP() << "mounting a tiny file system needs root";
    SmallDataSetOptions options = everyYear();
    options.numPlots = 3;
    const std::string complete = completeResults(options);
    ASSERT_GT(complete.size(), 8192u);
    TempDirectory directory;
    writeSmallDataSet(directory.path(), options);
    TinyFileSystem tiny(directory.path() / "full", "8k");
    if (!tiny.mounted()) GTEST_SKIP() << "no tiny file system here";
    writeTextFile(directory.path() / "Data/inputOutputRunTimeParams.txt",
                  withItemValue(readTextFile(directory.path() / "Data/inputOutputRunTimeParams.txt"),
                                "RESULTS_FILE", "full\\results.out"));
    EXPECT_EQ(
        runCommand(Command::Run),
        (Outcome{1,
                 {"Error: results file full\\results.out could not be written (No space left on device)."}}));
    const std::string written = readTextFile(directory.path() / "full/results.out");
    ASSERT_FALSE(written.empty());
    expectEndsWithCompleteRecord(written, complete);
    expectEndsAtTheEndOfAYear(written, complete);
}

// Under a file-size limit (ulimit -f, or a scheduler's limit) the run and the statistics say which
// file reached it, in the system's words, and leave complete records and no temporary files.
TEST(DurableOutput, AFileSizeLimitIsReportedLikeAFullDisk) {
    SmallDataSetOptions options = everyYear();
    options.numPlots = 3;  // a year's records span plots: the file keeps whole years
    const std::string complete = completeResults(options);
    ASSERT_GT(complete.size(), 8192u);
    TempDirectory directory;
    writeSmallDataSet(directory.path(), options);
    // bash's ulimit -f counts blocks of 1,024 bytes.
    auto limited = [](const std::string& arguments, int blocks) {
        return runCommand("bash -c 'ulimit -f " + std::to_string(blocks) + " && exec \"$0\" \"$@\"' " +
                          DRAVIA_BATCH_PATH + " " + arguments + " 2>&1");
    };
    const CommandResult run = limited("run", 8);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("Error: results file Data\\results.out could not be written (File too large)."),
              std::string::npos)
        << run.output;
    const std::string written = readTextFile(directory.path() / "Data/results.out");
    expectEndsWithCompleteRecord(written, complete);
    expectEndsAtTheEndOfAYear(written, complete);
    EXPECT_GT(written.size(), headerLength(complete)) << "the years that fitted were kept";

    ASSERT_EQ(runCommand(Command::Run), (Outcome{0, {COMPLETED}}));
    const CommandResult stats = limited("stats", 1);
    EXPECT_EQ(stats.status, EXIT_ABNORMAL) << stats.output;
    EXPECT_NE(stats.output.find("errorLog 15: The system is unable to create the file \"Data\\stats.out\"."),
              std::string::npos)
        << stats.output;
    EXPECT_EQ(temporaryFilesBeside(directory.path() / "Data/stats.out"), 0);
}

// A logging file that lost records is set aside when its run ends, and its statistics are refused;
// the next run's file is analysed again.
TEST(DurableOutput, ALoggingFileThatLostRecordsIsNotAnalysed) {
    if (!runningAsRoot()) GTEST_SKIP() << "mounting a tiny file system needs root";
    SmallDataSetOptions options = everyYear();
    options.testDisturb = 1;
    options.blowDown = 1;
    options.firstDisturbYear = 1;
    options.blowFreq = 1;
    options.minDiamLogging = 0.0;
    TempDirectory directory;
    writeSmallDataSet(directory.path(), options);
    TinyFileSystem tiny(directory.path() / "full", "4k");
    if (!tiny.mounted()) GTEST_SKIP() << "no tiny file system here";
    const fs::path runTime = directory.path() / "Data/inputOutputRunTimeParams.txt";
    writeTextFile(runTime,
                  withItemValue(readTextFile(runTime), "DISTURBANCE_RESULTS_FILE", "full\\disturb.out"));
    EXPECT_EQ(
        runCommand(Command::Run),
        (Outcome{1,
                 {"Error: Logging file full\\disturb.out could not be written (No space left on device).",
                  "The logging file full\\disturb.out lost records during the run and is kept as "
                  "full\\disturb.out.incomplete; no statistics are made from it.",
                  COMPLETED}}));
    EXPECT_FALSE(fs::exists(directory.path() / "full/disturb.out"));
    EXPECT_EQ(
        runCommand(Command::Stats),
        (Outcome{1,
                 {"Error: Disturbance results file full\\disturb.out lost records when its run wrote it "
                  "(kept as full\\disturb.out.incomplete).\nRun the simulation again to analyse its "
                  "disturbances."}}));

    // A run whose logging file is whole removes what an earlier run set aside.
    writeTextFile(runTime,
                  withItemValue(readTextFile(runTime), "DISTURBANCE_RESULTS_FILE", "Data\\disturb.out"));
    fs::copy_file(directory.path() / "full/disturb.out.incomplete",
                  directory.path() / "Data/disturb.out.incomplete");
    EXPECT_EQ(runCommand(Command::Run), (Outcome{0, {COMPLETED}}));
    EXPECT_FALSE(fs::exists(directory.path() / "Data/disturb.out.incomplete"));
    EXPECT_EQ(runCommand(Command::Stats).status, 0);
}

TEST(DurableOutput, FullDiskKeepsTheEarlierStatisticsReport) {
    if (!runningAsRoot()) GTEST_SKIP() << "mounting a tiny file system needs root";
    TempDirectory directory;
    writeSmallDataSet(directory.path());
    ASSERT_EQ(runCommand(Command::Run), (Outcome{0, {COMPLETED}}));
    ASSERT_EQ(runCommand(Command::Stats), (Outcome{0, {}}));
    const std::string earlier = readTextFile(directory.path() / "Data/stats.out");
    ASSERT_FALSE(earlier.empty());

    TinyFileSystem tiny(directory.path() / "full", "64k");
    if (!tiny.mounted()) GTEST_SKIP() << "no tiny file system here";
    writeTextFile(directory.path() / "full/stats.out", earlier);
    fill(directory.path() / "full");
    const fs::path copy = directory.path() / "Data/statsInputOutputRunTimeParams.txt";
    writeTextFile(copy, withItemValue(readTextFile(copy), "STATS_RESULTS_FILE", "full\\stats.out"));

    EXPECT_EQ(runCommand(Command::Stats),
              (Outcome{3, {"errorLog 15: The system is unable to create the file \"full\\stats.out\"."}}));
    EXPECT_EQ(readTextFile(directory.path() / "full/stats.out"), earlier);
    EXPECT_EQ(temporaryFilesBeside(directory.path() / "full/stats.out"), 0);
}

TEST(DurableOutput, FullDiskLeavesNoStatisticsCopies) {
    if (!runningAsRoot()) GTEST_SKIP() << "mounting a tiny file system needs root";
    TempDirectory directory;
    SmallDataSetOptions options;
    writeSmallDataSet(directory.path(), options);
    // The results go beside Data, which becomes a small file system of its own.
    const fs::path data = directory.path() / "Data";
    std::string runTime = readTextFile(data / "inputOutputRunTimeParams.txt");
    for (const char* item : {"RESULTS_FILE", "AFTER_DISTURBANCE_RESULTS_FILE", "DISTURBANCE_RESULTS_FILE"})
        runTime = withItemValue(runTime, item, std::string(item) + ".out");
    writeTextFile(data / "inputOutputRunTimeParams.txt", runTime);
    fs::rename(data, directory.path() / "inputs");
    TinyFileSystem tiny(data, "64k");
    if (!tiny.mounted()) GTEST_SKIP() << "no tiny file system here";
    for (const auto& entry : fs::directory_iterator(directory.path() / "inputs"))
        fs::copy_file(entry.path(), data / entry.path().filename());
    fill(data);

    EXPECT_EQ(runCommand(Command::Run), (Outcome{1,
                                                 {"errorLog 15: The system is unable to create the file "
                                                  "\"Data\\statsInputOutputRunTimeParams.txt\"."}}));
    // No copy, half-written or whole, claims the results of a run that could not complete.
    EXPECT_FALSE(fs::exists(data / "statsInputOutputRunTimeParams.txt"));
    EXPECT_FALSE(fs::exists(data / "statsInitParams.txt"));
    EXPECT_EQ(temporaryFilesBeside(data / "statsInputOutputRunTimeParams.txt"), 0);
    EXPECT_FALSE(readTextFile(directory.path() / "RESULTS_FILE.out").empty());
}

// Starts dravia4-batch run in the directory; its output goes nowhere.
pid_t startRun(const fs::path& directory) {
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        if (chdir(directory.c_str()) != 0) _exit(126);
        execl(DRAVIA_BATCH_PATH, DRAVIA_BATCH_PATH, "run", static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// Two working directories whose runs name one results file by its absolute path: the run that
// comes second is refused before it writes, and the first run's file is whole and its own.
TEST(DurableOutput, ASecondRunIntoAResultsFileInUseIsRefused) {
    SmallDataSetOptions options;
    options.numYears = 2000;
    options.numPlots = 4;
    options.printInterv = 4;
    options.resultsInterv = 4;
    const std::string complete = completeResults(options);
    TempDirectory shared;
    const std::string results = (shared.path() / "results.out").string();
    TempDirectory first;
    TempDirectory second;
    for (const TempDirectory* directory : {&first, &second}) {
        writeSmallDataSet(directory->path(), options);
        const fs::path runTime = directory->path() / "Data/inputOutputRunTimeParams.txt";
        writeTextFile(runTime, withItemValue(readTextFile(runTime), "RESULTS_FILE", results));
    }
    const pid_t child = startRun(first.path());
    ASSERT_GT(child, 0);
    for (int wait = 0; wait < 5000 && !(fs::exists(results) && fs::file_size(results) > 0); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // The first run is held still while the second one tries, so that it is surely running.
    kill(child, SIGSTOP);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(status)) << "the first run ended before the second one started";
    const CommandResult refused = runCommand(std::string(DRAVIA_BATCH_PATH) + " run 2>&1");
    kill(child, SIGCONT);
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the first run did not complete";
    EXPECT_EQ(refused.status, 1) << refused.output;
    EXPECT_NE(refused.output.find("Error: the output file " + results +
                                  " is being written by another run (it is locked)."),
              std::string::npos)
        << refused.output;
    EXPECT_EQ(readTextFile(results), complete);
    // Once the first run has ended, the second one runs.
    EXPECT_EQ(runCommand(Command::Run), (Outcome{0, {COMPLETED}}));
}

}  // namespace
}  // namespace dravia::test

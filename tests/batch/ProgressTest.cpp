#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "batch/BatchTestSupport.h"
#include "batch/HeadlessHost.h"
#include "batch/ProgressBar.h"
#include "model/ModelState.h"

namespace dravia {
namespace {

TEST(ProgressLine, ShowsBarShareIterationYearAndTimes) {
    const RunProgress progress{2, 4, 50, 100};  // 1.5 of 4 iterations: 37.5 %
    EXPECT_DOUBLE_EQ(progress.fraction(), 0.375);
    const std::string line = ProgressBar::lineText(progress, 30.0, 80);
    const std::string figures = "  37%  iteration 2/4  year 50/100  elapsed 0:30  remaining 0:50";
    ASSERT_GE(line.size(), figures.size());
    EXPECT_EQ(line.substr(line.size() - figures.size()), figures);
    EXPECT_EQ(line.size(), 79u);  // one column short of the width
    const size_t barWidth = line.size() - figures.size() - 2;
    EXPECT_EQ(line.front(), '[');
    EXPECT_EQ(line[barWidth + 1], ']');
    EXPECT_EQ(line.substr(1, barWidth).find('.'), static_cast<size_t>(0.375 * barWidth));
}

TEST(ProgressLine, DurationsAndTheEnds) {
    EXPECT_EQ(ProgressBar::durationText(0.4), "0:00");
    EXPECT_EQ(ProgressBar::durationText(61.0), "1:01");
    EXPECT_EQ(ProgressBar::durationText(3725.0), "1:02:05");
    EXPECT_NE(ProgressBar::lineText({1, 3, 0, 10}, 0.0, 80).find("remaining --:--"), std::string::npos);
    const std::string done = ProgressBar::lineText({3, 3, 10, 10}, 12.0, 80);
    EXPECT_NE(done.find("100%"), std::string::npos);
    EXPECT_NE(done.find("remaining 0:00"), std::string::npos);
    EXPECT_EQ(done.find('.'), std::string::npos);
}

// The bar redraws at most every tenth of a second, always at the last year, then ends its line;
// a message takes the bar off its line first.
TEST(ProgressBarDrawing, ThrottledRedrawsAndAFinalLine) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&buffer, &size);
    double now = 100.0;
    {
        HeadlessHost host(stream, stream);
        host.showProgress(80, [&now] { return now; });
        ModelState model;
        model.params.NUM_ITERS = 2;
        model.params.NUM_YEARS = 3;
        model.run.CURRENT_ITERATION = 1;
        for (int year = 1; year <= 3; ++year) {
            model.run.CURRENT_YEAR = year;
            host.yearCompleted(model);  // same instant: only the first is drawn
        }
        now += 0.5;
        host.showMessage("Note", MessageIcon::None);
        model.run.CURRENT_ITERATION = 2;
        model.run.CURRENT_YEAR = 1;
        host.yearCompleted(model);
        model.run.CURRENT_YEAR = 3;
        host.yearCompleted(model);
    }
    std::fclose(stream);
    const std::string text(buffer, size);
    std::free(buffer);
    EXPECT_NE(text.find("iteration 1/2  year 1/3"), std::string::npos) << text;
    EXPECT_EQ(text.find("iteration 1/2  year 2/3"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\033[KDravia4: Note\n"), std::string::npos) << text;
    EXPECT_NE(text.find("iteration 2/2  year 1/3"), std::string::npos) << text;
    EXPECT_NE(text.find(" 100%  iteration 2/2  year 3/3  elapsed 0:01  remaining 0:00\033[K\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.back(), '\n');
}

TEST(ProgressInTheBatchTool, NothingExtraWhenStderrIsNotATerminal) {
    test::TempDirectory directory;
    test::shippedScenario(directory.path());
    const auto result =
        test::runCommand(test::batchTool() + " run --years 40 --iterations 2 2>&1 >/dev/null");
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output, "Dravia4: Simulation Completed.\n");
}

TEST(ProgressInTheBatchTool, ShownOnATerminal) {
    test::TempDirectory directory;
    test::shippedScenario(directory.path());
    int terminal = -1;
    winsize size{};
    size.ws_col = 100;
    size.ws_row = 24;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(DRAVIA_BATCH_PATH, DRAVIA_BATCH_PATH, "run", "--years", "40", "--iterations", "3",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string output;
    char buffer[4096];
    ssize_t n;
    while ((n = read(terminal, buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<size_t>(n));
    close(terminal);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    EXPECT_NE(output.find("\r["), std::string::npos) << output;
    EXPECT_NE(output.find("100%  iteration 3/3  year 40/40  elapsed "), std::string::npos) << output;
    EXPECT_NE(output.find("Dravia4: Simulation Completed."), std::string::npos) << output;
}

}  // namespace
}  // namespace dravia

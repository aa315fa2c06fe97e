// A run that leaves no complete run database keeps the earlier run's: the Charts item, the charts
// and the list of runs call it the earlier run, never the last one.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <algorithm>
#include <filesystem>

#include "ChartTestDatabase.h"
#include "WindowDriving.h"
#include "app/ChartsWindow.h"
#include "app/RunsDialog.h"
#include "output/rundb/Completeness.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/RunLibrary.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

using test::ShippedData;

TEST_F(ShippedData, AFailedRunLeavesTheEarlierRunNamedAsSuch) {
    MainWnd window;
    window.show();
    ModelState& model = window.model();
    model.params.NUM_YEARS = 10;
    model.params.NUM_ITERS = 2;
    test::FakeTime time(window);
    window.commandAction(CMD_RUN)->trigger();
    ASSERT_TRUE(isCompleteRunDatabase(STANDARD_RUN_DATABASE_NAME));
    QAction* charts = window.commandAction(CMD_CHARTS);
    window.updateCommandStates();
    EXPECT_TRUE(charts->toolTip().startsWith(QStringLiteral("Charts of the last run")))
        << charts->toolTip().toStdString();

    // The library folder taken by a file: the next run cannot write its database.
    ASSERT_TRUE(QDir().rename(QStringLiteral("runs"), QStringLiteral("runs-kept")));
    {
        QFile blocker(QStringLiteral("runs"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    model.params.NUM_ITERS = 1;
    window.commandAction(CMD_RUN)->trigger();
    EXPECT_NE(std::find_if(time.messages.begin(), time.messages.end(),
                           [](const std::string& text) {
                               return text.find("The run goes on without it") != std::string::npos;
                           }),
              time.messages.end());
    ASSERT_TRUE(isCompleteRunDatabase(STANDARD_RUN_DATABASE_NAME));  // the earlier run's, kept
    window.updateCommandStates();
    EXPECT_TRUE(charts->isEnabled());
    EXPECT_TRUE(charts->toolTip().startsWith(QStringLiteral("Charts of the earlier run \u201c")))
        << charts->toolTip().toStdString();
    EXPECT_TRUE(charts->toolTip().contains(QStringLiteral("the last run left no complete run database")));
    charts->trigger();
    auto* chartsWindow = window.findChild<ChartsWindow*>();
    ASSERT_NE(chartsWindow, nullptr);
    EXPECT_EQ(chartsWindow->data()->iterations, 2);  // the earlier run's, not the last run's one
    EXPECT_TRUE(
        chartsWindow->page(ChartKind::BasalArea)->subtitle().startsWith(QStringLiteral("Earlier run: ")));
    EXPECT_TRUE(chartsWindow->windowTitle().contains(QStringLiteral("Earlier run")));
    chartsWindow->close();

    // The list of runs names it so too.
    ASSERT_TRUE(QFile::remove(QStringLiteral("runs")));
    ASSERT_TRUE(QDir().rename(QStringLiteral("runs-kept"), QStringLiteral("runs")));
    RunsDialog dialog(&window);
    dialog.setLastRunFailed(true);
    ASSERT_EQ(dialog.table()->rowCount(), 1);
    EXPECT_TRUE(dialog.table()->item(0, 3)->text().endsWith(
        QStringLiteral("earlier run, shown by Charts (the last run failed)")))
        << dialog.table()->item(0, 3)->text().toStdString();
}

// Without being told, the list sees an earlier run by a newer run in the library.
TEST(RunsList, TheRunChartsShowsIsMarkedLastOrEarlier) {
    test::TempDirectory directory;
    std::filesystem::create_directory("runs");
    const char* starts[] = {"2026-01-01T10:00:00Z", "2026-01-01T11:00:00Z"};
    const char* files[] = {"runs/20260101-100000-a.sqlite", "runs/20260101-110000-b.sqlite"};
    for (int k = 0; k < 2; ++k) {
        test::ChartTestDatabase database(files[k]);
        test::writeTwoSpeciesRun(database);
        database.execute(std::string("UPDATE run SET started_utc = '") + starts[k] + "'");
    }
    struct Case {
        const char* shown;  // the library file the working directory's database is a copy of
        int row;            // its row, newest first
        const char* state;
    };
    for (const Case& row :
         {Case{files[1], 0, "completed \u00b7 last run, shown by Charts"},
          Case{files[0], 1, "completed \u00b7 earlier run, shown by Charts (the last run failed)"}}) {
        std::filesystem::copy_file(row.shown, STANDARD_RUN_DATABASE_NAME,
                                   std::filesystem::copy_options::overwrite_existing);
        RunsDialog dialog;
        ASSERT_EQ(dialog.table()->rowCount(), 2);
        EXPECT_EQ(dialog.table()->item(row.row, 3)->text().toStdString(), row.state);
        EXPECT_EQ(dialog.table()->item(1 - row.row, 3)->text().toStdString(), "completed");
    }
}

}  // namespace
}  // namespace dravia

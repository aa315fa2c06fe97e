// A class compares two scenarios with the run library: a normal run, a warming run and a run quit
// early, each kept under its own name; the list charts, renames, combines and deletes them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "DialogTestSupport.h"
#include "WindowDriving.h"
#include "app/ChartsWindow.h"
#include "app/CommunitiesDialog.h"
#include "app/RunsDialog.h"
#include "output/rundb/Completeness.h"
#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/RunLibrary.h"

namespace dravia {
namespace {

using test::FakeTime;
using test::ShippedData;

// Short runs without display or pauses: two iterations of 15 years.
void shortenRun(ModelState& model) {
    RunParameters& p = model.params;
    p.NUM_YEARS = 15;
    p.NUM_ITERS = 2;
    p.SCREEN_OUTPUT_MODE = 3;
    p.PAUSE_AT_INTERVALS = 0;
    p.PAUSE_EVERY_ITERATION = 0;
}

ino_t inodeOf(const std::string& file) {
    struct stat info {};
    EXPECT_EQ(stat(file.c_str(), &info), 0) << file;
    return info.st_ino;
}

std::string scenarioIn(const std::string& file) {
    DatabaseConnection db(file, true);
    DatabaseStatement run = db.prepare("SELECT scenario FROM run");
    return run.nextRow() ? run.textColumn(0) : std::string();
}

int rowOf(const RunsDialog& dialog, const std::string& path) {
    for (size_t row = 0; row < dialog.rows().size(); ++row)
        if (dialog.rows()[row].path == path) return static_cast<int>(row);
    ADD_FAILURE() << path << " is not listed";
    return 0;
}

std::vector<std::string> cellsOfRow(const RunsDialog& dialog, int row) {
    std::vector<std::string> cells;
    for (int column = 0; column < dialog.table()->columnCount(); ++column)
        cells.push_back(dialog.table()->item(row, column)->text().toStdString());
    return cells;
}

void saveShot(QWidget& widget, const char* name) {
    widget.show();
    QApplication::processEvents();
    EXPECT_TRUE(widget.grab().save(test::artefactPath(QString::fromLatin1(name)))) << name;
}

TEST_F(ShippedData, EveryRunIsKeptUnderItsNameAndTheLastIsTheWorkingDirectorysDatabase) {
    MainWnd window;
    window.resize(1024, 700);
    window.show();
    ModelState& model = window.model();
    FakeTime time(window);
    QMessageBox::StandardButton answer = QMessageBox::No;  // to the questions the list asks
    time.onBox = [&](QMessageBox* box) {
        if (!box->button(QMessageBox::Yes)) return false;
        box->button(answer)->click();
        return true;
    };

    shortenRun(model);
    window.commandAction(CMD_RUN)->trigger();
    const std::vector<LibraryEntry> afterNormal = readRunLibrary(RUN_LIBRARY_FOLDER);
    ASSERT_EQ(afterNormal.size(), 1u);
    const std::string normal = afterNormal[0].path;
    EXPECT_EQ(inodeOf(STANDARD_RUN_DATABASE_NAME), inodeOf(normal));

    test::withNextModal([&] { window.commandAction(CMD_COMMUNITIES)->trigger(); },
                        [&](QWidget* modal) {
                            auto* dialog = qobject_cast<CommunitiesDialog*>(modal);
                            ASSERT_NE(dialog, nullptr);
                            dialog->climateList()->setCurrentIndex(1);
                            dialog->buttons()->button(QDialogButtonBox::Ok)->click();
                        });
    shortenRun(model);
    window.commandAction(CMD_RUN)->trigger();

    // A third run, quit in its first iteration.
    time.onTick = [&] {
        if (model.run.flags.running && model.run.CURRENT_YEAR == 5) window.quitRun();
    };
    window.commandAction(CMD_RUN)->trigger();
    time.onTick = {};

    const std::vector<LibraryEntry> library = readRunLibrary(RUN_LIBRARY_FOLDER);
    ASSERT_EQ(library.size(), 3u);
    const std::string warming = library[1].path, quit = library[2].path;
    EXPECT_EQ(library[0].path, normal);
    // Named by community and climate, first in the name and in the file name after the start time.
    const std::string normalName = "Northern hardwoods NH \xC2\xB7 Normal climate";
    const std::string warmingName = "Northern hardwoods NH \xC2\xB7 Warming +3.6 C over 100 yr";
    EXPECT_EQ(library[0].scenario.rfind(normalName, 0), 0u) << library[0].scenario;
    EXPECT_EQ(library[1].scenario.rfind(warmingName, 0), 0u) << library[1].scenario;
    EXPECT_EQ(library[0].fileName.find("-Northern_hardwoods_NH_Normal_climate"), 15u) << library[0].fileName;
    EXPECT_EQ(library[1].fileName.find("-Northern_hardwoods_NH_Warming_3_6_C_over_100_yr"), 15u)
        << library[1].fileName;
    EXPECT_TRUE(isCompleteRunDatabase(normal));
    EXPECT_TRUE(isCompleteRunDatabase(warming));
    EXPECT_FALSE(library[2].completed);
    // The quit run is the last run: the working directory's database is that file.
    EXPECT_EQ(inodeOf(STANDARD_RUN_DATABASE_NAME), inodeOf(quit));

    // Statistics > Runs...: newest first; the quit run cannot be charted, and says why.
    test::withNextModal([&] { window.commandAction(CMD_RUNS)->trigger(); },
                        [&](QWidget* modal) {
                            auto* runs = qobject_cast<RunsDialog*>(modal);
                            ASSERT_NE(runs, nullptr);
                            ASSERT_EQ(runs->rows().size(), 3u);
                            EXPECT_EQ(runs->rows()[0].path, quit);
                            const std::vector<std::string> quitRow = cellsOfRow(*runs, 0);
                            EXPECT_EQ(quitRow[2], "2 \xC3\x97 1 \xC3\x97 15") << quitRow[2];
                            EXPECT_EQ(quitRow[3], "quit in iteration 1 of 2");
                            EXPECT_FALSE(runs->chartsButton()->isEnabled());
                            EXPECT_TRUE(runs->chartsButton()->toolTip().contains(QStringLiteral("was quit")));
                            EXPECT_TRUE(runs->selectionNote()->text().contains(QStringLiteral("was quit")));
                            saveShot(*runs, "runs-list.png");
                            EXPECT_EQ(cellsOfRow(*runs, rowOf(*runs, warming))[3], "completed");
                            runs->selectRows({rowOf(*runs, warming)});
                            ASSERT_TRUE(runs->chartsButton()->isEnabled());
                            runs->chartsButton()->click();
                        });
    auto* charts = window.findChild<ChartsWindow*>();
    ASSERT_NE(charts, nullptr);
    EXPECT_TRUE(charts->isVisible());
    ASSERT_NE(charts->data(), nullptr);
    EXPECT_EQ(charts->data()->file,
              QDir::current().absoluteFilePath(QString::fromStdString(warming)).toStdString());
    charts->close();

    RunsDialog runs(&window);
    runs.show();
    // A rename changes the name in the database, never the file; a name a list cannot show is refused.
    const std::string classroomName = "Warming <b>3B</b>";
    struct Rename {
        QString typed;
        std::string kept;
    } renames[] = {{QString::fromStdString(classroomName), classroomName}, {QString(), classroomName}};
    for (const Rename& rename : renames) {
        runs.selectRows({rowOf(runs, warming)});
        test::withNextModal([&] { runs.renameButton()->click(); },
                            [&](QWidget* modal) {
                                auto* input = qobject_cast<QInputDialog*>(modal);
                                ASSERT_NE(input, nullptr);
                                input->setTextValue(rename.typed);
                                input->accept();
                            });
        EXPECT_EQ(scenarioIn(warming), rename.kept);
        EXPECT_EQ(cellsOfRow(runs, rowOf(runs, warming))[0], rename.kept);
    }
    EXPECT_NE(time.messages.back().find("cannot take that name"), std::string::npos) << time.messages.back();

    // Combine the two completed runs into a study database; the quit one may not join them.
    runs.selectRows({rowOf(runs, quit), rowOf(runs, normal)});
    EXPECT_FALSE(runs.combineButton()->isEnabled());
    runs.selectRows({rowOf(runs, warming), rowOf(runs, normal)});
    const QString study = QDir::current().absoluteFilePath(QStringLiteral("study.sqlite"));
    test::withNextModal([&] { runs.combineButton()->click(); },
                        [&](QWidget* modal) {
                            auto* chooser = qobject_cast<QFileDialog*>(modal);
                            ASSERT_NE(chooser, nullptr);
                            chooser->selectFile(study);
                            static_cast<QDialog*>(chooser)->accept();  // as its Save button does
                        });
    {
        DatabaseConnection db(study.toStdString(), true);
        DatabaseStatement names = db.prepare("SELECT scenario FROM run ORDER BY scenario");
        std::vector<std::string> combined;
        while (names.nextRow()) combined.push_back(names.textColumn(0));
        EXPECT_EQ(combined, (std::vector<std::string>{scenarioIn(normal), classroomName}));
    }

    // Deleting asks first; No keeps the run.
    for (const QMessageBox::StandardButton given : {QMessageBox::No, QMessageBox::Yes}) {
        answer = given;
        runs.selectRows({rowOf(runs, normal)});
        const size_t asked = time.messages.size();
        runs.deleteButton()->click();
        ASSERT_EQ(time.messages.size(), asked + 1);
        EXPECT_NE(time.messages.back().find("Delete the run"), std::string::npos);
        EXPECT_EQ(QFileInfo::exists(QString::fromStdString(normal)), given == QMessageBox::No);
    }
    EXPECT_EQ(runs.rows().size(), 2u);

    // Past its warning size the list offers to delete the oldest runs, never the last.
    RunsDialog full(&window, libraryBytes(readRunLibrary(RUN_LIBRARY_FOLDER)) - 1);
    EXPECT_TRUE(full.deleteOldestButton()->isVisibleTo(&full));
    saveShot(full, "runs-library-full.png");
    answer = QMessageBox::Yes;
    full.deleteOldestButton()->click();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(warming)));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(quit)));
    EXPECT_FALSE(full.deleteOldestButton()->isVisibleTo(&full));
    EXPECT_EQ(inodeOf(STANDARD_RUN_DATABASE_NAME), inodeOf(quit));
}

}  // namespace
}  // namespace dravia

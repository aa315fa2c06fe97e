#include <gtest/gtest.h>

#include <QAction>
#include <QAreaSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QMessageBox>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "ChartTestDatabase.h"
#include "DialogTestSupport.h"
#include "app/ChartsWindow.h"
#include "app/MainWnd.h"

namespace dravia {
namespace {

const QColor MAPLE_BLUE(0, 0, 255);  // colour index 1

class ChartsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ChartTestDatabase database(directory.path() / "run.sqlite");
        test::writeTwoSpeciesRun(database);
        window.show();
        ASSERT_TRUE(window.openDatabase(QStringLiteral("run.sqlite")));
        QApplication::processEvents();
    }
    test::TempDirectory directory;
    ChartsWindow window;
};

// A species unticked in one chart's list is gone from every chart, and comes back.
TEST_F(ChartsWindowTest, UntickingASpeciesHidesItOnEveryChart) {
    ASSERT_EQ(window.tabs()->count(), 7);  // six charts and Compare
    for (int tab = 0; tab < window.tabs()->count(); ++tab) {
        window.tabs()->setCurrentIndex(tab);
        test::saveArtefact(
            window, QStringLiteral("charts-window-%1.png").arg(window.tabs()->currentWidget()->objectName()));
    }
    ChartPage* stems = window.page(ChartKind::Stems);
    stems->speciesList()->item(0, 0)->setCheckState(Qt::Unchecked);
    QApplication::processEvents();
    EXPECT_FALSE(window.speciesVisible(1));
    for (const ChartKind kind : {ChartKind::BasalArea, ChartKind::Biomass, ChartKind::Stems}) {
        QChart* chart = window.page(kind)->chart();
        int maple = 0;
        for (QAbstractSeries* series : chart->series())
            maple += series->objectName().contains(QStringLiteral("Sugar maple"));
        EXPECT_EQ(maple, 0);
        EXPECT_EQ(window.page(kind)->speciesList()->item(0, 0)->checkState(), Qt::Unchecked);
    }
    EXPECT_EQ(window.page(ChartKind::Composition)->chart()->series().size(), 1);
    const auto* bars =
        qobject_cast<QStackedBarSeries*>(window.page(ChartKind::Diameters)->chart()->series().at(0));
    EXPECT_EQ(bars->count(), 1);
    window.page(ChartKind::BasalArea)->speciesList()->item(0, 0)->setCheckState(Qt::Checked);
    QApplication::processEvents();
    EXPECT_TRUE(window.speciesVisible(1));
    EXPECT_EQ(window.page(ChartKind::Composition)->chart()->series().size(), 2);
}

TEST_F(ChartsWindowTest, YearListChoosesTheDiameterClassesAndSaveTakesTheCurrentTab) {
    QComboBox* years = window.diameterYears();
    ASSERT_EQ(years->count(), 2);
    EXPECT_EQ(years->currentText().toStdString(), "20");
    years->setCurrentIndex(0);
    EXPECT_TRUE(window.page(ChartKind::Diameters)->chart()->title().contains(QStringLiteral("year 10")));
    window.tabs()->setCurrentIndex(5);
    ASSERT_TRUE(window.saveImage(QStringLiteral("diameters.png")));
    EXPECT_EQ(QImage(QStringLiteral("diameters.png")).size(), QSize(1200, 800));
    ASSERT_TRUE(window.saveImage(QStringLiteral("diameters@2x.png"), 2));
    EXPECT_EQ(QImage(QStringLiteral("diameters@2x.png")).size(), QSize(2400, 1600));
    // Diameter classes are of one year: there are no years to export.
    EXPECT_EQ(window.chartData(), "");
}

TEST_F(ChartsWindowTest, UnreadableDatabaseIsNamedAndTheChartsStay) {
    test::writeTextFile(directory.path() / "broken.sqlite", "no database here\n");
    test::withNextModal([&] { EXPECT_FALSE(window.openDatabase(QStringLiteral("broken.sqlite"))); },
                        [](QWidget* modal) {
                            auto* box = qobject_cast<QMessageBox*>(modal);
                            ASSERT_NE(box, nullptr);
                            EXPECT_TRUE(box->text().contains(QStringLiteral("\"broken.sqlite\"")))
                                << box->text().toStdString();
                        });
    EXPECT_EQ(window.data()->file, "run.sqlite");
}

TEST(ChartsMenu, EnabledOnlyWithACompleteRunDatabase) {
    test::TempDirectory directory;
    MainWnd window([](ModelState& model) { test::fillDisplayModel(model); });
    QAction* charts = window.commandAction(CMD_CHARTS);
    ASSERT_NE(charts, nullptr);
    for (QObject* owner : charts->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(owner)) {
            EXPECT_TRUE(menu->toolTipsVisible());
        }
    }
    // The reason, and the keys that open the charts once they can be.
    const std::string why =
        "No complete run database in the working directory: run a simulation first. (Ctrl+Shift+C)";
    window.updateCommandStates();
    EXPECT_FALSE(charts->isEnabled());
    EXPECT_EQ(charts->toolTip().toStdString(), why);
    {
        test::ChartTestDatabase database(directory.path() / STANDARD_RUN_DATABASE_NAME);
        test::writeTwoSpeciesRun(database);
        database.run(2, 4, 1, 1, 0);  // a part still running
        window.updateCommandStates();
        EXPECT_FALSE(charts->isEnabled());
        EXPECT_EQ(charts->toolTip().toStdString(), why);
        database.execute("UPDATE run SET completed = 1");
    }
    window.updateCommandStates();
    EXPECT_TRUE(charts->isEnabled());
    EXPECT_NE(charts->toolTip().toStdString(), why);
    window.model().run.flags.running = true;  // the next run is rewriting the database
    window.updateCommandStates();
    EXPECT_FALSE(charts->isEnabled());
    window.model().run.flags.running = false;
    window.updateCommandStates();

    charts->trigger();
    charts->trigger();
    const QList<ChartsWindow*> opened = window.findChildren<ChartsWindow*>();
    ASSERT_EQ(opened.size(), 1);  // one window, shown again
    EXPECT_TRUE(opened.at(0)->isVisible());
    EXPECT_FALSE(opened.at(0)->isModal());
}

}  // namespace
}  // namespace dravia

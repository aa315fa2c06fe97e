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
#include <QTest>

#include "ChartTestDatabase.h"
#include "DialogTestSupport.h"
#include "app/ChartsWindow.h"
#include "app/MainWnd.h"

namespace dravia {
namespace {

const QColor MAPLE_BLUE(0, 0, 255);  // colour index 1

// The series of a chart that belong to a species: its mean line and its band.
std::vector<QAbstractSeries*> speciesSeries(QChart* chart, int species) {
    std::vector<QAbstractSeries*> found;
    for (QAbstractSeries* series : chart->series()) {
        if (series->property("species").toInt() == species) found.push_back(series);
    }
    return found;
}

int visibleSeries(QChart* chart, int species) {
    int visible = 0;
    for (QAbstractSeries* series : speciesSeries(chart, species)) visible += series->isVisible();
    return visible;
}

// Pixels of exactly the colour inside the plot area, where the curves are.
int plotPixels(ChartPage& page, const QColor& colour) {
    const QImage image = page.views().at(0)->grab().toImage();
    const QRect plot = page.chart()->plotArea().toRect();
    int count = 0;
    for (int y = plot.top(); y <= plot.bottom(); ++y) {
        for (int x = plot.left(); x <= plot.right(); ++x) count += image.pixelColor(x, y) == colour;
    }
    return count;
}

// Clicks a legend entry with the mouse, on its label, as a user does.
void clickLegendEntry(ChartPage& page, const QString& name) {
    QChartView* view = page.views().at(0);
    std::vector<QGraphicsItem*> items{page.chart()->legend()};
    while (!items.empty()) {
        QGraphicsItem* item = items.back();
        items.pop_back();
        const auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (text && text->toPlainText() == name && text->isVisible()) {
            const QPoint centre = view->mapFromScene(text->sceneBoundingRect().center());
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
            QApplication::processEvents();
            return;
        }
        for (QGraphicsItem* child : item->childItems()) items.push_back(child);
    }
    ADD_FAILURE() << "no legend entry " << name.toStdString();
}

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

TEST_F(ChartsWindowTest, ClickingALegendEntryHidesTheSpeciesOnEveryChart) {
    ASSERT_EQ(window.tabs()->count(), 6);
    ChartPage* basalArea = window.page(ChartKind::BasalArea);
    EXPECT_EQ(visibleSeries(basalArea->chart(), 1), 2);  // mean line and band
    EXPECT_GT(plotPixels(*basalArea, MAPLE_BLUE), 50);
    for (int tab = 0; tab < window.tabs()->count(); ++tab) {
        window.tabs()->setCurrentIndex(tab);
        test::saveArtefact(window, QStringLiteral("charts-window-%1.png").arg(RUN_CHARTS[tab].name));
    }

    window.tabs()->setCurrentIndex(0);
    QApplication::processEvents();
    clickLegendEntry(*basalArea, QStringLiteral("Sugar maple"));
    EXPECT_FALSE(window.speciesVisible(1));
    EXPECT_EQ(visibleSeries(basalArea->chart(), 1), 0);
    // The band is gone; the line stays, hidden, for its legend entry.
    EXPECT_EQ(speciesSeries(basalArea->chart(), 1).size(), 1u);
    EXPECT_EQ(visibleSeries(basalArea->chart(), 2), 2);
    EXPECT_EQ(visibleSeries(window.page(ChartKind::Composition)->chart(), 1), 0);
    const auto* bars =
        qobject_cast<QStackedBarSeries*>(window.page(ChartKind::Diameters)->chart()->series().at(0));
    EXPECT_EQ(bars->barSets().at(0)->sum(), 0.0);
    window.tabs()->setCurrentIndex(0);
    test::saveArtefact(window, QStringLiteral("charts-window-maple-hidden.png"));
    EXPECT_EQ(plotPixels(*basalArea, MAPLE_BLUE), 0);

    // Its pale legend entry brings it back.
    window.tabs()->setCurrentIndex(2);
    QApplication::processEvents();
    clickLegendEntry(*window.page(ChartKind::Stems), QStringLiteral("Sugar maple"));
    EXPECT_TRUE(window.speciesVisible(1));
    EXPECT_EQ(visibleSeries(window.page(ChartKind::BasalArea)->chart(), 1), 2);
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

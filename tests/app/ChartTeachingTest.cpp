// Charts a class can read: one species in focus, colours that stand out from white, captions that
// say what the shading is, and two scenarios compared through the interval of their difference.
#include <gtest/gtest.h>

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>
#include <cmath>
#include <set>
#include <sstream>

#include "ChartTestDatabase.h"
#include "DialogTestSupport.h"
#include "app/ChartStyle.h"
#include "app/ChartsWindow.h"
#include "app/ComparisonCharts.h"
#include "app/RunComparison.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

// One plot per iteration, so that an iteration's mean plot is its own value: the basal area of
// Sugar maple (species 1) at each year is `values[iteration]` plus `step` times the year's place.
void writeIterationRun(const std::filesystem::path& file, const std::vector<double>& values,
                       const std::vector<int>& years, double step = 0.0) {
    test::ChartTestDatabase database(file);
    database.run(1, 1, static_cast<int>(values.size()), 1);
    database.species(1, "Sugar_maple", 1);
    for (size_t i = 0; i < values.size(); ++i) {
        const int iteration = static_cast<int>(i) + 1;
        for (size_t y = 0; y < years.size(); ++y) {
            const double value = values[i] + step * static_cast<double>(y);
            database.plotYear(iteration, years[y], 1);
            database.stand(iteration, years[y], 1, 1, 100.0 * value, value, 10.0 * value);
        }
    }
}

std::vector<std::vector<std::string>> csvRows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(csv);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        std::vector<std::string> cells;
        std::istringstream fields(line);
        std::string cell;
        while (std::getline(fields, cell, ',')) cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

template <typename Series>
Series* seriesNamed(QChart* chart, const QString& name) {
    for (QAbstractSeries* series : chart->series()) {
        if (series->objectName() == name) return qobject_cast<Series*>(series);
    }
    return nullptr;
}

int seriesCount(QChart* chart, const QString& prefix) {
    int count = 0;
    for (QAbstractSeries* series : chart->series()) count += series->objectName().startsWith(prefix);
    return count;
}

// Every series colour stands out from white by 3:1; beyond the colours, the line pattern tells
// apart the species of a community of 13.
TEST(ChartStyle, EveryColouredLineStandsOutFromWhiteAndThirteenSeriesDiffer) {
    for (size_t position = 0; position < CHART_COLOUR_COUNT; ++position)
        EXPECT_GE(contrastRatio(chartColour(position), CHART_BACKGROUND), 3.0) << position;
    EXPECT_GE(contrastRatio(CONTEXT_GREY, CHART_BACKGROUND), 3.0);
    // The ratio itself: black on white is 21:1, white on white 1:1, mid grey #777 about 4.48:1.
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(Qt::white, Qt::white), 1.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    std::set<std::pair<QRgb, int>> looks;
    for (size_t position = 0; position < 13; ++position)
        looks.insert({seriesColour(position).rgb(), static_cast<int>(seriesLineStyle(position))});
    EXPECT_EQ(looks.size(), 13u);
}

class FocusWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        {
            test::ChartTestDatabase database(directory.path() / "run.sqlite");
            test::writeTwoSpeciesRun(database);
            // In the species file but on no plot: not listed.
            database.species(7, "Red_spruce", 3);
        }
        window.resize(1100, 720);
        window.show();
        ASSERT_TRUE(window.openDatabase(QStringLiteral("run.sqlite")));
        QApplication::processEvents();
    }
    test::TempDirectory directory;
    ChartsWindow window;
};

TEST_F(FocusWindow, OneSpeciesInFocusHasItsBandTheOthersAreThinGreyLines) {
    ChartPage* page = window.page(ChartKind::BasalArea);
    QTableWidget* list = page->speciesList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->rowCount(), 2);  // only the species present
    EXPECT_EQ(list->item(0, 0)->text().toStdString(), "Sugar maple");
    EXPECT_EQ(list->item(1, 0)->text().toStdString(), "Balsam fir");

    // None in focus: two coloured lines, no band; the axis fits the means (maple's top is 2 at
    // year 20, fir's 4), not the bands (maple's upper bound at year 20 is 4 + 4.303 × 1 = 8.3).
    QChart* chart = page->chart();
    EXPECT_EQ(seriesCount(chart, QStringLiteral("band:")), 0);
    EXPECT_EQ(seriesCount(chart, QStringLiteral("mean:")), 2);
    const auto* axis = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).at(0));
    EXPECT_LT(axis->max(), 6.0);
    EXPECT_GE(axis->max(), 4.0);
    EXPECT_TRUE(page->caption().startsWith(QStringLiteral("Lines: averages of 3 iterations of 1 plot")))
        << page->caption().toStdString();
    test::saveArtefact(window, QStringLiteral("charts-by-species-default.png"));

    // Focus by keyboard: to the maple's focus cell, Space.
    list->setFocus();
    list->setCurrentCell(0, 1);
    QTest::keyClick(list, Qt::Key_Space);
    QApplication::processEvents();
    ASSERT_EQ(window.focusSpecies(), std::optional<int>(1));
    chart = page->chart();
    EXPECT_EQ(seriesCount(chart, QStringLiteral("band:")), 1);
    ASSERT_NE(seriesNamed<QAreaSeries>(chart, QStringLiteral("band:Test stand:Sugar maple")), nullptr);
    auto* fir = seriesNamed<QLineSeries>(chart, QStringLiteral("mean:Test stand:Balsam fir"));
    auto* maple = seriesNamed<QLineSeries>(chart, QStringLiteral("mean:Test stand:Sugar maple"));
    ASSERT_NE(fir, nullptr);
    ASSERT_NE(maple, nullptr);
    EXPECT_EQ(fir->pen().color(), CONTEXT_GREY);
    EXPECT_LT(fir->pen().widthF(), maple->pen().widthF());
    EXPECT_EQ(maple->pen().color(), chartColour(0));
    // Now the axis reaches the focus band's top.
    axis = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).at(0));
    EXPECT_GE(axis->max(), 4.0 + 4.303);
    // Every by-species chart takes the same focus.
    EXPECT_EQ(seriesCount(window.page(ChartKind::Stems)->chart(), QStringLiteral("band:")), 1);
    test::saveArtefact(window, QStringLiteral("charts-by-species-focus.png"));

    // Unticking Shown takes the fir off.
    list->setCurrentCell(1, 0);
    QTest::keyClick(list, Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_FALSE(window.speciesVisible(2));
    EXPECT_EQ(seriesNamed<QLineSeries>(page->chart(), QStringLiteral("mean:Test stand:Balsam fir")), nullptr);
}

// Each iteration of the species in focus as a thin line instead of its band.
TEST_F(FocusWindow, IterationsAsLinesReplaceTheBandOfTheSpeciesInFocus) {
    window.setFocusSpecies(2);
    ASSERT_TRUE(window.iterationLinesBox()->isEnabled());
    window.iterationLinesBox()->click();
    QChart* chart = window.page(ChartKind::BasalArea)->chart();
    EXPECT_EQ(seriesCount(chart, QStringLiteral("iteration")), 3);
    EXPECT_EQ(seriesCount(chart, QStringLiteral("band:")), 0);
    // Fir's iterations are 3, 4 and 5 m²/ha: the lines are the iterations' own values.
    std::set<double> firstPoints;
    for (QAbstractSeries* series : chart->series()) {
        if (series->objectName() == QStringLiteral("iteration"))
            firstPoints.insert(qobject_cast<QLineSeries*>(series)->at(0).y());
    }
    EXPECT_EQ(firstPoints, (std::set<double>{3.0, 4.0, 5.0}));
    EXPECT_TRUE(window.page(ChartKind::BasalArea)
                    ->caption()
                    .endsWith(QStringLiteral("Thin lines: each iteration on its own.")));
    EXPECT_EQ(seriesCount(window.page(ChartKind::Totals)->chart(0), QStringLiteral("iteration")), 3);
}

// Every control can be reached with Tab, and every command has its keys.
TEST_F(FocusWindow, EveryControlIsReachableByKeyboard) {
    const std::vector<QWidget*> controls = {
        window.tabs(),           window.iterationLinesBox(),
        window.diameterYears(),  window.page(ChartKind::BasalArea)->speciesList(),
        window.compareRuns(),    window.compareQuantity(),
        window.compareSubject(), window.compareChart()};
    for (QWidget* control : controls) {
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus) << control->objectName().toStdString();
    }
    int commands = 0;
    for (QMenu* menu : window.menuBar()->findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) continue;
            ++commands;
            EXPECT_FALSE(action->shortcut().isEmpty()) << action->text().toStdString();
        }
    }
    EXPECT_EQ(commands, 5);  // open, save, save at 2x, export, close
}

// The focus line's own pixels, measured against the plot's white beside them.
TEST_F(FocusWindow, FocusLinePixelsStandOutFromThePlotByThreeToOne) {
    window.setFocusSpecies(1);
    ChartPage* page = window.page(ChartKind::BasalArea);
    window.tabs()->setCurrentWidget(page);
    QApplication::processEvents();
    const QImage image = page->views().at(0)->grab().toImage();
    const QRect plot = page->chart()->plotArea().toRect().adjusted(2, 2, -2, -2);
    const QColor background = image.pixelColor(plot.topLeft() + QPoint(1, 1));
    int focusPixels = 0, otherPaletteColour = 0;
    double weakest = 21.0;
    for (int y = plot.top(); y <= plot.bottom(); ++y) {
        for (int x = plot.left(); x <= plot.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel == chartColour(0)) {
                ++focusPixels;
                weakest = std::min(weakest, contrastRatio(pixel, background));
            }
            otherPaletteColour += pixel == chartColour(1);
        }
    }
    EXPECT_EQ(background, CHART_BACKGROUND);
    EXPECT_GT(focusPixels, 100);
    EXPECT_GE(weakest, 3.0);
    EXPECT_EQ(otherPaletteColour, 0);  // the fir is grey
}

// What is written is what is drawn: every CSV value is the drawn point shown to its decimals,
// a lower bound below zero is written as it is and marked cut, and drawn at zero.
TEST_F(FocusWindow, ExportedDataIsTheDrawnValues) {
    window.setFocusSpecies(1);
    ChartPage* page = window.page(ChartKind::BasalArea);
    window.tabs()->setCurrentWidget(page);
    const auto rows = csvRows(window.chartData());
    ASSERT_EQ(rows.size(), 5u);  // header, two species × two years
    EXPECT_EQ(rows[0], (std::vector<std::string>{"scenario", "species", "year", "basal_area_mean_m2_per_ha",
                                                 "basal_area_lower_m2_per_ha", "basal_area_upper_m2_per_ha",
                                                 "basal_area_cut_at_zero", "n_iterations", "n_plots"}));
    QChart* chart = page->chart();
    int cut = 0;
    for (size_t r = 1; r < rows.size(); ++r) {
        const auto& row = rows[r];
        ASSERT_EQ(row.size(), 9u);
        const QString species = QString::fromStdString(row[1]);
        auto* line = seriesNamed<QLineSeries>(chart, QStringLiteral("mean:Test stand:") + species);
        ASSERT_NE(line, nullptr) << row[1];
        const int point = row[2] == "10" ? 0 : 1;
        EXPECT_EQ(row[3], displayedValue(line->at(point).y(), 2)) << row[1];
        EXPECT_EQ(row[7], "3");
        EXPECT_EQ(row[8], "1");
        auto* band = seriesNamed<QAreaSeries>(chart, QStringLiteral("band:Test stand:") + species);
        if (!band) {
            EXPECT_EQ(row[1], "Balsam fir");  // out of focus: no band drawn
            continue;
        }
        const double lower = std::stod(row[4]);
        EXPECT_EQ(row[5], displayedValue(band->upperSeries()->at(point).y(), 2));
        EXPECT_EQ(row[6], lower < 0.0 ? "1" : "0");
        EXPECT_EQ(displayedValue(std::max(0.0, lower), 2),
                  displayedValue(band->lowerSeries()->at(point).y(), 2));
        cut += row[6] == "1";
    }
    // Maple in year 10: 1, 2, 3 m²/ha, mean 2, half-width 4.303 × sqrt(1/3) = 2.484; in year 20:
    // 2, 4, 6, mean 4, half-width 4.303 × sqrt(4/3) = 4.969: both cut.
    EXPECT_EQ(cut, 2);
    EXPECT_TRUE(page->caption().contains(QStringLiteral("shading is cut at zero")))
        << page->caption().toStdString();
    EXPECT_TRUE(page->caption().contains(QStringLiteral("(few iterations: rough)")));
}

struct CaptionCase {
    std::vector<double> values;
    const char* says;
    const char* saysNot;
};

TEST(ChartCaption, SaysWhatTheLineAndShadingAreAndWhenTheyAreRough) {
    test::TempDirectory directory;
    // Ten iterations are no longer few; values far above zero are not cut.
    const CaptionCase cases[] = {
        {{10, 11, 12, 13, 14, 15, 16, 17, 18},
         "Line: average of 9 iterations of 1 plot (few iterations: rough). "
         "Shading: 95 % confidence interval of that average.",
         "cut at zero"},
        {{10, 11, 12, 13, 14, 15, 16, 17, 18, 19},
         "Line: average of 10 iterations of 1 plot. Shading:",
         "rough"},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5},
         "Where the interval reaches below zero, the shading is cut at zero.",
         "rough"},
        {{5}, "Line: one iteration of 1 plot; a single iteration has no confidence interval.", "Shading"},
    };
    int k = 0;
    for (const CaptionCase& row : cases) {
        const auto file = directory.path() / ("caption" + std::to_string(++k) + ".sqlite");
        writeIterationRun(file, row.values, {10});
        const auto data = std::make_shared<const RunChartData>(readRunChartData(file));
        ChartPage page(data, ChartKind::Totals, {});
        EXPECT_TRUE(page.caption().contains(QString::fromUtf8(row.says))) << page.caption().toStdString();
        EXPECT_FALSE(page.caption().contains(QString::fromUtf8(row.saysNot))) << page.caption().toStdString();
        EXPECT_TRUE(page.subtitle().contains(
            QStringLiteral("%1 iterations × 1 plots · Years 10–10").arg(row.values.size())))
            << page.subtitle().toStdString();
    }
}

// Scenario A: 10, 12, 9, 11, 13: mean 11, variance (1 + 1 + 4 + 0 + 4) / 4 = 2.5.
// Scenario B: 14, 18, 12, 16, 20, 15, 17: mean 16, variance (4+4+16+0+16+1+1) / 6 = 7.
// Squared errors 7/7 = 1 and 2.5/5 = 0.5; standard error sqrt(1.5) = 1.2247449.
// Welch–Satterthwaite: 1.5² / (1²/6 + 0.5²/4) = 2.25 / 0.2291667 = 9.818, rounded down 9;
// t(9) = 2.262; half-width 2.262 × 1.2247449 = 2.7703730: B − A = 5 ± 2.770, from 2.2296 to 7.7704.
// (Pooled 10 degrees would give t 2.228; rounding 9.818 to 10 too.)
TEST(Difference, WelchIntervalOfFiveAgainstSevenIterations) {
    const DifferenceInterval direct = welchDifference(16.0, 7.0, 7, 11.0, 2.5, 5);
    EXPECT_EQ(direct.degreesOfFreedom, 9);
    EXPECT_DOUBLE_EQ(direct.t, 2.262);
    EXPECT_NEAR(direct.difference, 5.0, 1e-12);
    EXPECT_NEAR(direct.halfWidth, 2.7703730, 1e-6);

    test::TempDirectory directory;
    writeIterationRun(directory.path() / "a.sqlite", {10, 12, 9, 11, 13}, {10, 20});
    writeIterationRun(directory.path() / "b.sqlite", {14, 18, 12, 16, 20, 15, 17}, {10, 20}, 1.0);
    ComparedRuns runs = {
        std::make_shared<const RunChartData>(readRunChartData(directory.path() / "a.sqlite")),
        std::make_shared<const RunChartData>(readRunChartData(directory.path() / "b.sqlite"))};
    // B grows one more m²/ha than A by year 20: the difference is 6 there, with the same interval.
    const ChartTable table = differenceTable(runs, {StandQuantity::BasalArea, std::nullopt});
    ASSERT_EQ(table.curves.size(), 1u);
    ASSERT_EQ(table.curves[0].points.size(), 2u);
    const double expectedMeans[] = {5.0, 6.0};
    for (size_t p = 0; p < 2; ++p) {
        const CurvePoint& point = table.curves[0].points[p];
        EXPECT_NEAR(point.mean, expectedMeans[p], 1e-9);
        EXPECT_NEAR(point.lower, expectedMeans[p] - 2.7703730, 1e-6);
        EXPECT_NEAR(point.upper, expectedMeans[p] + 2.7703730, 1e-6);
    }
    // The same through the species, and in stems (100 times the values: 100 times the interval).
    const ChartTable stems = differenceTable(runs, {StandQuantity::Stems, std::string("Sugar maple")});
    EXPECT_NEAR(stems.curves[0].points[0].upper, 500.0 + 277.03730, 1e-4);

    // One iteration on either side has no interval; no spread at all has none to widen.
    EXPECT_EQ(welchDifference(3.0, 0.0, 1, 1.0, 2.0, 5).halfWidth, 0.0);
    EXPECT_EQ(welchDifference(3.0, 0.0, 4, 1.0, 0.0, 5).halfWidth, 0.0);

    // The chart: the zero line marked, the band the table's, its caption saying so.
    ComparisonPage page(ComparisonKind::Difference);
    page.resize(1200, 800);
    page.showRuns(runs, {StandQuantity::BasalArea, std::nullopt});
    ASSERT_NE(seriesNamed<QLineSeries>(page.chart(), QStringLiteral("zero")), nullptr);
    auto* band = seriesNamed<QAreaSeries>(
        page.chart(), QStringLiteral("band:Test stand (2) \u2212 Test stand:Stand total"));
    ASSERT_NE(band, nullptr);
    EXPECT_NEAR(band->lowerSeries()->at(0).y(), 5.0 - 2.7703730, 1e-6);
    EXPECT_TRUE(page.caption().contains(QStringLiteral("(Welch)")));
    EXPECT_EQ(
        page.subtitle().toStdString(),
        "A: Test stand · 5 iterations × 1 plots · years 10–20\nB: Test stand (2) · 7 iterations × 1 plots · "
        "years 10–20");
}

TEST(Difference, RunsOfOtherYearsAreComparedAtTheYearsTheyShare) {
    test::TempDirectory directory;
    writeIterationRun(directory.path() / "a.sqlite", {1, 2, 3}, {10, 20, 30});
    writeIterationRun(directory.path() / "b.sqlite", {1, 2, 3}, {10, 30});
    const ComparedRuns runs = {
        std::make_shared<const RunChartData>(readRunChartData(directory.path() / "a.sqlite")),
        std::make_shared<const RunChartData>(readRunChartData(directory.path() / "b.sqlite"))};
    EXPECT_EQ(sharedYears(runs), (std::vector<int>{10, 30}));
    EXPECT_EQ(
        sharedYearsNote(runs),
        "The runs recorded different years (Test stand: 3 years from 10 to 30 every 10; Test stand (2): "
        "2 years from 10 to 30), so the charts show only the 2 years from 10 to 30 all of them recorded.");
    EXPECT_EQ(comparisonTable(runs, {}).curves.at(0).points.size(), 2u);
    EXPECT_EQ(sharedYearsNote({runs[0], runs[0]}), "");
}

struct CompareCase {
    QStringList arguments;  // after "--compare"
    int status;
};

TEST(CompareCommand, WritesTheScenarioAndDifferenceChartsOrEndsWithItsStatus) {
    test::TempDirectory directory;
    writeIterationRun(directory.path() / "a.sqlite", {10, 12, 9, 11, 13}, {10, 20, 30}, 0.5);
    writeIterationRun(directory.path() / "b.sqlite", {14, 18, 12, 16, 20, 15, 17}, {10, 20, 30}, 1.0);
    writeIterationRun(directory.path() / "c.sqlite", {1, 2}, {15, 25});
    const QString out = QString::fromStdString((directory.path() / "compare").string());
    const CompareCase cases[] = {
        {{"a.sqlite", "b.sqlite", "--out", out}, 0},
        {{"a.sqlite", "b.sqlite", "--out", out + "-maple", "--species", "Sugar maple"}, 0},
        {{"a.sqlite", "--out", out + "-one"}, 2},
        {{"a.sqlite", "b.sqlite", "a.sqlite", "b.sqlite", "a.sqlite", "--out", out + "-five"}, 2},
        {{"a.sqlite", "b.sqlite"}, 2},
        {{"a.sqlite", "b.sqlite", "--out", out + "-oak", "--species", "Oak"}, 2},
        {{"a.sqlite", "c.sqlite", "--out", out + "-apart"}, 1},
        {{"a.sqlite", "missing.sqlite", "--out", out + "-missing"}, 1},
    };
    for (const CompareCase& row : cases) {
        QProcess program;
        program.setWorkingDirectory(QString::fromStdString(directory.path().string()));
        program.start(QStringLiteral(DRAVIA_APP_PATH),
                      QStringList{QStringLiteral("--compare")} + row.arguments);
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitCode(), row.status) << row.arguments.join(' ').toStdString() << "\n"
                                                  << program.readAllStandardError().toStdString();
    }
    for (const char* name : {"compare-total-basal-area", "difference-total-basal-area",
                             "compare-species-stems", "difference-species-biomass"}) {
        const QImage image(out + "/" + name + ".png");
        EXPECT_EQ(image.size(), QSize(1200, 800)) << name;
        EXPECT_TRUE(QFile::exists(out + "/" + name + ".svg")) << name;
        EXPECT_TRUE(QFile::exists(out + "/" + name + ".csv")) << name;
    }
    EXPECT_TRUE(QImage(out + "/compare-total-basal-area.png").save(test::artefactPath("charts-compare.png")));
    EXPECT_TRUE(
        QImage(out + "/difference-total-basal-area.png").save(test::artefactPath("charts-difference.png")));
    QFile csv(out + "/difference-total-basal-area.csv");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const auto rows = csvRows(csv.readAll().toStdString());
    ASSERT_EQ(rows.size(), 4u);
    // Year 10: 16 − 11 = 5 ± 2.7704, shown to two decimals.
    EXPECT_EQ(rows[1], (std::vector<std::string>{"Test stand (2) \xE2\x88\x92 Test stand", "Stand total",
                                                 "10", "5.00", "2.23", "7.77", "0", "7", "1", "5", "1"}));
    EXPECT_FALSE(QFile::exists(out + "-apart"));
}

// The Compare tab: the run shown is ticked and compared with a run of the library.
TEST(CompareTab, ComparesTheRunShownWithALibraryRun) {
    test::TempDirectory directory;
    std::filesystem::create_directory(directory.path() / "runs");
    writeIterationRun(directory.path() / "runs" / "20260101-100000-a.sqlite", {10, 12, 9, 11, 13},
                      {10, 20, 30});
    writeIterationRun(directory.path() / "b.sqlite", {14, 18, 12, 16, 20, 15, 17}, {10, 20, 30}, 1.0);
    ChartsWindow window;
    window.resize(1200, 720);
    window.show();
    ASSERT_TRUE(window.openDatabase(QStringLiteral("b.sqlite")));
    window.tabs()->setCurrentWidget(window.compareTab());
    QListWidget* runs = window.compareRuns();
    ASSERT_EQ(runs->count(), 2);
    EXPECT_EQ(runs->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(runs->item(1)->checkState(), Qt::Checked);  // the run shown
    runs->item(0)->setCheckState(Qt::Checked);
    QApplication::processEvents();
    EXPECT_EQ(window.differencePage()->table().curves.size(), 1u);
    EXPECT_NEAR(window.differencePage()->table().curves[0].points[0].mean, 5.0, 1e-9);
    window.compareSubject()->setCurrentIndex(1);
    EXPECT_EQ(window.scenariosPage()->table().curves[0].species, "Sugar maple");
    test::saveArtefact(window, QStringLiteral("charts-compare-tab.png"));
    // What is exported is the chart shown: the scenarios, then the difference.
    EXPECT_EQ(csvRows(window.chartData()).size(), 7u);  // header, two runs × three years
    window.compareChart()->setCurrentIndex(1);
    const auto difference = csvRows(window.chartData());
    ASSERT_EQ(difference.size(), 4u);
    EXPECT_EQ(difference[0].at(3), "basal_area_difference_mean_m2_per_ha");
    test::saveArtefact(window, QStringLiteral("charts-difference-tab.png"));
    ASSERT_TRUE(window.saveImage(QStringLiteral("compare@2x.png"), 2));
    EXPECT_EQ(QImage(QStringLiteral("compare@2x.png")).size(), QSize(2400, 1600));
}

}  // namespace
}  // namespace dravia

#include <gtest/gtest.h>

#include <QAreaSeries>
#include <QBarSet>
#include <QChart>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStackedBarSeries>
#include <QSvgRenderer>
#include <cmath>
#include <memory>

#include "ChartTestDatabase.h"
#include "app/RunCharts.h"
#include "display/TestForest.h"
#include "output/rundb/Completeness.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

constexpr double TOLERANCE = 1e-9;

struct QuantityCase {
    StandQuantity quantity;
    double unitFactor;  // per hectare from the statistics report's per-plot units
};

// One plot of 100 m²: the report's values are the per-plot 1, 2, 3 and 6; the database holds
// them per hectare. Mean 3; sample variance 14/3; t of three degrees of freedom 3.182:
// half-width 3.182 × sqrt(14/3 / 4) = 3.43695284 in the report's units.
TEST(RunChartData, OnePlotBandIsTheReportIntervalInHectareUnits) {
    test::TempDirectory directory;
    test::ChartTestDatabase database(directory.path() / "run.sqlite");
    database.run(1, 1, 4, 1);
    database.species(3, "Yellow_birch", 2);
    const double reportValues[] = {1.0, 2.0, 3.0, 6.0};
    for (int iteration = 1; iteration <= 4; ++iteration) {
        const double value = reportValues[iteration - 1];
        database.plotYear(iteration, 50, 1);
        database.stand(iteration, 50, 1, 3, 100.0 * value, value, 10.0 * value);
    }
    const RunChartData data = readRunChartData(database.file());
    ASSERT_EQ(data.years, std::vector<int>{50});
    const double reportHalfWidth = 3.182 * std::sqrt(14.0 / 3.0 / 4.0);
    for (const QuantityCase& row :
         {QuantityCase{StandQuantity::Stems, 100.0}, QuantityCase{StandQuantity::BasalArea, 1.0},
          QuantityCase{StandQuantity::AboveGroundBiomass, 10.0}}) {
        const MeanWithInterval point = data.curves(row.quantity).bySpecies.at(0).at(0);
        EXPECT_NEAR(point.mean, 3.0 * row.unitFactor, TOLERANCE) << row.unitFactor;
        EXPECT_NEAR(point.halfWidth, reportHalfWidth * row.unitFactor, 1e-9 * row.unitFactor)
            << row.unitFactor;
    }
}

// Iteration means over two plots: (4 + 2) / 2 = 3; plot 2 without the species counts 0, so
// (6 + 0) / 2 = 3; the third iteration has no row at all and counts 0. Values 3, 3, 0: mean 2,
// variance (18 − 12) / 2 = 3, half-width t(2 d.f.) 4.304 × sqrt(3 / 3).
TEST(RunChartData, PlotsAveragedAndAbsentIterationsCountZero) {
    test::TempDirectory directory;
    test::ChartTestDatabase database(directory.path() / "run.sqlite");
    database.run(1, 1, 3, 2);
    database.species(1, "Sugar_maple", 1);
    for (int iteration = 1; iteration <= 3; ++iteration) {
        for (int plot = 1; plot <= 2; ++plot) database.plotYear(iteration, 5, plot);
    }
    database.stand(1, 5, 1, 1, 0.0, 4.0, 0.0);
    database.stand(1, 5, 2, 1, 0.0, 2.0, 0.0);
    database.stand(2, 5, 1, 1, 0.0, 6.0, 0.0);
    const RunChartData data = readRunChartData(database.file());
    EXPECT_EQ(data.iterations, 3);
    const MeanWithInterval point = data.curves(StandQuantity::BasalArea).bySpecies.at(0).at(0);
    EXPECT_NEAR(point.mean, 2.0, TOLERANCE);
    EXPECT_NEAR(point.halfWidth, 4.304, TOLERANCE);
}

// Species 1 has 1, 2, 3 and species 2 has 3, 2, 1 m²/ha: every iteration's total is 4, so the
// total has no spread at all, though each species has: variance (14 − 12) / 2 = 1, half-width
// t(2 d.f.) 4.304 × sqrt(1 / 3).
TEST(RunChartData, TotalBandComesFromTheIterationTotals) {
    test::TempDirectory directory;
    test::ChartTestDatabase database(directory.path() / "run.sqlite");
    database.run(1, 1, 2, 1);
    database.run(2, 3, 1, 1);  // a merged run: its parts' iterations together
    for (int iteration = 1; iteration <= 3; ++iteration) {
        database.plotYear(iteration, 1, 1);
        database.stand(iteration, 1, 1, 1, 0.0, iteration, 0.0);
        database.stand(iteration, 1, 1, 2, 0.0, 4.0 - iteration, 0.0);
    }
    const RunChartData data = readRunChartData(database.file());
    const QuantityCurves& basalArea = data.curves(StandQuantity::BasalArea);
    EXPECT_NEAR(basalArea.bySpecies.at(0).at(0).halfWidth, 4.304 * std::sqrt(1.0 / 3.0), TOLERANCE);
    EXPECT_NEAR(basalArea.total.at(0).mean, 4.0, TOLERANCE);
    EXPECT_NEAR(basalArea.total.at(0).halfWidth, 0.0, TOLERANCE);
    EXPECT_EQ(data.species.at(0).name, "Species 1");  // not in the species table
    const std::vector<std::vector<double>> shares = basalAreaShares(data);
    EXPECT_NEAR(shares[0][0], 50.0, TOLERANCE);  // 2 of 4 m²/ha
}

TEST(RunChartData, OneIterationHasNoBand) {
    test::TempDirectory directory;
    test::ChartTestDatabase database(directory.path() / "run.sqlite");
    database.run(1, 1, 1, 1);
    database.plotYear(1, 1, 1);
    database.stand(1, 1, 1, 1, 300.0, 5.0, 40.0);
    const auto data = std::make_shared<const RunChartData>(readRunChartData(database.file()));
    EXPECT_FALSE(data->hasIntervals());
    EXPECT_EQ(data->curves(StandQuantity::BasalArea).bySpecies.at(0).at(0).halfWidth, 0.0);
    for (const ChartKind kind : {ChartKind::BasalArea, ChartKind::Totals}) {
        const ChartPage page(data, kind, {});
        for (const QAbstractSeries* series : page.chart()->series()) {
            EXPECT_EQ(qobject_cast<const QAreaSeries*>(series), nullptr) << series->name().toStdString();
        }
    }
}

// Stems of the 0-5 cm class of Sugar_maple (60) and the 10-15 cm class of Balsam_fir (40) in both
// years; the chart fills in the empty 5-10 cm class.
TEST(RunChartData, DiameterClassesAtTheLastYearUnlessChosen) {
    test::TempDirectory directory;
    test::ChartTestDatabase database(directory.path() / "run.sqlite");
    test::writeTwoSpeciesRun(database);
    // mean over three iterations: +10
    database.execute(
        "UPDATE diameter_classes SET stems_per_ha = stems_per_ha + 30 WHERE iteration = 2 AND "
        "year = 20 AND species = 1 AND class_lower_cm = 0");
    const auto data = std::make_shared<const RunChartData>(readRunChartData(database.file()));
    EXPECT_EQ(diameterChartYear(*data, {}), 20);
    EXPECT_NEAR(data->diameters.at(20).at(0).at(1), 70.0, TOLERANCE);
    EXPECT_NEAR(data->diameters.at(10).at(0).at(1), 60.0, TOLERANCE);

    const ChartPage page(data, ChartKind::Diameters, {});
    const auto* bars = qobject_cast<const QStackedBarSeries*>(page.chart()->series().at(0));
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->count(), 2);
    const QBarSet* maple = bars->barSets().at(0);
    ASSERT_EQ(maple->count(), 3);
    EXPECT_NEAR(maple->at(0), 70.0, TOLERANCE);
    EXPECT_EQ(maple->at(1), 0.0);
    EXPECT_NEAR(bars->barSets().at(1)->at(2), 40.0, TOLERANCE);
    EXPECT_TRUE(page.chart()->title().contains(QStringLiteral("year 20")));
}

// A merged run of two parts, two iterations each, of one and of two plots: each part's stems are
// divided by its own plots and by all four iterations of the run, not by its own two.
TEST(RunChartData, DiametersOfAMergedRunDivideByEveryIteration) {
    test::TempDirectory directory;
    test::ChartTestDatabase database(directory.path() / "merged.sqlite");
    database.run(1, 1, 2, 1);
    database.run(2, 3, 2, 2);
    database.species(1, "Sugar_maple", 1);
    for (int iteration = 1; iteration <= 4; ++iteration) {
        database.plotYear(iteration, 10, 1);
        database.diameterClass(iteration, 10, 1, 1, 10, 400.0);
    }
    const RunChartData data = readRunChartData(database.file());
    // (400 + 400) / (1 × 4) + (400 + 400) / (2 × 4)
    EXPECT_NEAR(data.diameters.at(10).at(10).at(1), 300.0, TOLERANCE);
}

struct RefusedDatabase {
    const char* name;
    const char* sql;  // after the schema; nullptr: a text file, not a database
    const char* reason;
};

TEST(RunChartData, RefusesWhatCannotBeChartedNamingTheFile) {
    test::TempDirectory directory;
    const RefusedDatabase cases[] = {
        {"text.sqlite", nullptr, "file is not a database"},
        {"notables.sqlite", "DROP TABLE stand", "no such table: stand"},
        {"incomplete.sqlite", "UPDATE run SET completed = 0 WHERE part = 2", "did not complete"},
        {"norun.sqlite", "DELETE FROM run", "holds no run"},
        {"missing.sqlite", "", "unable to open"},
    };
    for (const RefusedDatabase& row : cases) {
        const std::filesystem::path file = directory.path() / row.name;
        if (!row.sql) {
            test::writeTextFile(file, "Results of a run, not a database.\n");
        } else if (*row.sql) {
            test::ChartTestDatabase database(file);
            database.run(1, 1, 1, 1);
            database.run(2, 2, 1, 1);
            database.plotYear(1, 1, 1);
            database.execute(row.sql);
        }
        EXPECT_FALSE(isCompleteRunDatabase(file.string())) << row.name;
        try {
            readRunChartData(file);
            ADD_FAILURE() << row.name;
        } catch (const RunDatabaseError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find('"' + file.string() + '"'), std::string::npos) << message;
            EXPECT_NE(message.find(row.reason), std::string::npos) << message;
        }
    }
    // Complete, but of more years than a chart can show: refused before anything is allocated for them.
    const std::filesystem::path crowded = directory.path() / "crowded.sqlite";
    {
        test::ChartTestDatabase database(crowded);
        database.run(1, 1, 1, 1);
        database.execute(
            "WITH RECURSIVE y(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM y WHERE n < 20001) "
            "INSERT INTO plot_year SELECT 1, n, 1, 0, 'Test stand' FROM y");
    }
    try {
        readRunChartData(crowded);
        ADD_FAILURE() << "20001 years";
    } catch (const RunDatabaseError& error) {
        EXPECT_NE(
            std::string(error.what()).find("it records 20001 years, more than the 20000 a chart can show"),
            std::string::npos)
            << error.what();
    }
}

// Complete run databases holding what no run writes, as someone else's file might: refused before
// the charts allocate anything for them.
TEST(RunChartData, RefusesValuesNoRunWrites) {
    test::TempDirectory directory;
    const RefusedDatabase cases[] = {
        {"class.sqlite", "UPDATE diameter_classes SET class_lower_cm = 2147483645",
         "a diameter class from 2147483645 cm, which no run writes"},
        {"uneven.sqlite", "UPDATE diameter_classes SET class_lower_cm = 7", "a diameter class from 7 cm"},
        {"negative.sqlite", "UPDATE diameter_classes SET class_lower_cm = -5", "a diameter class from -5 cm"},
        {"name.sqlite", "UPDATE species SET name = printf('%.*c', 102400, 'x')",
         "the name of species 1 is 102400 bytes long, more than the 254 a species file holds"},
        {"iterations.sqlite", "UPDATE run SET iterations = -5", "a part of -5 iterations of 1 plots"},
        {"wrap.sqlite", "UPDATE run SET first_iteration = 2147483647, iterations = 1000000",
         "from iteration 2147483647, which no run writes"},
        {"plots.sqlite", "UPDATE run SET plots = 0", "a part of 1 iterations of 0 plots"},
    };
    for (const RefusedDatabase& row : cases) {
        const std::filesystem::path file = directory.path() / row.name;
        test::writeCraftedRun(file, row.sql);
        ASSERT_TRUE(isCompleteRunDatabase(file.string())) << row.name;
        try {
            readRunChartData(file);
            ADD_FAILURE() << row.name;
        } catch (const RunDatabaseError& error) {
            EXPECT_NE(std::string(error.what()).find(row.reason), std::string::npos) << error.what();
        }
    }
}

struct SubtitleCase {
    std::vector<std::pair<const char*, const char*>> settings;  // of the run's first part
    const char* subtitle;
};

// The subtitle names the scenario, and the options only when one is on: their rows are in every
// database, off or on; a database written before the options existed has none.
TEST(RunCharts, SubtitleNamesTheScenarioAndTheModelOptionsOn) {
    test::TempDirectory directory;
    const SubtitleCase cases[] = {
        {{}, "Test stand\n3 iterations × 1 plots · Years 10–20"},
        {{{"SLOW_GROWTH_YEARS", "1"}, {"CLIMATE_MEMORY_YEARS", "1"}},
         "Test stand\n3 iterations × 1 plots · Years 10–20"},
        {{{"SLOW_GROWTH_YEARS", "3"}, {"CLIMATE_MEMORY_YEARS", "1"}},
         "Test stand\n3 iterations × 1 plots · Years 10–20 · Model options: SLOW_GROWTH_YEARS=3"},
        {{{"SLOW_GROWTH_YEARS", "3"}, {"CLIMATE_MEMORY_YEARS", "15"}, {"NUM_YEARS", "20"}},
         "Test stand\n3 iterations × 1 plots · Years 10–20 · Model options: SLOW_GROWTH_YEARS=3, "
         "CLIMATE_MEMORY_YEARS=15"},
        // The community and climate the run's settings name (the climate as the program shows it).
        {{{"COMMUNITY", "2"},
          {"HABITAT[2]", "Boreal BF"},
          {"WTHR_TYPE", "1"},
          {"WTHR_TYPES[1]", "Warming +3.6 C over 100 yr"}},
         "Test stand\nCommunity: Boreal BF · Climate: Warming: +3.6 °C over 100 years · 3 iterations × 1 "
         "plots · Years 10–20"},
    };
    int k = 0;
    for (const SubtitleCase& row : cases) {
        SCOPED_TRACE(row.subtitle);
        const std::filesystem::path file = directory.path() / ("run" + std::to_string(++k) + ".sqlite");
        {
            test::ChartTestDatabase database(file);
            test::writeTwoSpeciesRun(database);
            for (const auto& [name, value] : row.settings) database.insert("setting", 1, name, value);
            // A later part's rows are not the run's options (merge refuses parts that differ).
            database.insert("setting", 2, "CLIMATE_MEMORY_YEARS", "7");
        }
        const auto data = std::make_shared<const RunChartData>(readRunChartData(file));
        for (const ChartDescription& chart : RUN_CHARTS) {
            ChartPage page(data, chart.kind, {});
            EXPECT_EQ(page.subtitle().toStdString(), row.subtitle) << chart.name;
        }
    }

    const std::filesystem::path wrong = directory.path() / "wrong.sqlite";
    {
        test::ChartTestDatabase database(wrong);
        test::writeTwoSpeciesRun(database);
        database.insert("setting", 1, "SLOW_GROWTH_YEARS", "many");
    }
    try {
        readRunChartData(wrong);
        ADD_FAILURE() << "an option setting that is no value of the option";
    } catch (const RunDatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("its setting SLOW_GROWTH_YEARS is \"many\""),
                  std::string::npos)
            << error.what();
    }
}

struct CommandCase {
    QStringList arguments;  // after "--charts"
    int status;
};

TEST(ChartsCommand, WritesEveryChartOrEndsWithItsStatus) {
    test::TempDirectory directory;
    {
        test::ChartTestDatabase run(directory.path() / "run.sqlite");
        test::writeTwoSpeciesRun(run);
        test::ChartTestDatabase incomplete(directory.path() / "incomplete.sqlite");
        incomplete.run(1, 1, 1, 1, 0);
    }
    test::writeTextFile(directory.path() / "text.sqlite", "not a database\n");
    const QString out = QString::fromStdString((directory.path() / "charts").string());
    const CommandCase cases[] = {
        {{"run.sqlite", "--out", out}, 0},
        {{"run.sqlite", "--out", out + "-10", "--year", "10"}, 0},
        {{"text.sqlite", "--out", out + "-text"}, 1},
        {{"incomplete.sqlite", "--out", out + "-incomplete"}, 1},
        {{"missing.sqlite", "--out", out + "-missing"}, 1},
        {{"run.sqlite"}, 2},
        {{"run.sqlite", "--out", out, "--year", "ten"}, 2},
        {{"run.sqlite", "--out", out, "--year", "15"}, 2},
        {{"run.sqlite", "--out", out, "extra"}, 2},
        {{"run.sqlite", "--out", out, "--workdir", "."}, 2},
    };
    for (const CommandCase& row : cases) {
        QProcess program;
        program.start(QStringLiteral(DRAVIA_APP_PATH),
                      QStringList{QStringLiteral("--charts")} + row.arguments);
        ASSERT_TRUE(program.waitForFinished(60000));
        const QString error = QString::fromLocal8Bit(program.readAllStandardError());
        EXPECT_EQ(program.exitCode(), row.status) << row.arguments.join(' ').toStdString() << "\n"
                                                  << error.toStdString();
        if (row.status == 1) {
            EXPECT_TRUE(error.contains(row.arguments.at(0))) << error.toStdString();
        }
    }
    for (const ChartDescription& chart : RUN_CHARTS) {
        const QString name = out + "/" + chart.name;
        const QImage image(name + ".png");
        EXPECT_EQ(image.size(), QSize(1200, 800)) << chart.name;
        EXPECT_TRUE(image.save(test::artefactPath(QStringLiteral("chart-%1.png").arg(chart.name))));
        // The drawing is the same picture: drawn again, it is kept beside the image to compare.
        QSvgRenderer drawing(name + ".svg");
        ASSERT_TRUE(drawing.isValid()) << chart.name;
        EXPECT_EQ(drawing.viewBox(), QRect(0, 0, 1200, 800)) << chart.name;
        QImage redrawn(1200, 800, QImage::Format_ARGB32);
        redrawn.fill(Qt::white);
        QPainter painter(&redrawn);
        drawing.render(&painter);
        painter.end();
        EXPECT_TRUE(redrawn.save(test::artefactPath(QStringLiteral("chart-%1-svg.png").arg(chart.name))));
    }
    EXPECT_FALSE(QFile::exists(out + "-text"));  // nothing written for a refused database
}

}  // namespace
}  // namespace dravia

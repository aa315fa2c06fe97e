#include <gtest/gtest.h>

#include <QTest>

#include "DialogTestSupport.h"
#include "app/CommunitiesDialog.h"
#include "app/DisturbanceDialog.h"
#include "app/GraphicsDialog.h"
#include "app/RunControlDialog.h"
#include "display/PlotGeometry.h"
#include "display/PlotView.h"
#include "input/StartupLoad.h"
#include "support/SmallDataSet.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

using test::line;
using test::pressCancel;
using test::pressOk;
using test::setText;

class DialogModel : public ::testing::Test {
  protected:
    void SetUp() override {
        test::fillDisplayModel(model);
        model.host = &host;
        RunParameters& p = model.params;
        p.NUM_ITERS = 5;
        p.NUM_YEARS = 100;
        p.PRINT_INTERV = 10;
        p.RESULTS_INTERV = 10;
        p.FILE_OUTPUT_FLAG = 1;
        p.PAUSE_AT_INTERVALS = 1;
        p.RESULTS_FILE = "Data\\results.out";
        p.STATS_RESULTS_FILE = "Data\\stats.out";
    }
    ModelState model;
    test::ScriptedHost host;
};

// ---- Communities ----

using CommunitiesTest = DialogModel;

TEST_F(CommunitiesTest, OpensOnTheLocationAndClimateOfTheCommunity) {
    model.params.COMMUNITY = 6;
    model.params.WTHR_TYPES = {"Normal climate", "Warming +3.6 C over 100 yr"};
    CommunitiesDialog dialog(model);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Communities and Climate Selection Parameters");
    EXPECT_EQ(test::listEntries(dialog.locationList()),
              (std::vector<std::string>{"Eastern Deciduous and Borial Forest (40 species)",
                                        "Hubbard Brook Experimental Forest (13 species)",
                                        "StMary SF, Minnesota BWCA (32 species)",
                                        "Kirtland's Warbler habitat, Grayling, MI (34 species)"}));
    EXPECT_EQ(test::listEntries(dialog.climateList()),
              (std::vector<std::string>{"Normal climate", "Warming: +3.6 °C over 100 years"}));
    EXPECT_EQ(dialog.locationList()->currentText().toStdString(), "StMary SF, Minnesota BWCA (32 species)");
    EXPECT_EQ(dialog.climateList()->currentIndex(), 1);
    const auto labels = test::labelTexts(dialog);
    EXPECT_TRUE(test::contains(labels, "Community Location:"));
    EXPECT_TRUE(test::contains(labels, "Climate:"));
    test::saveArtefact(dialog, QStringLiteral("communities-dialog.png"));
}

TEST_F(CommunitiesTest, EveryOptionRoundTripsThroughTheLists) {
    for (int option = 1; option <= 8; ++option) {
        model.params.COMMUNITY = option;
        CommunitiesDialog dialog(model);
        EXPECT_EQ(dialog.chosenCommunity(), option);
    }
}

TEST_F(CommunitiesTest, FourthLocationWithNormalClimateLoadsOptionSeven) {
    test::TempDirectory directory;
    test::writeSmallDataSet(directory.path());
    test::writeTextFile(directory.path() / "Data" / "graylingInitNormalParams.txt",
                        test::smallInitialValuesFile({}));
    ModelState loaded;
    test::ScriptedHost loadHost;
    loaded.host = &loadHost;
    loadAtStartup(loaded);
    loaded.params.COMMUNITY = 6;

    CommunitiesDialog dialog(loaded);
    dialog.locationList()->setCurrentIndex(3);
    dialog.climateList()->setCurrentIndex(0);
    EXPECT_EQ(dialog.chosenCommunity(), 7);
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_EQ(loaded.params.initialValuesPath, "Data\\graylingInitNormalParams.txt");
    EXPECT_EQ(loadHost.standardOutput, "Community option 7 initialized\n");
}

// ---- Run-time control ----

using RunControlTest = DialogModel;

TEST_F(RunControlTest, TitleGroupsLabelsAndList) {
    RunControlDialog dialog(model);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Input, Output, Run-Time Control Parameters");
    auto groups = test::groupTitles(dialog);
    std::sort(groups.begin(), groups.end());
    EXPECT_EQ(groups,
              (std::vector<std::string>{"Displaying of Results", "Iterations", "Writing Results to File"}));
    const auto labels = test::labelTexts(dialog);
    for (const char* label :
         {"Screen Output Mode:", "Number of Iterations:", "Results File:", "Pause Interval:", "(years)",
          "Results Interval:", "Years per Iteration:", "Results Statistics File:"}) {
        EXPECT_TRUE(test::contains(labels, label)) << label;
    }
    EXPECT_EQ(test::field<QCheckBox>(dialog, "PAUSE_AT_INTERVALS")->text().toStdString(),
              "Pause at I&ntervals:");
    EXPECT_EQ(test::field<QCheckBox>(dialog, "FILE_OUTPUT_FLAG")->text().toStdString(),
              "&Output Results To File:");
    EXPECT_EQ(test::field<QCheckBox>(dialog, "PAUSE_EVERY_ITERATION")->text().toStdString(),
              "&Pause Every Iteration:");
    EXPECT_EQ(test::field<QCheckBox>(dialog, "OUTPUT_EVERY_TREE")->text().toStdString(),
              "Output &Every Tree:");
    EXPECT_EQ(test::listEntries(test::field<QComboBox>(dialog, "SCREEN_OUTPUT_MODE")),
              (std::vector<std::string>{"Graphics Image Display", "Tabular Display",
                                        "Display Off - File Output Only"}));
    EXPECT_EQ(test::text(dialog, "NUM_YEARS"), "100");
    EXPECT_EQ(test::text(dialog, "RESULTS_FILE"), "Data\\results.out");
    test::saveArtefact(dialog, QStringLiteral("run-control-dialog.png"));
}

TEST_F(RunControlTest, FirstFailingFieldInTableOrderGetsTheMessageAndTheFocus) {
    RunControlDialog dialog(model);
    dialog.show();
    setText(dialog, "NUM_YEARS", "0");       // 7th
    setText(dialog, "RESULTS_INTERV", "x");  // 6th
    setText(dialog, "PRINT_INTERV", "1.5");  // 5th
    pressOk(dialog);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer.");
    EXPECT_EQ(dialog.focusWidget(), line(dialog, "PRINT_INTERV"));
    EXPECT_FALSE(test::accepted(dialog));
    EXPECT_EQ(model.params.NUM_YEARS, 100);

    setText(dialog, "NUM_ITERS", "10001");  // 3rd
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 1 and 10000.");
    EXPECT_EQ(dialog.focusWidget(), line(dialog, "NUM_ITERS"));
    EXPECT_EQ(model.params.NUM_ITERS, 5);
}

TEST_F(RunControlTest, DisabledFieldsAreCheckedToo) {
    model.params.PAUSE_AT_INTERVALS = 0;
    RunControlDialog dialog(model);
    EXPECT_FALSE(line(dialog, "PRINT_INTERV")->isEnabled());
    setText(dialog, "PRINT_INTERV", "ten");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer.");
    EXPECT_FALSE(test::accepted(dialog));
}

TEST_F(RunControlTest, IterationAndYearBoundsAreInclusive) {
    RunControlDialog dialog(model);
    setText(dialog, "NUM_YEARS", "50001");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 1 and 50000.");
    setText(dialog, "NUM_ITERS", "0");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 1 and 10000.");

    setText(dialog, "NUM_ITERS", "10000");
    setText(dialog, "NUM_YEARS", "50000");
    setText(dialog, "PRINT_INTERV", "250");    // 200 prints
    setText(dialog, "RESULTS_INTERV", "100");  // 500 results
    host.messages.clear();
    pressOk(dialog);
    EXPECT_TRUE(host.messages.empty()) << host.lastMessage();
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_EQ(model.params.NUM_ITERS, 10000);
    EXPECT_EQ(model.params.NUM_YEARS, 50000);
    EXPECT_EQ(model.params.PRINT_INTERV, 250);
    EXPECT_EQ(model.params.RESULTS_INTERV, 100);
}

TEST_F(RunControlTest, PauseIntervalUpToTheYearsIsAccepted) {
    RunControlDialog dialog(model);
    setText(dialog, "PRINT_INTERV", "100");
    setText(dialog, "RESULTS_INTERV", "100");
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_EQ(model.params.PRINT_INTERV, 100);
}

TEST_F(RunControlTest, PauseIntervalBeyondTheYearsIsRefusedAfterTheFirstStores) {
    RunControlDialog dialog(model);
    setText(dialog, "NUM_ITERS", "7");
    setText(dialog, "NUM_YEARS", "100");
    setText(dialog, "PRINT_INTERV", "101");
    test::field<QComboBox>(dialog, "SCREEN_OUTPUT_MODE")->setCurrentIndex(1);
    test::field<QCheckBox>(dialog, "OUTPUT_EVERY_TREE")->setChecked(true);
    setText(dialog, "RESULTS_FILE", "Data\\other.out");
    pressOk(dialog);
    EXPECT_FALSE(test::accepted(dialog));
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(dialog.focusWidget(), line(dialog, "PRINT_INTERV"));
    // Stored before the refusal, and kept by Cancel.
    pressCancel(dialog);
    EXPECT_EQ(model.params.SCREEN_OUTPUT_MODE, 2);
    EXPECT_TRUE(model.params.OUTPUT_EVERY_TREE);
    EXPECT_EQ(model.params.NUM_ITERS, 7);
    // Not reached.
    EXPECT_EQ(model.params.PRINT_INTERV, 10);
    EXPECT_EQ(model.params.RESULTS_FILE, "Data\\results.out");
}

TEST_F(RunControlTest, TooManyPrintsIsRefusedBeforeThePauseIntervalIsStored) {
    RunControlDialog dialog(model);
    setText(dialog, "NUM_YEARS", "1000");
    setText(dialog, "PRINT_INTERV", "4");
    pressOk(dialog);
    EXPECT_EQ(
        host.lastMessage(),
        "Print interval would cause more than 200 prints to be displayed.  Number of years / print interval "
        "should be 200 or less.");
    EXPECT_FALSE(test::accepted(dialog));
    EXPECT_EQ(model.params.NUM_YEARS, 1000);
    EXPECT_EQ(model.params.PRINT_INTERV, 10);
}

TEST_F(RunControlTest, TooManyResultsIsRefusedAfterThePauseIntervalIsStored) {
    RunControlDialog dialog(model);
    setText(dialog, "NUM_YEARS", "1000");
    setText(dialog, "PRINT_INTERV", "5");
    setText(dialog, "RESULTS_INTERV", "1");
    pressOk(dialog);
    EXPECT_EQ(
        host.lastMessage(),
        "Results interval would cause more than 500 results.  Number of years / results interval should be "
        "500 or less.");
    EXPECT_FALSE(test::accepted(dialog));
    EXPECT_EQ(model.params.PRINT_INTERV, 5);
    EXPECT_EQ(model.params.RESULTS_INTERV, 10);

    setText(dialog, "RESULTS_INTERV", "2");
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_EQ(model.params.RESULTS_INTERV, 2);
}

TEST_F(RunControlTest, ResultsIntervalBeyondTheYears) {
    RunControlDialog dialog(model);
    setText(dialog, "RESULTS_INTERV", "101");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Results interval must be less than or equal to number of years.");
    EXPECT_EQ(dialog.focusWidget(), line(dialog, "RESULTS_INTERV"));
    EXPECT_EQ(model.params.RESULTS_INTERV, 10);
}

TEST_F(RunControlTest, OneIterationWarnsAndIsStillStored) {
    RunControlDialog dialog(model);
    setText(dialog, "NUM_ITERS", "1");
    pressOk(dialog);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.lastMessage(),
              "Warning: Number of iterations must be at least 2 in order to run the statistics program on "
              "the data.");
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_EQ(model.params.NUM_ITERS, 1);
}

TEST_F(RunControlTest, OkStoresEveryValue) {
    RunControlDialog dialog(model);
    setText(dialog, "RESULTS_FILE", "Data\\a.out");
    setText(dialog, "STATS_RESULTS_FILE", "Data\\b.out");
    test::field<QCheckBox>(dialog, "PAUSE_EVERY_ITERATION")->setChecked(true);
    test::field<QCheckBox>(dialog, "PAUSE_AT_INTERVALS")->setChecked(false);
    setText(dialog, "RESULTS_INTERV", "0");
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_EQ(model.params.RESULTS_FILE, "Data\\a.out");
    EXPECT_EQ(model.params.STATS_RESULTS_FILE, "Data\\b.out");
    EXPECT_EQ(model.params.PAUSE_EVERY_ITERATION, 1);
    EXPECT_EQ(model.params.PAUSE_AT_INTERVALS, 0);
    EXPECT_EQ(model.params.RESULTS_INTERV, 0);
}

TEST_F(RunControlTest, DisplayOffDisablesThePauseFieldsAndChecksFileOutput) {
    model.params.FILE_OUTPUT_FLAG = 0;
    RunControlDialog dialog(model);
    auto* fileOutput = test::field<QCheckBox>(dialog, "FILE_OUTPUT_FLAG");
    EXPECT_FALSE(line(dialog, "RESULTS_FILE")->isEnabled());
    EXPECT_FALSE(line(dialog, "RESULTS_INTERV")->isEnabled());
    EXPECT_FALSE(line(dialog, "STATS_RESULTS_FILE")->isEnabled());
    EXPECT_FALSE(test::field<QCheckBox>(dialog, "OUTPUT_EVERY_TREE")->isEnabled());
    EXPECT_TRUE(line(dialog, "PRINT_INTERV")->isEnabled());

    auto* mode = test::field<QComboBox>(dialog, "SCREEN_OUTPUT_MODE");
    mode->setCurrentIndex(2);
    emit mode->activated(2);
    EXPECT_TRUE(fileOutput->isChecked());
    EXPECT_TRUE(line(dialog, "RESULTS_FILE")->isEnabled());
    EXPECT_FALSE(test::field<QCheckBox>(dialog, "PAUSE_AT_INTERVALS")->isEnabled());
    EXPECT_FALSE(test::field<QCheckBox>(dialog, "PAUSE_EVERY_ITERATION")->isEnabled());
    EXPECT_FALSE(line(dialog, "PRINT_INTERV")->isEnabled());

    mode->setCurrentIndex(0);
    emit mode->activated(0);
    auto* pauseAtIntervals = test::field<QCheckBox>(dialog, "PAUSE_AT_INTERVALS");
    EXPECT_TRUE(pauseAtIntervals->isEnabled());
    QTest::mouseClick(pauseAtIntervals, Qt::LeftButton);
    EXPECT_FALSE(pauseAtIntervals->isChecked());
    EXPECT_FALSE(line(dialog, "PRINT_INTERV")->isEnabled());
    QTest::mouseClick(fileOutput, Qt::LeftButton);
    EXPECT_FALSE(line(dialog, "RESULTS_FILE")->isEnabled());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(RunControlTest, AChangeOfTheListReReadsTheFieldsWithoutStoring) {
    RunControlDialog dialog(model);
    setText(dialog, "NUM_YEARS", "60000");
    auto* mode = test::field<QComboBox>(dialog, "SCREEN_OUTPUT_MODE");
    mode->setCurrentIndex(1);
    emit mode->activated(1);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 1 and 50000.");
    EXPECT_EQ(model.params.NUM_YEARS, 100);
    EXPECT_EQ(model.params.SCREEN_OUTPUT_MODE, 1);
}

TEST_F(RunControlTest, EnterIsOkAndEscapeIsCancel) {
    {
        RunControlDialog dialog(model);
        dialog.show();
        setText(dialog, "NUM_ITERS", "9");
        QTest::keyClick(line(dialog, "NUM_ITERS"), Qt::Key_Return);
        EXPECT_TRUE(test::accepted(dialog));
        EXPECT_EQ(model.params.NUM_ITERS, 9);
    }
    RunControlDialog dialog(model);
    dialog.show();
    setText(dialog, "NUM_ITERS", "3");
    QTest::keyClick(line(dialog, "NUM_ITERS"), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(model.params.NUM_ITERS, 9);
}

// ---- Graphics ----

using GraphicsTest = DialogModel;

TEST_F(GraphicsTest, WidthOutsideItsRangeChangesNothing) {
    GraphicsDialog dialog(model, nullptr);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Graphics Output Parameters");
    const auto labels = test::labelTexts(dialog);
    for (const char* label :
         {"Year prior to first weather record:", "Plot depth (% of screen, max = 90, min = 10):",
          "Maximum tree height (cm) for graph (min = 250, max = 2500):",
          "Interval in years between displays:", "Angle of plot image slant to right (max = 90):",
          "Plot width (% of screen, max = 90, min = 10):"}) {
        EXPECT_TRUE(test::contains(labels, label)) << label;
    }
    setText(dialog, "BASE_YEAR", "2100");
    setText(dialog, "WIDTH", "95");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 10 and 90.");
    EXPECT_EQ(dialog.focusWidget(), line(dialog, "WIDTH"));
    EXPECT_EQ(model.params.WIDTH, 50);
    EXPECT_EQ(model.params.BASE_YEAR, 1990);
    test::saveArtefact(dialog, QStringLiteral("graphics-dialog.png"));
}

TEST_F(GraphicsTest, RangesInTableOrder) {
    GraphicsDialog dialog(model, nullptr);
    setText(dialog, "SLANT", "90.5");
    setText(dialog, "HT_MAX", "249.9");
    setText(dialog, "DEPTH", "9");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 10 and 90.");
    setText(dialog, "DEPTH", "90");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter a number between 250 and 2500.");
    setText(dialog, "HT_MAX", "2500");
    setText(dialog, "GRAPH_INTVL", "100001");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 0 and 100000.");
    setText(dialog, "GRAPH_INTVL", "0");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter a number between 0 and 90.");
    setText(dialog, "SLANT", "90");
    setText(dialog, "BASE_YEAR", "-1");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 0 and 2100.");
    EXPECT_FALSE(test::accepted(dialog));
}

TEST_F(GraphicsTest, OkStoresAndReshapesThePlotImage) {
    PlotView view(model);
    view.resize(700, 500);
    view.applyLayout(QRect(0, 0, 700, 500));
    const double widthBefore = view.plotGeometry().plotWidth;
    GraphicsDialog dialog(model, &view);
    setText(dialog, "WIDTH", "80");
    setText(dialog, "DEPTH", "40");
    setText(dialog, "SLANT", "45");
    setText(dialog, "HT_MAX", "1200.5");
    setText(dialog, "GRAPH_INTVL", "3");
    setText(dialog, "BASE_YEAR", "1900");
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_EQ(model.params.WIDTH, 80);
    EXPECT_EQ(model.params.DEPTH, 40);
    EXPECT_DOUBLE_EQ(model.params.SLANT, 45.0);
    EXPECT_DOUBLE_EQ(model.params.HT_MAX, 1200.5);
    EXPECT_EQ(model.params.GRAPH_INTVL, 3);
    EXPECT_EQ(model.params.BASE_YEAR, 1900);
    const PlotGeometry expected = computeGeometry(model.params, 700, 500);
    EXPECT_GT(view.plotGeometry().plotWidth, widthBefore);
    EXPECT_DOUBLE_EQ(view.plotGeometry().plotWidth, expected.plotWidth);
    EXPECT_EQ(view.plotGeometry().backRightX, expected.backRightX);
    EXPECT_EQ(view.plotGeometry().backY, expected.backY);
}

// ---- Logging and windthrow ----

class DisturbanceTest : public DialogModel {
  protected:
    void SetUp() override {
        DialogModel::SetUp();
        RunParameters& p = model.params;
        p.BLOW_DOWN = 1;
        p.TEST_DISTURB = 1;
        p.BLOW_FREQ = 20;
        p.BLOW_PROB = 0.0;
        p.FIRST_DISTURB_YEAR = 15;
        p.MIN_DIAM_TO_KILL_FOR_LOGGING = 30.0;
        p.MIN_DIAM_TO_KILL_FOR_WINDTHROW = 12.0;
        p.AFTER_DISTURBANCE_RESULTS_FILE = "Data\\after.out";
    }
    QCheckBox* logging(QWidget& dialog) { return test::field<QCheckBox>(dialog, "logging"); }
    QCheckBox* windthrow(QWidget& dialog) { return test::field<QCheckBox>(dialog, "windthrow"); }
};

TEST_F(DisturbanceTest, LoggingShownWhenTheFrequencyIsSetAndNoProbability) {
    DisturbanceDialog dialog(model);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Logging/Windthrow Parameters");
    auto groups = test::groupTitles(dialog);
    std::sort(groups.begin(), groups.end());
    EXPECT_EQ(groups, (std::vector<std::string>{"File Names", "Logging", "Windthrow"}));
    EXPECT_EQ(logging(dialog)->text().toStdString(), "Permit &Logging");
    EXPECT_EQ(windthrow(dialog)->text().toStdString(), "Permit &Windthrow");
    EXPECT_TRUE(logging(dialog)->isChecked());
    EXPECT_FALSE(windthrow(dialog)->isChecked());
    EXPECT_TRUE(line(dialog, "FIRST_DISTURB_YEAR")->isEnabled());
    EXPECT_TRUE(line(dialog, "BLOW_FREQ")->isEnabled());
    EXPECT_TRUE(line(dialog, "MIN_DIAM_TO_KILL_FOR_LOGGING")->isEnabled());
    EXPECT_FALSE(line(dialog, "BLOW_PROB")->isEnabled());
    EXPECT_FALSE(line(dialog, "MIN_DIAM_TO_KILL_FOR_WINDTHROW")->isEnabled());
    EXPECT_TRUE(line(dialog, "DISTURBANCE_RESULTS_FILE")->isEnabled());
    // A probability of 0 is shown at the smallest value that passes its check.
    EXPECT_EQ(test::text(dialog, "BLOW_PROB"), "0.0001");
    EXPECT_EQ(test::text(dialog, "BLOW_FREQ"), "20");
    test::saveArtefact(dialog, QStringLiteral("disturbance-dialog.png"));
}

TEST_F(DisturbanceTest, WindthrowShownForAProbabilityAndValuesBelowOneShownAsOne) {
    model.params.BLOW_PROB = 0.02;
    model.params.BLOW_FREQ = 0;
    model.params.FIRST_DISTURB_YEAR = 0;
    DisturbanceDialog dialog(model);
    EXPECT_FALSE(logging(dialog)->isChecked());
    EXPECT_TRUE(windthrow(dialog)->isChecked());
    EXPECT_EQ(test::text(dialog, "BLOW_FREQ"), "1");
    EXPECT_EQ(test::text(dialog, "FIRST_DISTURB_YEAR"), "1");
    EXPECT_EQ(test::text(dialog, "BLOW_PROB"), "0.02");

    model.params.BLOW_DOWN = 0;
    DisturbanceDialog neither(model);
    EXPECT_FALSE(logging(neither)->isChecked());
    EXPECT_FALSE(windthrow(neither)->isChecked());
}

TEST_F(DisturbanceTest, CheckingWindthrowUnchecksLoggingAndDisablesItsFields) {
    DisturbanceDialog dialog(model);
    QTest::mouseClick(windthrow(dialog), Qt::LeftButton);
    EXPECT_TRUE(windthrow(dialog)->isChecked());
    EXPECT_FALSE(logging(dialog)->isChecked());
    EXPECT_FALSE(line(dialog, "FIRST_DISTURB_YEAR")->isEnabled());
    EXPECT_FALSE(line(dialog, "BLOW_FREQ")->isEnabled());
    EXPECT_FALSE(line(dialog, "MIN_DIAM_TO_KILL_FOR_LOGGING")->isEnabled());
    EXPECT_TRUE(line(dialog, "BLOW_PROB")->isEnabled());
    QTest::mouseClick(logging(dialog), Qt::LeftButton);
    EXPECT_FALSE(windthrow(dialog)->isChecked());
    QTest::mouseClick(logging(dialog), Qt::LeftButton);
    EXPECT_FALSE(logging(dialog)->isChecked());
    EXPECT_FALSE(windthrow(dialog)->isChecked());
}

TEST_F(DisturbanceTest, LoggingMapsToAFrequencyAndNoProbability) {
    DisturbanceDialog dialog(model);
    setText(dialog, "FIRST_DISTURB_YEAR", "25");
    setText(dialog, "BLOW_FREQ", "40");
    setText(dialog, "MIN_DIAM_TO_KILL_FOR_LOGGING", "35.5");
    setText(dialog, "MIN_DIAM_TO_KILL_FOR_WINDTHROW", "99");
    setText(dialog, "DISTURBANCE_STATS_RESULTS_FILE", "Data\\ds.out");
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    const RunParameters& p = model.params;
    EXPECT_EQ(p.BLOW_DOWN, 1);
    EXPECT_EQ(p.TEST_DISTURB, 1);
    EXPECT_EQ(p.FIRST_DISTURB_YEAR, 25);
    EXPECT_EQ(p.BLOW_FREQ, 40);
    EXPECT_EQ(p.BLOW_PROB, 0.0);
    EXPECT_DOUBLE_EQ(p.MIN_DIAM_TO_KILL_FOR_LOGGING, 35.5);
    EXPECT_DOUBLE_EQ(p.MIN_DIAM_TO_KILL_FOR_WINDTHROW, 12.0);  // windthrow not permitted: kept
    EXPECT_EQ(p.DISTURBANCE_STATS_RESULTS_FILE, "Data\\ds.out");
    EXPECT_EQ(p.AFTER_DISTURBANCE_RESULTS_FILE, "Data\\after.out");
}

TEST_F(DisturbanceTest, WindthrowMapsToAProbabilityAndNoFrequency) {
    DisturbanceDialog dialog(model);
    QTest::mouseClick(windthrow(dialog), Qt::LeftButton);
    setText(dialog, "BLOW_PROB", "1.0");
    setText(dialog, "MIN_DIAM_TO_KILL_FOR_WINDTHROW", "8");
    setText(dialog, "FIRST_DISTURB_YEAR", "99");
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    const RunParameters& p = model.params;
    EXPECT_EQ(p.BLOW_DOWN, 1);
    EXPECT_EQ(p.TEST_DISTURB, 1);
    EXPECT_EQ(p.BLOW_FREQ, 0);
    EXPECT_DOUBLE_EQ(p.BLOW_PROB, 1.0);
    EXPECT_DOUBLE_EQ(p.MIN_DIAM_TO_KILL_FOR_WINDTHROW, 8.0);
    EXPECT_EQ(p.FIRST_DISTURB_YEAR, 15);
    EXPECT_DOUBLE_EQ(p.MIN_DIAM_TO_KILL_FOR_LOGGING, 30.0);
}

TEST_F(DisturbanceTest, NeitherPermittedTurnsDisturbanceOff) {
    DisturbanceDialog dialog(model);
    QTest::mouseClick(logging(dialog), Qt::LeftButton);
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_EQ(model.params.BLOW_DOWN, 0);
    EXPECT_EQ(model.params.TEST_DISTURB, 0);
    EXPECT_EQ(model.params.BLOW_FREQ, 0);
    EXPECT_EQ(model.params.BLOW_PROB, 0.0);
}

TEST_F(DisturbanceTest, DisabledFieldsStillCheckedWithTheirBounds) {
    DisturbanceDialog dialog(model);
    setText(dialog, "BLOW_PROB", "0.00005");  // disabled while logging is permitted
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter a number between 0.0001 and 1.");
    setText(dialog, "BLOW_PROB", "0.5");
    setText(dialog, "BLOW_FREQ", "0");
    setText(dialog, "MIN_DIAM_TO_KILL_FOR_WINDTHROW", "100001");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter a number between 0 and 100000.");
    setText(dialog, "MIN_DIAM_TO_KILL_FOR_WINDTHROW", "100000");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 1 and 100000.");
    setText(dialog, "BLOW_FREQ", "100000");
    setText(dialog, "FIRST_DISTURB_YEAR", "50001");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 1 and 50000.");
    EXPECT_FALSE(test::accepted(dialog));
    EXPECT_EQ(model.params.BLOW_FREQ, 20);
    pressCancel(dialog);
    EXPECT_EQ(model.params.BLOW_FREQ, 20);
}

}  // namespace
}  // namespace dravia

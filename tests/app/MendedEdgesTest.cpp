// Details of the dialogs a class notices: the Species dialog's picture messages, the refused
// interval that must be editable, greyed captions, held values shown rounded but kept exact,
// room for the shipped picture names, and "About Dravia4..." in the Help menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QTest>
#include <QTextStream>

#include "DialogTestSupport.h"
#include "app/AboutDialog.h"
#include "app/DisturbanceDialog.h"
#include "app/MainWnd.h"
#include "app/RunControlDialog.h"
#include "app/SiteDialog.h"
#include "app/SpeciesDialog.h"
#include "input/StartupLoad.h"
#include "support/SmallDataSet.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

using test::line;
using test::pressOk;
using test::setText;

using LoadedSmallData = test::LoadedModel;

// ---- Picture names in the Species dialog ----

struct PictureNameCase {
    const char* small;
    const char* large;
    std::vector<std::string> messages;
};

TEST_F(LoadedSmallData, ChangedPictureNamesAreReportedWithoutTheSpecies) {
    const PictureNameCase cases[] = {
        {"Data\\nothere.bmp", "NONE", {"Could not read in small tree bitmap file \"Data\\nothere.bmp\"."}},
        {"NONE", "Data\\big.bmp", {"Could not read in large tree bitmap file \"Data\\big.bmp\"."}},
        // Lower case is a file name like any other.
        {"none", "NONE", {"Could not read in small tree bitmap file \"none\"."}},
        {"a.bmp",
         "b.bmp",
         {"Could not read in small tree bitmap file \"a.bmp\".",
          "Could not read in large tree bitmap file \"b.bmp\"."}},
    };
    for (const PictureNameCase& c : cases) {
        host.messages.clear();
        SpeciesDialog dialog(model, nullptr);
        setText(dialog, "SMALL_BITMAP", QString::fromLatin1(c.small));
        setText(dialog, "LARGE_BITMAP", QString::fromLatin1(c.large));
        pressOk(dialog);
        std::vector<std::string> shown;
        for (const auto& message : host.messages) shown.push_back(message.text);
        EXPECT_EQ(shown, c.messages) << c.small << " " << c.large;
        // An unreadable picture leaves the species without one.
        EXPECT_EQ(model.species[2].SMALL_BITMAP, "NONE");
        EXPECT_EQ(model.species[2].LARGE_BITMAP, "NONE");
        EXPECT_EQ(model.species[2].smallBitmap, nullptr);
    }
}

// The shipped species file names pictures like "Data\americanBeechSmall.bmp": each must show whole.
TEST_F(LoadedSmallData, PictureNameFieldsShowTheLongestShippedNameWhole) {
    QFile file(QStringLiteral(DRAVIA_SOURCE_DIR "/Data/speciesParams.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream in(&file);
    const QStringList header = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto small = header.indexOf(QStringLiteral("SMALL_BITMAP"));
    const auto large = header.indexOf(QStringLiteral("LARGE_BITMAP"));
    ASSERT_GE(small, 0);
    QStringList names;
    while (!in.atEnd()) {
        const QStringList columns = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (columns.size() > large) names << columns[small] << columns[large];
    }
    ASSERT_FALSE(names.empty());

    SpeciesDialog dialog(model, nullptr);
    dialog.show();
    QApplication::processEvents();
    for (const char* fieldName : {"SMALL_BITMAP", "LARGE_BITMAP"}) {
        QLineEdit* field = line(dialog, fieldName);
        for (const QString& name : names) {
            // Frame and inner margins of a line edit take about 8 pixels.
            EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(name) + 8)
                << fieldName << " " << name.toStdString();
        }
    }
    setText(dialog, "SMALL_BITMAP", QStringLiteral("Data\\americanBeechSmall.bmp"));
    setText(dialog, "LARGE_BITMAP", QStringLiteral("Data\\americanBeechLarge.bmp"));
    EXPECT_TRUE(dialog.grab().save(test::artefactPath(QStringLiteral("species-dialog-picture-names.png"))));
}

// ---- Held values ----

struct RoundedCase {
    double value;
    int decimals;
    const char* text;
};

TEST(HeldValues, RoundedToTheFieldsPlaces) {
    const RoundedCase cases[] = {
        {457.205559619605, 1, "457.2"}, {70.8666666666667, 3, "70.867"},
        {0.2863, 5, "0.2863"},          {4711.0, 6, "4711"},
        {10000000.0, 1, "10000000"},    {-0.0, 2, "0"},
        {-12.25, 1, "-12.2"},           {0.0001, 4, "0.0001"},
        {0.00001234, 3, "1.234e-05"},   {99.96, 1, "100"},
    };
    for (const RoundedCase& c : cases) {
        EXPECT_EQ(roundedText(c.value, c.decimals).toStdString(), c.text) << c.value;
    }
}

TEST_F(LoadedSmallData, SiteValuesShownRoundedAndKeptExactUnlessEdited) {
    model.site.ELEVATION = 457.205559619605;
    model.site.LATITUDE = 44.123456789;
    model.site.SOIL_DEPTH = 0.83333333333;
    model.run.RANDOM_STATE = 123456.78901234567;
    SiteDialog dialog(model);
    EXPECT_EQ(test::text(dialog, "ELEVATION"), "457.2");
    EXPECT_EQ(test::text(dialog, "LATITUDE"), "44.12");
    EXPECT_EQ(test::text(dialog, "SOIL_DEPTH"), "0.833");
    EXPECT_EQ(test::text(dialog, "RANDOM_STATE"), "123456.789012");
    test::saveArtefact(dialog, QStringLiteral("site-dialog-rounded.png"));
    setText(dialog, "LATITUDE", "45");
    pressOk(dialog);
    ASSERT_TRUE(test::accepted(dialog));
    EXPECT_EQ(model.site.ELEVATION, 457.205559619605);
    EXPECT_EQ(model.site.SOIL_DEPTH, 0.83333333333);
    EXPECT_EQ(model.run.RANDOM_STATE, 123456.78901234567);
    EXPECT_EQ(model.site.LATITUDE, 45.0);

    // Typing the very text shown is an edit: the typed value is stored.
    SiteDialog again(model);
    line(again, "ELEVATION")->selectAll();
    QTest::keyClicks(line(again, "ELEVATION"), QStringLiteral("457.2"));
    pressOk(again);
    EXPECT_EQ(model.site.ELEVATION, 457.2);
    EXPECT_EQ(model.site.SOIL_DEPTH, 0.83333333333);
}

TEST_F(LoadedSmallData, SpeciesValuesShownRoundedAndKeptExactUnlessEdited) {
    Species& birch = model.species[2];  // first in name order
    birch.B2 = 70.8666666666667;        // replaced on OK by the height curve's own value
    birch.C = 1.23456789;
    birch.DDMIN = 1000.123456789;  // °C-days, shown in °F-days
    birch.MIN_LIGHT = 0.1234567;
    SpeciesDialog dialog(model, nullptr);
    EXPECT_EQ(test::text(dialog, "B2"), "70.867");
    EXPECT_EQ(test::text(dialog, "C"), "1.235");
    EXPECT_EQ(test::text(dialog, "DDMIN"), "1800.2");
    EXPECT_EQ(test::text(dialog, "MIN_LIGHT"), "0.123");
    setText(dialog, "MIN_LIGHT", "0.5");
    pressOk(dialog);
    ASSERT_TRUE(test::accepted(dialog));
    EXPECT_EQ(birch.C, 1.23456789);
    EXPECT_EQ(birch.DDMIN, 1000.123456789);
    EXPECT_EQ(birch.MIN_LIGHT, 0.5);
}

// ---- A refused interval is always editable ----

struct RefusedIntervalCase {
    const char* name;
    int screenMode;  // list position + 1
    bool pauseAtIntervals;
    bool fileOutput;
    const char* years;
    const char* pauseInterval;
    const char* resultsInterval;
    const char* refusedField;
    const char* message;
    const char* mended;
};

class RunControlEdges : public ::testing::TestWithParam<RefusedIntervalCase> {};

TEST_P(RunControlEdges, TheRefusedIntervalBecomesEditableAndTakesTheFocus) {
    const RefusedIntervalCase c = GetParam();
    ModelState model;
    test::fillDisplayModel(model);
    test::ScriptedHost host;
    model.host = &host;
    RunParameters& p = model.params;
    p.SCREEN_OUTPUT_MODE = c.screenMode;
    p.PAUSE_AT_INTERVALS = c.pauseAtIntervals ? 1 : 0;
    p.FILE_OUTPUT_FLAG = c.fileOutput ? 1 : 0;
    p.NUM_ITERS = 3;
    p.PRINT_INTERV = 10;
    p.RESULTS_INTERV = 10;
    RunControlDialog dialog(model);
    dialog.show();
    setText(dialog, "NUM_YEARS", QString::fromLatin1(c.years));
    setText(dialog, "PRINT_INTERV", QString::fromLatin1(c.pauseInterval));
    setText(dialog, "RESULTS_INTERV", QString::fromLatin1(c.resultsInterval));
    QLineEdit* refused = line(dialog, c.refusedField);
    EXPECT_FALSE(refused->isEnabled()) << c.name;  // greyed by the check boxes
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), c.message) << c.name;
    EXPECT_FALSE(test::accepted(dialog)) << c.name;
    EXPECT_TRUE(refused->isEnabled()) << c.name;
    EXPECT_EQ(dialog.focusWidget(), refused) << c.name;
    // The user can now mend it, and OK goes through.
    setText(dialog, c.refusedField, QString::fromLatin1(c.mended));
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog)) << c.name << ": " << host.lastMessage();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunControlEdges,
    ::testing::Values(
        RefusedIntervalCase{"PausingOff", 1, false, true, "1000", "4", "10", "PRINT_INTERV",
                            "Print interval would cause more than 200 prints to be displayed.  Number of "
                            "years / print interval should be 200 or less.",
                            "5"},
        RefusedIntervalCase{"DisplayOff", 3, true, true, "50", "60", "10", "PRINT_INTERV",
                            "Pause interval must be less than or equal to number of years.", "50"},
        RefusedIntervalCase{"FileOutputOff", 2, true, false, "1000", "10", "1", "RESULTS_INTERV",
                            "Results interval would cause more than 500 results.  Number of years / results "
                            "interval should be 500 or less.",
                            "2"}),
    [](const ::testing::TestParamInfo<RefusedIntervalCase>& info) { return std::string(info.param.name); });

// ---- Greyed captions ----

QLabel* captionOf(QWidget& dialog, const char* fieldName) {
    QWidget* field = dialog.findChild<QWidget*>(QString::fromLatin1(fieldName));
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->buddy() == field) return label;
    }
    return nullptr;
}

TEST(GreyedCaptions, LabelsFollowTheirFields) {
    ModelState model;
    test::fillDisplayModel(model);
    test::ScriptedHost host;
    model.host = &host;
    model.params.PAUSE_AT_INTERVALS = 0;
    model.params.FILE_OUTPUT_FLAG = 1;
    model.params.BLOW_DOWN = 1;
    model.params.BLOW_FREQ = 10;
    model.params.BLOW_PROB = 0.0;

    RunControlDialog run(model);
    QLabel* pauseCaption = captionOf(run, "PRINT_INTERV");
    ASSERT_NE(pauseCaption, nullptr);
    EXPECT_FALSE(pauseCaption->isEnabled());
    QLabel* years = nullptr;
    for (QLabel* label : run.findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("(years)")) years = label;
    }
    ASSERT_NE(years, nullptr);
    EXPECT_FALSE(years->isEnabled());
    test::field<QCheckBox>(run, "PAUSE_AT_INTERVALS")->click();
    EXPECT_TRUE(pauseCaption->isEnabled());
    EXPECT_TRUE(years->isEnabled());
    EXPECT_TRUE(captionOf(run, "RESULTS_INTERV")->isEnabled());
    test::field<QCheckBox>(run, "FILE_OUTPUT_FLAG")->click();
    EXPECT_FALSE(captionOf(run, "RESULTS_INTERV")->isEnabled());
    EXPECT_FALSE(captionOf(run, "RESULTS_FILE")->isEnabled());

    DisturbanceDialog disturbance(model);
    for (const char* logging : {"FIRST_DISTURB_YEAR", "BLOW_FREQ", "MIN_DIAM_TO_KILL_FOR_LOGGING"})
        EXPECT_TRUE(captionOf(disturbance, logging)->isEnabled()) << logging;
    for (const char* windthrow : {"BLOW_PROB", "MIN_DIAM_TO_KILL_FOR_WINDTHROW"})
        EXPECT_FALSE(captionOf(disturbance, windthrow)->isEnabled()) << windthrow;
    test::field<QCheckBox>(disturbance, "windthrow")->click();
    EXPECT_FALSE(captionOf(disturbance, "BLOW_FREQ")->isEnabled());
    EXPECT_TRUE(captionOf(disturbance, "BLOW_PROB")->isEnabled());
    EXPECT_TRUE(captionOf(disturbance, "AFTER_DISTURBANCE_RESULTS_FILE")->isEnabled());
    test::saveArtefact(disturbance, QStringLiteral("disturbance-dialog-greyed.png"));
    test::saveArtefact(run, QStringLiteral("run-control-dialog-greyed.png"));
}

// ---- About in the Help menu ----

TEST(HelpMenuAbout, OpensTheAboutBox) {
    MainWnd window([](ModelState& model) { test::fillDisplayModel(model); });
    QAction* about = window.commandAction(CMD_ABOUT);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text().toStdString(), "&About Dravia4...");
    test::withNextModal([&] { about->trigger(); },
                        [](QWidget* modal) {
                            EXPECT_NE(qobject_cast<AboutDialog*>(modal), nullptr);
                            EXPECT_EQ(modal->windowTitle().toStdString(), "About Dravia4");
                        });
}

}  // namespace
}  // namespace dravia

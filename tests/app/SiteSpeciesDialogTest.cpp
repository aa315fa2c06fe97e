#include <gtest/gtest.h>

#include <QTest>

#include "DialogTestSupport.h"
#include "app/SiteDialog.h"
#include "app/SpeciesDialog.h"
#include "input/SpeciesFile.h"
#include "input/StartupLoad.h"
#include "support/SmallDataSet.h"
#include "support/TempDirectory.h"
#include "support/Tolerance.h"

namespace dravia {
namespace {

using test::line;
using test::pressCancel;
using test::pressOk;
using test::setText;

using test::LoadedModel;

// ---- Site ----

using SiteTest = LoadedModel;

TEST_F(SiteTest, TitleListsAndLabels) {
    SiteDialog dialog(model);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Site Information Parameters");
    EXPECT_EQ(test::listEntries(test::field<QComboBox>(dialog, "CLEAR_PLOT")),
              (std::vector<std::string>{"Initial forest on plot", "Start with clear plot"}));
    EXPECT_EQ(test::listEntries(test::field<QComboBox>(dialog, "CLIMATE_CHANGE")),
              (std::vector<std::string>{"Constant (average) climate", "Year-to-year climate changes"}));
    EXPECT_EQ(test::listEntries(test::field<QComboBox>(dialog, "WTHR_TYPE")),
              (std::vector<std::string>{"NORMAL", "WARM"}));  // as the community file names them
    EXPECT_EQ(test::listEntries(test::field<QComboBox>(dialog, "WATER_STRESS_MODE")),
              (std::vector<std::string>{"Water Stress: evap", "Water Stress: soil water"}));
    const auto labels = test::labelTexts(dialog);
    for (const char* label :
         {"Initial State:", "Climate Change:", "Weather Type:", "Avail N (-100's to +100's):",
          "Max Basal Area (sq cm):", "Elevation (m):", "Latitude (deg):", "Percent Rock in Soil:",
          "Random Number Seed:", "Soil Depth (m):", "Moisture Capacity",
          "(mm H20 / m depth):", "Water Depth (m):", "Weather File:", "Root Depth (m):", "Site Mode:",
          "Plot File:", "Species File:"}) {
        EXPECT_TRUE(test::contains(labels, label)) << label;
    }
    EXPECT_EQ(test::text(dialog, "LATITUDE"), "44.2");
    EXPECT_EQ(test::text(dialog, "RANDOM_STATE"), "4711");
    EXPECT_EQ(test::text(dialog, "PLOT_FILE"), "Data\\plot.txt");
    test::saveArtefact(dialog, QStringLiteral("site-dialog.png"));
}

TEST_F(SiteTest, OkWithoutChangesReadsNoFileAndDerivesTheElevationInFeet) {
    model.species[1].DMAX = 123.0;  // a species file read would put 100 back
    const Site before = model.site;
    SiteDialog dialog(model);
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(model.species[1].DMAX, 123.0);
    EXPECT_DOUBLE_EQ(model.site.LATITUDE, before.LATITUDE);
    EXPECT_SAME_VALUE(model.site.ELEVATION, before.ELEVATION);
    EXPECT_SAME_VALUE(model.site.ELEV_FT, model.site.ELEVATION * 3.2808);
}

TEST_F(SiteTest, OkStoresTheSeedIntoTheGeneratorStateAndTheListsAndMode) {
    SiteDialog dialog(model);
    setText(dialog, "RANDOM_STATE", "12345.5");
    setText(dialog, "ELEVATION", "500");
    setText(dialog, "BA_MAX", "10000000");
    setText(dialog, "PERCENT_ROCK", "100");
    setText(dialog, "WTHR_FILE", "Data\\warm.txt");
    test::field<QComboBox>(dialog, "CLEAR_PLOT")->setCurrentIndex(1);
    test::field<QComboBox>(dialog, "CLIMATE_CHANGE")->setCurrentIndex(1);
    test::field<QComboBox>(dialog, "WTHR_TYPE")->setCurrentIndex(1);
    test::field<QComboBox>(dialog, "WATER_STRESS_MODE")->setCurrentIndex(1);
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_EQ(model.run.RANDOM_STATE, 12345.5);
    EXPECT_EQ(model.params.SEED_INIT, 4711.0);
    EXPECT_EQ(model.site.ELEVATION, 500.0);
    EXPECT_DOUBLE_EQ(model.site.ELEV_FT, 1640.4);
    EXPECT_EQ(model.params.BA_MAX, 10000000.0);
    EXPECT_EQ(model.site.PERCENT_ROCK, 100.0);
    EXPECT_EQ(model.params.WTHR_FILE, "Data\\warm.txt");
    EXPECT_EQ(model.params.CLEAR_PLOT, 1);
    EXPECT_EQ(model.params.CLIMATE_CHANGE, 1);
    EXPECT_EQ(model.params.WTHR_TYPE, 1);
    EXPECT_EQ(model.params.WATER_STRESS_MODE, 1);
}

TEST_F(SiteTest, RangesInTableOrder) {
    SiteDialog dialog(model);
    dialog.show();
    setText(dialog, "ROOT_DEPTH", "0");
    setText(dialog, "RANDOM_STATE", "0");
    setText(dialog, "WATER_DEPTH", "deep");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter a number between 0.000001 and 999999999.");
    EXPECT_EQ(dialog.focusWidget(), line(dialog, "RANDOM_STATE"));
    setText(dialog, "RANDOM_STATE", "999999999");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter a number.");
    EXPECT_EQ(dialog.focusWidget(), line(dialog, "WATER_DEPTH"));
    setText(dialog, "WATER_DEPTH", "-3");  // no range
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter a number between 0.001 and 100000.");
    EXPECT_EQ(dialog.focusWidget(), line(dialog, "ROOT_DEPTH"));
    setText(dialog, "BA_MAX", "0.0009");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter a number between 0.001 and 10000000.");
    setText(dialog, "BA_MAX", "7000");
    setText(dialog, "TEXTURE", "1000.5");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter a number between 0 and 1000.");
    EXPECT_FALSE(test::accepted(dialog));
    EXPECT_EQ(model.run.RANDOM_STATE, 4711.0);
    EXPECT_EQ(model.site.WATER_DEPTH, 2.5);
}

TEST_F(SiteTest, OnlyTheChangedPlotFileIsReadAndItsSiteValuesWin) {
    test::writeTextFile(
        directory.path() / "Data" / "plot2.txt",
        "ELEV_FT        2000.0\nLATITUDE       47.5\nSOIL_DEPTH     0.8\nROOT_DEPTH     0.6\n"
        "WATER_DEPTH    3.0\nTEXTURE        120.0\nPERCENT_ROCK   10.0\nAVAIL_N        70.0\n\n"
        "SN  DBH  HT\n  1   10.0  0.0\n");
    model.species[1].DMAX = 123.0;
    SiteDialog dialog(model);
    setText(dialog, "LATITUDE", "30");
    setText(dialog, "RANDOM_STATE", "99");
    setText(dialog, "PLOT_FILE", "Data\\plot2.txt");
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_TRUE(host.messages.empty()) << host.lastMessage();
    EXPECT_EQ(model.params.PLOT_FILE, "Data\\plot2.txt");
    EXPECT_DOUBLE_EQ(model.site.LATITUDE, 47.5);
    EXPECT_DOUBLE_EQ(model.site.ELEV_FT, 2000.0);
    EXPECT_EQ(model.run.RANDOM_STATE, 99.0);
    EXPECT_EQ(model.species[1].DMAX, 123.0);  // the species file was not read
}

TEST_F(SiteTest, AnUnreadableSpeciesFileKeepsItsOldNameAndTheModeIsStillStored) {
    SiteDialog dialog(model);
    setText(dialog, "SPP_PARAM_FILE", "Data\\missing.txt");
    test::field<QComboBox>(dialog, "WATER_STRESS_MODE")->setCurrentIndex(1);
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.lastMessage().find("Data\\missing.txt"), std::string::npos) << host.lastMessage();
    EXPECT_EQ(model.params.SPP_PARAM_FILE, "Data\\species.txt");
    EXPECT_EQ(model.params.WATER_STRESS_MODE, 1);
    SiteDialog again(model);
    EXPECT_EQ(test::text(again, "SPP_PARAM_FILE"), "Data\\species.txt");
}

TEST_F(SiteTest, CancelStoresNothing) {
    SiteDialog dialog(model);
    setText(dialog, "LATITUDE", "10");
    pressCancel(dialog);
    EXPECT_DOUBLE_EQ(model.site.LATITUDE, 44.2);
}

// ---- Species ----

using SpeciesTest = LoadedModel;

TEST_F(SpeciesTest, ListInNameOrderCarryingSpeciesNumbers) {
    SpeciesDialog dialog(model, nullptr);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Species Parameters");
    QComboBox* list = dialog.speciesList();
    EXPECT_EQ(test::listEntries(list), (std::vector<std::string>{"Test birch", "Test cherry", "Test maple"}));
    EXPECT_EQ(list->itemData(0).toInt(), 2);
    EXPECT_EQ(list->itemData(1).toInt(), 3);
    EXPECT_EQ(list->itemData(2).toInt(), 1);
    EXPECT_EQ(dialog.shownSpecies(), 2);
    EXPECT_EQ(test::text(dialog, "DMAX"), "80");
    EXPECT_EQ(test::listEntries(test::field<QComboBox>(dialog, "N_TYPE")),
              (std::vector<std::string>{"intolerant", "intermediate", "tolerant"}));
    EXPECT_EQ(test::field<QComboBox>(dialog, "SHADE_TYPE")->currentIndex(), 1);
    EXPECT_EQ(test::field<QCheckBox>(dialog, "ABLE_TO_ENTER")->text().toStdString(), "Able To Enter:");
    const auto labels = test::labelTexts(dialog);
    for (const char* label : {"Species:",
                              "Maximum Diameter (cm):",
                              "Nitrogen Tolerance Type:",
                              "Shade Tolerance Type:",
                              "Maximum Age (years):",
                              "Biomass Constant B2:",
                              "Biomass Constant B3:",
                              "Leaf weight DBH param:",
                              "Minimum degree-days (deg F-days):",
                              "Maximum degree-days (deg F-days):",
                              "Minimum diameter increment (cm):",
                              "Growth Constant:",
                              "Maximum Height (cm):",
                              "Maximum Leaf Weight (Kg):",
                              "Minimum light factor:",
                              "Minimum water table depth (m):",
                              "Wilting factor:",
                              "Maximum Number of Saplings:",
                              "Small Bitmap File:",
                              "Large Bitmap File:",
                              "Min Height for Large Bitmap:"}) {
        EXPECT_TRUE(test::contains(labels, label)) << label;
    }
    test::saveArtefact(dialog, QStringLiteral("species-dialog.png"));
}

TEST_F(SpeciesTest, NameOrderIgnoresCaseAndKeepsSpeciesOrderForEqualNames) {
    model.species[1].NAME = "beech";
    model.species[2].NAME = "Ash";
    model.species[3].NAME = "beech";
    EXPECT_EQ(speciesInNameOrder(model), (std::vector<int>{2, 1, 3}));
}

TEST_F(SpeciesTest, AgeShownRoundedAndDegreeDaysInFahrenheit) {
    model.species[2].AGEMAX = 99.6;
    SpeciesDialog dialog(model, nullptr);
    EXPECT_EQ(test::text(dialog, "AGEMAX"), "100");
    // Held as °C-days (1800 °F-days × 0.55556), shown as entered in the species file.
    EXPECT_EQ(test::text(dialog, "DDMIN"), "1800");
    EXPECT_EQ(test::text(dialog, "DDMAX"), "5600");
    setText(dialog, "DDMIN", "1000");
    setText(dialog, "DDMAX", "5400");
    pressOk(dialog);
    EXPECT_DOUBLE_EQ(model.species[2].DDMIN, 555.56);
    EXPECT_DOUBLE_EQ(model.species[2].DDMAX, 3000.024);
    // Shown rounded, but not edited: the held age stays exact.
    EXPECT_EQ(model.species[2].AGEMAX, 99.6);
    SpeciesDialog again(model, nullptr);
    // Typing the number shown stores it as typed.
    line(again, "AGEMAX")->selectAll();
    QTest::keyClicks(line(again, "AGEMAX"), QStringLiteral("100"));
    pressOk(again);
    EXPECT_EQ(model.species[2].AGEMAX, 100.0);
}

TEST_F(SpeciesTest, HeightCurveAndGrowthRecomputedAfterStoring) {
    Species& birch = model.species[2];
    const double growthRatio = birch.GROWTH_RATIO;
    SpeciesDialog dialog(model, nullptr);
    setText(dialog, "DMAX", "100");
    setText(dialog, "HMAX", "3000");
    setText(dialog, "B2", "5");
    setText(dialog, "B3", "5");
    setText(dialog, "G", "1");
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_DOUBLE_EQ(birch.B2, 57.26);
    EXPECT_DOUBLE_EQ(birch.B3, 0.2863);
    EXPECT_DOUBLE_EQ(birch.G, growthRatio * 3000.0 / 100.0);
    EXPECT_NE(birch.G, 1.0);
}

TEST_F(SpeciesTest, CancelAfterMovingKeepsTheFirstSpeciesChanges) {
    SpeciesDialog dialog(model, nullptr);
    setText(dialog, "DMAX", "90");
    setText(dialog, "MAX_SAPLINGS", "11");
    test::field<QCheckBox>(dialog, "ABLE_TO_ENTER")->setChecked(false);
    dialog.speciesList()->setCurrentIndex(2);  // Test_maple
    EXPECT_EQ(dialog.shownSpecies(), 1);
    EXPECT_EQ(test::text(dialog, "DMAX"), "100");
    setText(dialog, "DMAX", "150");
    pressCancel(dialog);
    EXPECT_EQ(model.species[2].DMAX, 90.0);
    EXPECT_EQ(model.species[2].MAX_SAPLINGS, 11);
    EXPECT_EQ(model.species[2].ABLE_TO_ENTER, 0);
    EXPECT_EQ(model.species[1].DMAX, 100.0);
}

TEST_F(SpeciesTest, MovingWithAFieldOutOfRangeStoresNothing) {
    SpeciesDialog dialog(model, nullptr);
    setText(dialog, "DMAX", "90");
    setText(dialog, "AGEMAX", "0");
    dialog.speciesList()->setCurrentIndex(1);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 1 and 100000.");
    EXPECT_EQ(model.species[2].DMAX, 80.0);
    EXPECT_EQ(dialog.shownSpecies(), 3);
}

TEST_F(SpeciesTest, RangesInTableOrder) {
    SpeciesDialog dialog(model, nullptr);
    setText(dialog, "LARGE_BITMAP_MIN_HT", "x");
    setText(dialog, "MAX_SAPLINGS", "100001");
    setText(dialog, "WILT_FACTOR", "-0.1");
    setText(dialog, "DMAX", "0.0009");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter a number between 0.001 and 100000.");
    setText(dialog, "DMAX", "100000");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter a number between 0 and 100000.");
    setText(dialog, "WILT_FACTOR", "0");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer between 0 and 100000.");
    setText(dialog, "MAX_SAPLINGS", "0");
    pressOk(dialog);
    EXPECT_EQ(host.lastMessage(), "Please enter an integer.");
    EXPECT_FALSE(test::accepted(dialog));
    EXPECT_EQ(model.species[2].DMAX, 80.0);
    setText(dialog, "LARGE_BITMAP_MIN_HT", "-40");  // no range
    pressOk(dialog);
    EXPECT_TRUE(test::accepted(dialog));
    EXPECT_EQ(model.species[2].LARGE_BITMAP_MIN_HT, -40);
}

TEST_F(SpeciesTest, OnlyAChangedPictureNameIsReadAgain) {
    SpeciesDialog dialog(model, nullptr);
    setText(dialog, "SMALL_BITMAP", "Data\\nothere.bmp");
    pressOk(dialog);
    ASSERT_EQ(host.messages.size(), 1u);
    // The dialog shows the species, so its message names only the file.
    EXPECT_EQ(host.lastMessage(), "Could not read in small tree bitmap file \"Data\\nothere.bmp\".");
    EXPECT_EQ(model.species[2].SMALL_BITMAP, "NONE");
    EXPECT_EQ(model.species[2].LARGE_BITMAP, "NONE");

    host.messages.clear();
    SpeciesDialog unchanged(model, nullptr);
    pressOk(unchanged);
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace dravia

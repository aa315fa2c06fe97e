#include <gtest/gtest.h>

#include <QCheckBox>
#include <QMessageBox>
#include <QTest>
#include <filesystem>
#include <functional>
#include <optional>

#include "DialogTestSupport.h"
#include "app/ModelOptionsDialog.h"
#include "input/ModelOptionsFile.h"

namespace dravia {
namespace {

using test::pressCancel;
using test::pressOk;

using Chosen = std::array<std::optional<int>, MODEL_OPTION_COUNT>;

// The small data set with a preset that sets the slow-growth years to 3, loaded as at start-up.
class ModelOptionsDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::writeSmallDataSet(directory.path());
        test::writeTextFile("Data/initModelOptions.txt", "SLOW_GROWTH_YEARS 3\n");
        model.host = &host;
        loadAtStartup(model);
        host.messages.clear();
    }
    test::TempDirectory directory;
    ModelState model;
    test::ScriptedHost host;
};

QCheckBox* presetBox(QWidget& dialog, const char* key) {
    return test::field<QCheckBox>(dialog, (std::string(key) + "_FROM_PRESET").c_str());
}

// Types into a field as a person would, over what it shows.
void type(QWidget& dialog, const char* key, const QString& text) {
    QLineEdit* field = test::line(dialog, key);
    field->selectAll();
    QTest::keyClicks(field, text);
}

ModelOptions options(int slowGrowthYears, int climateMemoryYears) {
    ModelOptions made;
    made.SLOW_GROWTH_YEARS = slowGrowthYears;
    made.CLIMATE_MEMORY_YEARS = climateMemoryYears;
    return made;
}

TEST_F(ModelOptionsDialogTest, EachOptionInPlainWordsWithTheValueItTakesNow) {
    ModelOptionsDialog dialog(model);
    for (const ModelOptionKind& kind : MODEL_OPTION_KINDS) {
        const std::string words = std::string(kind.words) + ". A whole number from 1 to 1000.";
        EXPECT_TRUE(test::contains(test::labelTexts(dialog), words)) << kind.key;
        EXPECT_EQ(test::line(dialog, kind.key)->whatsThis().toStdString(), words);
    }
    // The preset's value, followed; the other option at its classic value, which no file set.
    EXPECT_EQ(test::text(dialog, "SLOW_GROWTH_YEARS"), "3");
    EXPECT_FALSE(test::line(dialog, "SLOW_GROWTH_YEARS")->isEnabled());
    EXPECT_EQ(presetBox(dialog, "SLOW_GROWTH_YEARS")->text().toStdString(), "As the preset sets it (3)");
    EXPECT_TRUE(presetBox(dialog, "SLOW_GROWTH_YEARS")->isChecked());
    EXPECT_EQ(test::text(dialog, "CLIMATE_MEMORY_YEARS"), "1");

    // A person's earlier choice is shown as theirs.
    model.optionSources.chosen = {5, std::nullopt};
    ModelOptionsDialog again(model);
    EXPECT_EQ(test::text(again, "SLOW_GROWTH_YEARS"), "5");
    EXPECT_TRUE(test::line(again, "SLOW_GROWTH_YEARS")->isEnabled());
    EXPECT_FALSE(presetBox(again, "SLOW_GROWTH_YEARS")->isChecked());
    type(again, "SLOW_GROWTH_YEARS", "12");
    test::saveArtefact(again, QStringLiteral("model-options-dialog.png"));
}

struct DialogCase {
    const char* name;
    Chosen chosenBefore;
    std::function<void(ModelOptionsDialog&)> act;  // ends with OK or Cancel
    bool accepted;
    const char* message;  // the field check's, or empty
    Chosen chosenAfter;
    ModelOptions inForce;
};

TEST_F(ModelOptionsDialogTest, AChoiceIsPutInForceCancelAndRefusedValuesChangeNothing) {
    const auto choose = [](const char* key, const char* value) {
        return [=](ModelOptionsDialog& dialog) {
            QTest::mouseClick(presetBox(dialog, key), Qt::LeftButton);
            type(dialog, key, QString::fromLatin1(value));
            pressOk(dialog);
        };
    };
    const auto refused = [&](const char* key, const char* value) {
        return [=](ModelOptionsDialog& dialog) {
            choose(key, value)(dialog);
            pressCancel(dialog);
        };
    };
    const char* const outOfRange = "Please enter an integer between 1 and 1000.";
    const DialogCase cases[] = {
        {"a value entered",
         {},
         choose("CLIMATE_MEMORY_YEARS", "15"),
         true,
         "",
         {std::nullopt, 15},
         options(3, 15)},
        {"the classic value over the preset's",
         {},
         choose("SLOW_GROWTH_YEARS", "1"),
         true,
         "",
         {1, std::nullopt},
         options(1, 1)},
        {"cancelled",
         {},
         [](ModelOptionsDialog& dialog) {
             QTest::mouseClick(presetBox(dialog, "SLOW_GROWTH_YEARS"), Qt::LeftButton);
             type(dialog, "SLOW_GROWTH_YEARS", QStringLiteral("9"));
             pressCancel(dialog);
         },
         false,
         "",
         {},
         options(3, 1)},
        {"below the range", {}, refused("CLIMATE_MEMORY_YEARS", "0"), false, outOfRange, {}, options(3, 1)},
        {"above the range", {}, refused("SLOW_GROWTH_YEARS", "1001"), false, outOfRange, {}, options(3, 1)},
        {"back to the preset",
         {7, 4},
         [](ModelOptionsDialog& dialog) {
             QTest::mouseClick(presetBox(dialog, "SLOW_GROWTH_YEARS"), Qt::LeftButton);
             EXPECT_EQ(test::text(dialog, "SLOW_GROWTH_YEARS"), "3");
             pressOk(dialog);
         },
         true,
         "",
         {std::nullopt, 4},
         options(3, 4)},
        {"the classic model",
         {},
         [](ModelOptionsDialog& dialog) {
             test::field<QPushButton>(dialog, "CLASSIC_MODEL")->click();
             pressOk(dialog);
         },
         true,
         "",
         {1, 1},
         options(1, 1)},
    };
    const std::string presetFile = test::readTextFile("Data/initModelOptions.txt");
    const auto filesBefore =
        std::distance(std::filesystem::recursive_directory_iterator(directory.path()), {});
    for (const DialogCase& c : cases) {
        SCOPED_TRACE(c.name);
        model.optionSources.chosen = c.chosenBefore;
        applyModelOptions(model);
        const ModelOptions before = model.options;
        host.messages.clear();
        ModelOptionsDialog dialog(model);
        c.act(dialog);
        EXPECT_EQ(test::accepted(dialog), c.accepted);
        EXPECT_EQ(host.messages.empty() ? std::string() : test::lastMessage(host), c.message);
        EXPECT_EQ(model.optionSources.chosen, c.accepted ? c.chosenAfter : c.chosenBefore);
        EXPECT_EQ(model.options, c.accepted ? c.inForce : before);
        EXPECT_EQ(model.options, optionsInForce(model.optionSources));
    }
    // The dialog edits the settings in memory only.
    EXPECT_EQ(test::readTextFile("Data/initModelOptions.txt"), presetFile);
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(directory.path()), {}),
              filesBefore);
}

TEST_F(ModelOptionsDialogTest, HelpOpensTheManualsPageOnTheOptions) {
    ModelOptionsDialog dialog(model);
    // The scratch directory holds no manual: the box names the page the button asked for.
    test::withNextModal([&] { dialog.buttons()->button(QDialogButtonBox::Help)->click(); },
                        [](QWidget* modal) {
                            auto* box = qobject_cast<QMessageBox*>(modal);
                            ASSERT_NE(box, nullptr);
                            EXPECT_EQ(box->text().toStdString(),
                                      "Could not open the help file \"Manual\\Forest_chap5.html\".");
                        });
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(DRAVIA_SOURCE_DIR) / "Manual" /
                                                 "Forest_chap5.html"));
}

}  // namespace
}  // namespace dravia

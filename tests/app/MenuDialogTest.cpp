#include <gtest/gtest.h>

#include <QAction>
#include <QMessageBox>

#include "DialogTestSupport.h"
#include "app/MainWnd.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

struct MenuDialog {
    int command;
    const char* title;
};

TEST(ParametersMenu, EveryItemOpensItsDialog) {
    MainWnd window([](ModelState& model) { test::fillDisplayModel(model); });
    const MenuDialog dialogs[] = {
        {CMD_COMMUNITIES, "Communities and Climate Selection Parameters"},
        {CMD_RUN_CONTROL, "Input, Output, Run-Time Control Parameters"},
        {CMD_SITE, "Site Information Parameters"},
        {CMD_SPECIES, "Species Parameters"},
        {CMD_DISTURBANCE, "Logging/Windthrow Parameters"},
        {CMD_GRAPHICS, "Graphics Output Parameters"},
        {CMD_MODEL_OPTIONS, "Model Options"},
    };
    for (const MenuDialog& expected : dialogs) {
        test::withNextModal([&] { window.commandAction(expected.command)->trigger(); },
                            [&](QWidget* modal) {
                                EXPECT_NE(qobject_cast<ParameterDialog*>(modal), nullptr) << expected.title;
                                EXPECT_EQ(modal->windowTitle().toStdString(), expected.title);
                            });
    }
}

TEST(HelpMenu, ItemsWithoutTheManualSayWhichFileIsMissing) {
    MainWnd window([](ModelState& model) { test::fillDisplayModel(model); });
    test::TempDirectory directory;
    const std::pair<int, const char*> pages[] = {
        {CMD_HELP_OVERVIEW, "Manual\\dravia3_overview.htm"},
        {CMD_HELP_FOREST_WORKS, "Manual\\howForestWorks.htm"},
        {CMD_HELP_CHAPTER_1, "Manual\\Forest.html"},
        {CMD_HELP_CHAPTER_2 + 7, "Manual\\Forest_chap9.html"},
    };
    for (const auto& [command, page] : pages) {
        test::withNextModal([&] { window.commandAction(command)->trigger(); },
                            [&](QWidget* modal) {
                                auto* box = qobject_cast<QMessageBox*>(modal);
                                ASSERT_NE(box, nullptr);
                                EXPECT_EQ(box->windowTitle().toStdString(), "Error");
                                EXPECT_EQ(box->text().toStdString(),
                                          std::string("Could not open the help file \"") + page + "\".");
                            });
    }
}

}  // namespace
}  // namespace dravia

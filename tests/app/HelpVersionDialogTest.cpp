#include <gtest/gtest.h>

#include <QAction>
#include <QMessageBox>

#include "DialogTestSupport.h"
#include "app/AboutDialog.h"
#include "app/HelpPages.h"
#include "app/VersionInfoDialog.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

TEST(HelpPage, AMissingManualPageIsReportedWithItsStoredName) {
    test::TempDirectory directory;  // no Manual/ here
    bool opened = true;
    test::withNextModal([&] { opened = openHelpPage(QStringLiteral("Manual\\Forest_chap2.html"), nullptr); },
                        [](QWidget* modal) {
                            auto* box = qobject_cast<QMessageBox*>(modal);
                            ASSERT_NE(box, nullptr);
                            EXPECT_EQ(box->windowTitle().toStdString(), "Error");
                            EXPECT_EQ(box->icon(), QMessageBox::Critical);
                            EXPECT_EQ(box->text().toStdString(),
                                      "Could not open the help file \"Manual\\Forest_chap2.html\".");
                        });
    EXPECT_FALSE(opened);
}

TEST(VersionInfo, CreditsNameTheProjectAndTheAboutItemIsInTheContextMenu) {
    VersionInfoDialog dialog;
    const auto labels = test::labelTexts(dialog);
    EXPECT_TRUE(test::contains(labels, "DRAVIA-4: A MODEL OF FOREST GROWTH"));
    bool version = false, project = false;
    for (const std::string& label : labels) {
        version = version || (label.find("DRAVIA-4") != std::string::npos &&
                              label.find("Version 4.00 beta") != std::string::npos);
        project = project || label.find("Dravia4 project") != std::string::npos;
    }
    EXPECT_TRUE(version);
    EXPECT_TRUE(project);
    EXPECT_EQ(dialog.contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_TRUE(dialog.actions().contains(dialog.aboutAction()));
    EXPECT_EQ(dialog.aboutAction()->text().toStdString(), "&About Dravia4...");

    test::withNextModal([&] { dialog.aboutAction()->trigger(); },
                        [](QWidget* modal) {
                            EXPECT_NE(qobject_cast<AboutDialog*>(modal), nullptr);
                            EXPECT_EQ(modal->windowTitle().toStdString(), "About Dravia4");
                        });
}

TEST(About, IconNameVersionAndOk) {
    AboutDialog dialog;
    EXPECT_EQ(dialog.windowTitle().toStdString(), "About Dravia4");
    const auto labels = test::labelTexts(dialog);
    EXPECT_TRUE(test::contains(labels, "Dravia4 Version 4.00 beta"));
    bool icon = false;
    for (QLabel* label : dialog.findChildren<QLabel*>()) icon = icon || !label->pixmap().isNull();
    EXPECT_TRUE(icon);
    const auto buttons = dialog.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->text().toStdString(), "OK");
    test::saveArtefact(dialog, QStringLiteral("about-dialog.png"));
    buttons[0]->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace dravia

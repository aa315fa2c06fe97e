#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/PauseDialog.h"
#include "app/StatResultsDialog.h"
#include "app/VersionInfoDialog.h"
#include "display/TestForest.h"

namespace dravia {
namespace {

const QSize DIALOG(200, 100);
const QSize SCREEN(1000, 700);

TEST(PauseDialogPlacement, RightOfTheViewAndVerticallyCentred) {
    EXPECT_EQ(pauseDialogPosition({100, 50, 700, 450}, DIALOG, SCREEN), QPoint(700, 200));
    // Exactly fitting at the right edge still goes to the right.
    EXPECT_EQ(pauseDialogPosition({100, 50, 800, 451}, DIALOG, SCREEN), QPoint(800, 200));
}

TEST(PauseDialogPlacement, LeftOfTheViewWhenTheRightSideIsFull) {
    EXPECT_EQ(pauseDialogPosition({300, 50, 900, 450}, DIALOG, SCREEN), QPoint(100, 200));
}

TEST(PauseDialogPlacement, AboveOrBelowWhenNeitherSideHasRoom) {
    // Left edge 200 is not more than the dialog width: centred horizontally, above the view.
    EXPECT_EQ(pauseDialogPosition({200, 150, 900, 450}, DIALOG, SCREEN), QPoint(450, 50));
    // No room above either: below the view.
    EXPECT_EQ(pauseDialogPosition({200, 100, 900, 450}, DIALOG, SCREEN), QPoint(450, 450));
    // Nor below: at the bottom of the usable screen.
    EXPECT_EQ(pauseDialogPosition({200, 100, 900, 650}, DIALOG, SCREEN), QPoint(450, 600));
    // Odd differences truncate toward zero.
    EXPECT_EQ(pauseDialogPosition({10, 10, 911, 211}, QSize(200, 100), SCREEN), QPoint(360, 211));
    EXPECT_EQ(pauseDialogPosition({0, 0, 1000, 0}, QSize(201, 101), QSize(1000, 50)), QPoint(399, -51));
}

TEST(PauseDialogContent, TitleTextAndButtons) {
    QWidget view;
    view.resize(300, 200);
    PauseDialog dialog(&view);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Pause Dialog");
    const auto labels = dialog.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->text().toStdString(), "Hit OK to continue simulation or Cancel to quit.");
    std::vector<std::string> buttons;
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        buttons.push_back(button->text().toStdString());
    std::sort(buttons.begin(), buttons.end());
    EXPECT_EQ(buttons, (std::vector<std::string>{"Cancel", "OK"}));
    EXPECT_TRUE(dialog.grab().save(test::artefactPath(QStringLiteral("pause-dialog.png"))));
}

TEST(StatResults, CaptionFontTitleLineAndScrollingText) {
    StatResultsDialog dialog(QStringLiteral("Statistics of run.txt"),
                             QStringLiteral("SN TREE SPECIES      Pop\r\n 1 Sugar Maple       12.5\r\n"
                                            "\r\n---------------------------------\r\n\r\n"));
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Stat Results");
    EXPECT_EQ(dialog.font().pointSize(), 8);
    EXPECT_TRUE(QFontInfo(dialog.font()).fixedPitch());
    EXPECT_TRUE(dialog.titleLine()->isReadOnly());
    EXPECT_EQ(dialog.titleLine()->text().toStdString(), "Statistics of run.txt");
    QPlainTextEdit* text = dialog.reportText();
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(text->toPlainText().toStdString(),
              "SN TREE SPECIES      Pop\n 1 Sugar Maple       12.5\n\n---------------------------------\n\n");
    const auto buttons = dialog.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->text().toStdString(), "OK");
    dialog.show();
    QApplication::processEvents();
    EXPECT_LT(dialog.titleLine()->y(), text->y());  // the title line above the report
    EXPECT_TRUE(dialog.grab().save(test::artefactPath(QStringLiteral("stat-results.png"))));
    buttons[0]->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(VersionInfo, TitledDravia4AndDismissedWithOk) {
    VersionInfoDialog dialog;
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Dravia4");
    bool heading = false;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        heading = heading || label->text() == QStringLiteral("DRAVIA-4: A MODEL OF FOREST GROWTH");
    }
    EXPECT_TRUE(heading);
    QPushButton* ok = nullptr;
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("&OK")) ok = button;
    }
    ASSERT_NE(ok, nullptr);
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(dialog.grab().save(test::artefactPath(QStringLiteral("version-info.png"))));
    ok->click();
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace dravia

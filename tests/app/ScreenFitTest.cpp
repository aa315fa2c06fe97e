// Every window of a lesson lies wholly on the screen. CTest runs these tests once more on a
// 1280 by 720 screen at a scale of 1.5 (853 by 480 pixels of layout), a classroom projector's.
#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QToolBar>
#include <memory>
#include <string>

#include "WindowDriving.h"
#include "app/CommunitiesDialog.h"
#include "app/DisturbanceDialog.h"
#include "app/GraphicsDialog.h"
#include "app/HelpBrowser.h"
#include "app/ModelOptionsDialog.h"
#include "app/RunControlDialog.h"
#include "app/SiteDialog.h"
#include "app/SpeciesDialog.h"
#include "app/WindowPlacement.h"
#include "display/TestForest.h"

namespace dravia {
namespace {

using ScreenFit = test::ShippedData;

QString shotName(const char* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return QStringLiteral("screen-fit-%1-%2x%3.png")
        .arg(QString::fromLatin1(window))
        .arg(screen->geometry().width())
        .arg(screen->geometry().height());
}

std::string describe(const QRect& rect) {
    return std::to_string(rect.x()) + "," + std::to_string(rect.y()) + " " + std::to_string(rect.width()) +
           "x" + std::to_string(rect.height());
}

// Everything the window draws is on the screen; with `frame`, its frame too.
void expectOnScreen(QWidget& window, const char* name, bool frame = false) {
    if (!window.isVisible()) window.show();
    QApplication::processEvents();
    const QRect screen = window.screen()->availableGeometry();
    const QRect drawn = frame ? window.frameGeometry() : window.geometry();
    EXPECT_TRUE(screen.contains(drawn)) << name << ": " << describe(drawn) << " on " << describe(screen);
    EXPECT_TRUE(window.grab().save(test::artefactPath(shotName(name))));
}

TEST(FitOnScreen, MovesThenShrinksIntoTheScreen) {
    const QRect screen(0, 0, 853, 480);
    EXPECT_EQ(fitOnScreen(QRect(100, 100, 700, 300), screen), QRect(100, 100, 700, 300));
    // The default placement on a scaled 1280 by 720 screen: shrunk to its height, then moved up.
    EXPECT_EQ(fitOnScreen(QRect(100, 100, 700, 500), screen), QRect(100, 0, 700, 480));
    EXPECT_EQ(fitOnScreen(QRect(-50, 400, 300, 200), screen), QRect(0, 280, 300, 200));
    EXPECT_EQ(fitOnScreen(QRect(600, 10, 900, 100), screen), QRect(0, 10, 853, 100));
}

TEST_F(ScreenFit, TheMainWindowItsToolbarAndEveryDialogFit) {
    QSettings().remove(QStringLiteral("Settings/WindowPos"));
    MainWnd window;
    window.restorePlacement();
    // The default placement stays as it is where it fits; where it had to be moved, the frame
    // came along.
    expectOnScreen(window, "main-window", window.geometry() != QRect(100, 100, 700, 500));
    // Every button of the toolbar is on it, none folded away behind its extension arrow.
    QToolBar* bar = window.runToolBar();
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) continue;
        QWidget* button = bar->widgetForAction(action);
        ASSERT_NE(button, nullptr) << action->text().toStdString();
        EXPECT_TRUE(button->isVisible()) << action->text().toStdString();
        EXPECT_TRUE(bar->rect().contains(button->geometry()))
            << action->text().toStdString() << ": " << describe(button->geometry()) << " in "
            << describe(bar->rect());
    }
    window.close();

    ModelState& model = window.model();
    const std::pair<const char*, std::unique_ptr<QWidget>> windows[] = {
        {"communities", std::make_unique<CommunitiesDialog>(model, &window)},
        {"run-control", std::make_unique<RunControlDialog>(model, &window)},
        {"site", std::make_unique<SiteDialog>(model, &window)},
        {"species", std::make_unique<SpeciesDialog>(model, &window.plotView(), &window)},
        {"disturbance", std::make_unique<DisturbanceDialog>(model, &window)},
        {"graphics", std::make_unique<GraphicsDialog>(model, &window.plotView(), &window)},
        {"model-options", std::make_unique<ModelOptionsDialog>(model, &window)},
        {"help", std::make_unique<HelpBrowser>()},
    };
    for (const auto& [name, dialog] : windows) {
        expectOnScreen(*dialog, name);
        dialog->close();
    }
}

}  // namespace
}  // namespace dravia

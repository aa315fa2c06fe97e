#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>

#include "app/MainWnd.h"
#include "app/WindowPlacement.h"
#include "display/PlotView.h"
#include "display/TestForest.h"

namespace dravia {
namespace {

void storeText(const QString& text) {
    QSettings settings;
    if (text.isNull()) {
        settings.remove(QStringLiteral("Settings/WindowPos"));
    } else {
        settings.setValue(QStringLiteral("Settings/WindowPos"), text);
    }
    settings.sync();
}

QString storedText() {
    QSettings settings;
    return settings.value(QStringLiteral("Settings/WindowPos")).toString();
}

std::unique_ptr<MainWnd> openWindow() {
    auto window = std::make_unique<MainWnd>([](ModelState& model) { test::fillDisplayModel(model); });
    window->restorePlacement();
    QApplication::processEvents();
    return window;
}

TEST(PlacementText, TenIntegersOrNothing) {
    const auto parsed = parsePlacement(QStringLiteral("2:3:-1:-1:-8:-8:10:20:610:420"));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->flags, 2);
    EXPECT_EQ(parsed->showState, 3);
    EXPECT_EQ(parsed->maximizedX, -8);
    EXPECT_EQ(parsed->left, 10);
    EXPECT_EQ(parsed->bottom, 420);
    EXPECT_FALSE(parsePlacement(QStringLiteral("0:1:-1:-1:-1:-1:100:100:800")).has_value());
    EXPECT_FALSE(parsePlacement(QStringLiteral("a:b:c:d:e:f:g:h:i:j")).has_value());
    EXPECT_FALSE(parsePlacement(QStringLiteral("0:1:-1:-1:-1:-1:100:100:800:x")).has_value());
    EXPECT_FALSE(parsePlacement(QString()).has_value());
    // Integers as C reads them: hexadecimal too.
    EXPECT_EQ(parsePlacement(QStringLiteral("0:1:-1:-1:-1:-1:0x10:100:800:600"))->left, 16);
}

TEST(PlacementText, DefaultPlacementText) {
    EXPECT_EQ(formatPlacement(WindowPlacement{}).toStdString(), "0:1:-1:-1:-1:-1:100:100:800:600");
}

TEST(WindowPlacementStore, FirstStartUsesTheDefaultAndSavesItOnClose) {
    storeText(QString());
    auto window = openWindow();
    EXPECT_EQ(window->geometry(), QRect(100, 100, 700, 500));
    EXPECT_FALSE(window->isMaximized());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
    window->close();
    EXPECT_EQ(storedText().toStdString(), "0:1:-1:-1:-1:-1:100:100:800:600");
}

TEST(WindowPlacementStore, MovedWindowReopensWhereItWasClosed) {
    storeText(QStringLiteral("0:1:-1:-1:-1:-1:40:50:640:530"));
    auto window = openWindow();
    EXPECT_EQ(window->geometry(), QRect(40, 50, 600, 480));
    window->setGeometry(70, 80, 500, 400);
    QApplication::processEvents();
    window->close();
    EXPECT_EQ(storedText().toStdString(), "0:1:-1:-1:-1:-1:70:80:570:480");
}

TEST(WindowPlacementStore, ClosedMaximizedStoresFlagTwoAndReopensMaximized) {
    storeText(QStringLiteral("0:1:-1:-1:-1:-1:30:40:630:440"));
    auto window = openWindow();
    window->showMaximized();
    QApplication::processEvents();
    window->close();
    EXPECT_EQ(storedText().toStdString(), "2:3:-1:-1:-1:-1:30:40:630:440");

    auto again = openWindow();
    EXPECT_TRUE(again->isMaximized());
    EXPECT_EQ(again->normalGeometry(), QRect(30, 40, 600, 400));
    again->close();
}

TEST(WindowPlacementStore, ClosedMinimizedReopensMinimized) {
    storeText(QStringLiteral("0:2:-1:-1:-1:-1:30:40:630:440"));
    auto window = openWindow();
    EXPECT_TRUE(window->isMinimized());
    window->close();
    EXPECT_EQ(storedText().toStdString(), "0:2:-1:-1:-1:-1:30:40:630:440");
}

TEST(WindowPlacementStore, MalformedTextGivesTheDefault) {
    for (const QString& text :
         {QStringLiteral("0:1:-1:-1:-1:-1:30:40:630"), QStringLiteral("left:top"), QStringLiteral("")}) {
        storeText(text);
        auto window = openWindow();
        EXPECT_EQ(window->geometry(), QRect(100, 100, 700, 500)) << text.toStdString();
        EXPECT_FALSE(window->isMaximized());
        window->close();
        EXPECT_EQ(storedText().toStdString(), "0:1:-1:-1:-1:-1:100:100:800:600");
    }
}

TEST(WindowPlacementStore, ResizingTheWindowLaysTheViewOutAgain) {
    storeText(QStringLiteral("0:1:-1:-1:-1:-1:10:10:610:510"));
    auto window = openWindow();
    PlotView& view = window->plotView();
    view.layOutDisplay();
    const DisplaySlot before = window->model().displaySlots[1];
    window->resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(view.layoutRect(), QRect(0, 0, view.width(), view.height()));
    EXPECT_EQ(view.plotGeometry().viewWidth, view.width());
    EXPECT_EQ(view.plotGeometry().viewHeight, view.height());
    // The trees move with the plot outline; their places on the plot stay.
    const DisplaySlot after = window->model().displaySlots[1];
    EXPECT_EQ(after.fx, before.fx);
    EXPECT_NE(after.x, before.x);
    EXPECT_EQ(after.y,
              static_cast<int>(view.plotGeometry().frontY - view.plotGeometry().plotDepth * (1.0 - after.fy) *
                                                                view.plotGeometry().cosSlant));
    window->close();
}

}  // namespace
}  // namespace dravia

// A tree clicked during a graphics run is followed year by year and let go when the run
// removes it; run under the sanitizer build, this proves the inspector never reads a freed tree.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "app/MainWnd.h"
#include "display/PlotView.h"
#include "display/TestForest.h"
#include "display/TreeInspector.h"
#include "support/SmallDataSet.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

// A point of the view on which the tree of slot k is the one seen, if there is one.
std::optional<QPoint> pointOnSlot(PlotView& view, int k) {
    const ModelState& model = view.model();
    const DisplaySlot& slot = model.displaySlots[static_cast<size_t>(k)];
    for (int dy = 1; dy < 60; ++dy) {
        for (int dx = -6; dx <= 6; ++dx) {
            const QPoint point(slot.x + dx, slot.y - dy);
            if (treeSlotAt(model, view.drawOrder(), view.plotGeometry(), point) == k) return point;
        }
    }
    return std::nullopt;
}

TEST(InspectDuringRun, TheClickedTreeIsFollowedUntilTheRunRemovesIt) {
    test::TempDirectory directory;
    test::SmallDataSetOptions options;
    options.screenOutputMode = 1;
    options.graphIntvl = 1;
    options.numYears = 20;
    options.numIters = 2;
    test::writeSmallDataSet(directory.path(), options);

    MainWnd window;
    window.resize(700, 540);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PlotView& view = window.plotView();
    ModelState& model = window.model();

    int pinnedSlot = 0;
    std::vector<std::string> textsWhileFollowed;
    std::string lastText;
    std::vector<std::string> boxes;
    QTimer driver;
    driver.setInterval(0);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes.push_back(box->text().toStdString());
            box->button(QMessageBox::Ok)->click();
            return;
        }
        if (!model.run.flags.running) return;
        if (pinnedSlot == 0 && model.run.CURRENT_ITERATION == 1 && model.run.CURRENT_YEAR == 3) {
            for (int k = 1; k <= DISPLAY_SLOT_COUNT && pinnedSlot == 0; ++k) {
                if (!model.displaySlots[static_cast<size_t>(k)].tree) continue;
                if (const auto point = pointOnSlot(view, k)) {
                    QTest::mouseClick(&view, Qt::LeftButton, {}, *point);
                    pinnedSlot = k;
                }
            }
        }
        // Reading the box between years is what a person sees; it must never touch a freed tree.
        lastText = view.inspectorText().toStdString();
        if (view.inspector().state() == TreeInspector::State::Following)
            textsWhileFollowed.push_back(lastText);
    });
    driver.start();
    window.commandAction(CMD_RUN)->trigger();
    driver.stop();

    ASSERT_NE(pinnedSlot, 0);
    EXPECT_TRUE(view.inspectorPinned());
    EXPECT_EQ(boxes, std::vector<std::string>{"Simulation Completed."});
    // Followed through the years: its age line changed as it grew older.
    ASSERT_GE(textsWhileFollowed.size(), 2u);
    EXPECT_NE(textsWhileFollowed.front(), textsWhileFollowed.back());
    EXPECT_NE(textsWhileFollowed.back().find("Diameter growth last year: "), std::string::npos);
    // Gone by the end at the latest, when the second iteration rebuilt the plot; the box says so.
    EXPECT_EQ(view.inspector().state(), TreeInspector::State::Removed);
    const std::string note = view.inspectorText().toStdString();
    EXPECT_TRUE(note.find("The plot started again from its first year") != std::string::npos ||
                note.find("it died, or was logged or blown down.") != std::string::npos)
        << note;
    EXPECT_TRUE(window.grab().save(test::artefactPath(QStringLiteral("run-inspector-removed.png"))));
}

}  // namespace
}  // namespace dravia

// A tree clicked during a graphics run is followed year by year and let go when the run
// removes it or starts its next iteration; run under the sanitizer build, this proves the
// inspector never reads a freed tree.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <optional>

#include "WindowDriving.h"
#include "app/MainWnd.h"
#include "display/PlotView.h"
#include "display/TestForest.h"
#include "display/TreeInspector.h"
#include "support/SmallDataSet.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

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
    std::optional<bool> pinnedInTheNextIteration;
    std::string textInTheNextIteration;
    QTimer driver;
    driver.setInterval(0);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes.push_back(box->text().toStdString());
            box->button(QMessageBox::Ok)->click();
            return;
        }
        if (!model.run.flags.running) return;
        if (model.run.CURRENT_ITERATION == 2 && !pinnedInTheNextIteration) {
            pinnedInTheNextIteration = view.inspectorPinned();
            textInTheNextIteration = view.inspectorText().toStdString();
        }
        if (pinnedSlot == 0 && model.run.CURRENT_ITERATION == 1 && model.run.CURRENT_YEAR == 3) {
            for (int k = 1; k <= DISPLAY_SLOT_COUNT && pinnedSlot == 0; ++k) {
                if (!model.displaySlots[static_cast<size_t>(k)].tree) continue;
                if (const auto point = test::pointOnSlot(view, k)) {
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
    EXPECT_EQ(boxes, std::vector<std::string>{"Simulation Completed."});
    // Followed through the years: its age line changed as it grew older.
    ASSERT_GE(textsWhileFollowed.size(), 2u);
    EXPECT_NE(textsWhileFollowed.front(), textsWhileFollowed.back());
    EXPECT_NE(textsWhileFollowed.back().find("Diameter growth last year: "), std::string::npos);
    // The next iteration starts its plot again, with nothing of the last one in the box.
    ASSERT_TRUE(pinnedInTheNextIteration.has_value());
    EXPECT_FALSE(*pinnedInTheNextIteration);
    EXPECT_EQ(textInTheNextIteration, "");
    EXPECT_EQ(view.inspector().state(), TreeInspector::State::None);
    EXPECT_TRUE(window.grab().save(test::artefactPath(QStringLiteral("run-inspector-removed.png"))));
}

}  // namespace
}  // namespace dravia

// A lesson as a teacher gives it, through the real window with fresh settings: run the shipped
// community at the pace of a fresh install, pause with Space on the plot, look at a big tree and
// a sapling, go on with Ctrl+P, let the other iterations race, open the charts from the
// completion message, switch to the warming climate, run again from the toolbar, chart it, save
// an image and open the glossary. The screenshots are those of the manual's first chapter.
#include <gtest/gtest.h>

#include <QChartView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>

#include "DialogTestSupport.h"
#include "WindowDriving.h"
#include "app/ChartsWindow.h"
#include "app/CommunitiesDialog.h"
#include "app/HelpBrowser.h"
#include "app/WindowPlacement.h"
#include "display/TestForest.h"

namespace dravia {
namespace {

using test::FakeTime;
using test::ShippedData;

// The window, and the axis titles of its chart, lie wholly on the screen.
void expectWhollyOnScreen(ChartsWindow& charts) {
    QApplication::processEvents();
    const QRect screen = charts.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(charts.geometry()))
        << charts.geometry().width() << "x" << charts.geometry().height() << " on " << screen.width() << "x"
        << screen.height();
    auto* page = qobject_cast<ChartPage*>(charts.tabs()->currentWidget());
    ASSERT_NE(page, nullptr);
    // The lines above and under the chart are whole.
    for (const QString& name : {QStringLiteral("subtitle"), QStringLiteral("caption")}) {
        auto* label = page->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr);
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name.toStdString();
    }
    QChartView* view = page->views().at(0);
    for (QAbstractAxis* axis : page->chart()->axes()) {
        bool found = false;
        for (QGraphicsItem* item : view->scene()->items()) {
            const auto* text = dynamic_cast<QGraphicsTextItem*>(item);
            if (!text || text->toPlainText() != axis->titleText()) continue;
            found = true;
            const QRect shown = view->mapFromScene(text->sceneBoundingRect()).boundingRect();
            EXPECT_TRUE(view->rect().contains(shown)) << axis->titleText().toStdString();
        }
        EXPECT_TRUE(found) << axis->titleText().toStdString();
    }
}

void saveShot(QWidget& widget, const char* name) {
    EXPECT_TRUE(widget.grab().save(test::artefactPath(QString::fromLatin1(name)))) << name;
}

// The slots holding the tallest and the shortest tree drawn.
std::pair<int, int> tallestAndShortestSlots(const ModelState& model) {
    int tallest = 0, shortest = 0;
    for (int k = 1; k <= DISPLAY_SLOT_COUNT; ++k) {
        const Tree* tree = model.displaySlots[static_cast<size_t>(k)].tree;
        if (!tree) continue;
        const auto heightOf = [&](int slot) {
            return model.displaySlots[static_cast<size_t>(slot)].tree->HEIGHT;
        };
        if (tallest == 0 || tree->HEIGHT > heightOf(tallest)) tallest = k;
        if (shortest == 0 || tree->HEIGHT < heightOf(shortest)) shortest = k;
    }
    return {tallest, shortest};
}

QString expectedTitle(const char* scenario, int iteration, int year, const char* state) {
    QString title = QStringLiteral("Dravia4 - %1 · iteration %2 of 3 · year %3 of 60 (%4)")
                        .arg(QString::fromUtf8(scenario))
                        .arg(iteration)
                        .arg(year)
                        .arg(1990 + year);
    if (*state) title += QStringLiteral(" · ") + QString::fromLatin1(state);
    return title;
}

class Lesson : public ShippedData {
  protected:
    void SetUp() override {
        ShippedData::SetUp();
        QSettings().remove(QStringLiteral("Settings/YearsPerSecond"));
        QSettings().remove(QStringLiteral("Settings/WatchFirstIterationOnly"));
    }
    void TearDown() override {
        QSettings().setValue(QStringLiteral("Settings/YearsPerSecond"), 0);
        ShippedData::TearDown();
    }
};

TEST_F(Lesson, AClassWatchesPausesInspectsComparesAndReads) {
    MainWnd window;
    window.resize(1024, 700);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ModelState& model = window.model();
    PlotView& view = window.plotView();
    // A lesson-sized run: three iterations of 60 years.
    model.params.NUM_YEARS = 60;
    model.params.NUM_ITERS = 3;
    EXPECT_EQ(window.host().yearsPerSecond(), 20);
    EXPECT_TRUE(window.host().watchFirstIterationOnly());
    saveShot(window, "lesson-0-opening.png");

    const char* normal = "Northern hardwoods NH, Normal climate";
    FakeTime time(window);
    enum class Step { Watch, Paused, Following, Racing, Done } step = Step::Watch;
    test::Clock::time_point secondIterationAt{}, pausedAt{}, continuedAt{};
    bool progressShown = false;
    std::string bigTreeText, saplingText;
    time.onTick = [&] {
        const RunState& run = model.run;
        if (!run.flags.running) return;
        if (step == Step::Watch && run.CURRENT_YEAR == 25) {
            // Space on the plot, which took the keyboard when the run began.
            QTest::keyClick(&view, Qt::Key_Space);
            ASSERT_TRUE(run.flags.paused);
            pausedAt = time.now;
            EXPECT_EQ(window.windowTitle().toStdString(),
                      expectedTitle(normal, 1, 25, "paused").toStdString());
            EXPECT_EQ(window.statusText().toStdString(), window.windowTitle().mid(10).toStdString());
            EXPECT_EQ(window.pauseOrContinueButton()->text().toStdString(), "Continue");
            EXPECT_FALSE(window.commandAction(CMD_PAUSE)->isEnabled());
            view.repaint();
            saveShot(window, "lesson-1-paused.png");
            step = Step::Paused;
        } else if (step == Step::Paused) {
            EXPECT_EQ(run.CURRENT_YEAR, 25);  // no year goes by while paused
            const auto [tallest, shortest] = tallestAndShortestSlots(model);
            ASSERT_NE(tallest, 0);
            QTest::mouseClick(&view, Qt::LeftButton, {}, *test::pointOnSlot(view, tallest));
            bigTreeText = view.inspectorText().toStdString();
            saveShot(window, "lesson-2-big-tree.png");
            QTest::mouseClick(&view, Qt::LeftButton, {}, *test::pointOnSlot(view, shortest));
            saplingText = view.inspectorText().toStdString();
            saveShot(window, "lesson-3-sapling.png");
            EXPECT_TRUE(view.inspectorPinned());
            // Ctrl+P goes on from anywhere in the window.
            QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
            EXPECT_FALSE(run.flags.paused);
            continuedAt = time.now;
            step = Step::Following;
        } else if (step == Step::Following && run.CURRENT_ITERATION == 2) {
            // The next iteration starts its plot again: the box lets go of the sapling.
            EXPECT_EQ(view.inspector().state(), TreeInspector::State::None);
            EXPECT_FALSE(view.inspectorPinned());
            secondIterationAt = time.now;
            step = Step::Racing;
        } else if (step == Step::Racing) {
            progressShown = progressShown || window.fullSpeedProgress()->isVisible();
            if (run.CURRENT_ITERATION == 3 && run.CURRENT_YEAR == 30) {
                EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("Dravia4 - ") + normal +
                                                            QStringLiteral(" · iteration 3 of 3 · year ")));
                view.repaint();
                saveShot(window, "lesson-4-racing.png");
            }
        }
    };
    bool chartsOffered = false;
    time.onBox = [&](QMessageBox* box) {
        if (box->text() != QStringLiteral("Simulation Completed.")) return false;
        QPushButton* charts = nullptr;
        for (QAbstractButton* button : box->buttons())
            if (button->text() == QStringLiteral("Open &Charts")) charts = qobject_cast<QPushButton*>(button);
        if (!charts) return false;
        chartsOffered = charts->isEnabled();
        saveShot(*box, "lesson-5-completed.png");
        charts->click();
        step = Step::Done;
        return true;
    };
    // Ctrl+R runs.
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);

    ASSERT_EQ(step, Step::Done);
    EXPECT_EQ(time.messages, std::vector<std::string>{"Simulation Completed."});
    // The first iteration went at 20 years a second (its 59 beats and the pause), the others at
    // full speed: one look at the window's events a year.
    EXPECT_GE(secondIterationAt - test::Clock::time_point{} - (continuedAt - pausedAt),
              std::chrono::milliseconds(2900));
    EXPECT_LT(time.now - secondIterationAt, std::chrono::milliseconds(2 * 60 * 20));
    EXPECT_TRUE(progressShown);
    EXPECT_FALSE(window.fullSpeedProgress()->isVisible());
    EXPECT_EQ(window.windowTitle().toStdString(), expectedTitle(normal, 3, 60, "run ended").toStdString());
    // The inspector spoke in metres and named the diameter.
    EXPECT_NE(bigTreeText.find("Diameter at breast height (DBH, 1.37 m): "), std::string::npos)
        << bigTreeText;
    EXPECT_NE(bigTreeText.find(" m\nAge: "), std::string::npos) << bigTreeText;
    EXPECT_NE(saplingText.find("(1 = not limiting)"), std::string::npos) << saplingText;
    EXPECT_NE(saplingText, bigTreeText);

    // The completion message opened the charts of the run.
    ASSERT_TRUE(chartsOffered);
    auto* charts = window.findChild<ChartsWindow*>();
    ASSERT_NE(charts, nullptr);
    EXPECT_TRUE(charts->isVisible());
    expectWhollyOnScreen(*charts);
    // The manual's pictures at the size of a laptop's window, where the screen has room for it.
    resizeWithinScreen(*charts, QSize(1024, 700));
    expectWhollyOnScreen(*charts);
    saveShot(*charts, "lesson-6-charts.png");
    const std::string normalScenario = charts->data()->scenario;

    // The warming climate, named with its size in the dialog.
    test::withNextModal([&] { window.commandAction(CMD_COMMUNITIES)->trigger(); },
                        [&](QWidget* modal) {
                            auto* dialog = qobject_cast<CommunitiesDialog*>(modal);
                            ASSERT_NE(dialog, nullptr);
                            dialog->climateList()->setCurrentIndex(1);
                            EXPECT_EQ(dialog->climateList()->currentText().toStdString(),
                                      "Warming: +3.6 °C over 100 years");
                            saveShot(*dialog, "lesson-7-warming.png");
                            dialog->buttons()->button(QDialogButtonBox::Ok)->click();
                        });
    const char* warming = "Northern hardwoods NH, Warming: +3.6 °C over 100 years";
    EXPECT_EQ(window.windowTitle().toStdString(), std::string("Dravia4 - ") + warming);
    model.params.NUM_YEARS = 60;
    model.params.NUM_ITERS = 3;

    // Run again from the toolbar.
    time.onBox = {};
    time.messages.clear();
    bool shotTaken = false;
    time.onTick = [&] {
        if (!shotTaken && model.run.CURRENT_ITERATION == 1 && model.run.CURRENT_YEAR == 50) {
            view.repaint();
            saveShot(window, "lesson-8-warming-run.png");
            shotTaken = true;
        }
    };
    auto* runButton =
        qobject_cast<QToolButton*>(window.runToolBar()->widgetForAction(window.commandAction(CMD_RUN)));
    ASSERT_NE(runButton, nullptr);
    QTest::mouseClick(runButton, Qt::LeftButton);
    EXPECT_EQ(time.messages, std::vector<std::string>{"Simulation Completed."});
    EXPECT_EQ(window.windowTitle().toStdString(),
              std::string("Dravia4 - ") + warming + " · iteration 3 of 3 · year 60 of 60 (2080) · run ended");

    // The charts left open show the new run.
    EXPECT_TRUE(charts->isVisible());
    EXPECT_NE(charts->data()->scenario, normalScenario);
    EXPECT_NE(charts->data()->scenario.find("Warming"), std::string::npos) << charts->data()->scenario;
    charts->close();

    // Ctrl+Shift+C charts it; sugar maple in focus, by keyboard; an image of a chart is saved.
    QApplication::setActiveWindow(&window);
    EXPECT_TRUE(window.commandAction(CMD_CHARTS)->isEnabled());
    QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(charts->isVisible());
    expectWhollyOnScreen(*charts);
    ChartPage* basalArea = charts->page(ChartKind::BasalArea);
    charts->tabs()->setCurrentWidget(basalArea);
    QTableWidget* list = basalArea->speciesList();
    int mapleRow = -1;
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->item(row, 0)->text() == QStringLiteral("Sugar maple")) mapleRow = row;
    ASSERT_GE(mapleRow, 0);
    list->setFocus();
    list->setCurrentCell(mapleRow, 1);
    QTest::keyClick(list, Qt::Key_Space);
    QApplication::processEvents();
    ASSERT_TRUE(charts->focusSpecies().has_value());
    EXPECT_TRUE(basalArea->caption().contains(QStringLiteral("Shading: 95 % confidence interval")));
    saveShot(*charts, "lesson-10-focus.png");
    ASSERT_TRUE(charts->saveImage(QStringLiteral("warming-basal-area.png")));
    EXPECT_FALSE(QImage(QStringLiteral("warming-basal-area.png")).isNull());

    // Compare: both runs ticked, the normal climate first; the difference chart.
    charts->tabs()->setCurrentWidget(charts->compareTab());
    QListWidget* runs = charts->compareRuns();
    ASSERT_EQ(runs->count(), 2);
    for (int row = 0; row < runs->count(); ++row) runs->item(row)->setCheckState(Qt::Checked);
    QApplication::processEvents();
    ASSERT_EQ(charts->differencePage()->table().curves.size(), 1u);
    EXPECT_NE(charts->differencePage()->table().curves[0].scenario.find("Warming"), std::string::npos);
    saveShot(*charts, "lesson-11-compare.png");
    charts->compareChart()->setCurrentIndex(1);
    QApplication::processEvents();
    saveShot(*charts, "lesson-12-difference.png");
    charts->close();

    // The glossary, in the program's own help window.
    window.commandAction(CMD_HELP_GLOSSARY)->trigger();
    auto* help = window.findChild<HelpBrowser*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("Iteration")));
    saveShot(*help, "lesson-9-glossary.png");
    help->close();
}

}  // namespace
}  // namespace dravia

#pragma once

// Driving the main window through runs: a clock the test moves, the shipped data set in a
// scratch directory, and where to click to reach a tree.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/MainWnd.h"
#include "app/WorkingDirectory.h"
#include "display/PlotView.h"
#include "display/TreeInspector.h"

namespace dravia::test {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A clock that moves 5 ms each time the window takes its events, recording the years as they
// go; and OK for every message box the run shows.
class FakeTime {
  public:
    explicit FakeTime(MainWnd& window) : window_(window) {
        window.host().setClock([this] { return now; });
        ticker_.setInterval(0);
        QObject::connect(&ticker_, &QTimer::timeout, [this] { tick(); });
        ticker_.start();
    }
    void tick() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages.push_back(box->text().toStdString());
            if (!onBox || !onBox(box)) box->button(QMessageBox::Ok)->click();
            return;
        }
        now += milliseconds(5);
        // CURRENT_YEAR moves on as a year ends; no time passes within a year, so the year
        // before it began at about this tick.
        const ModelState& model = window_.model();
        if (model.run.flags.running && model.run.CURRENT_YEAR != lastYear_) {
            if (lastYear_ != 0 && model.run.CURRENT_YEAR > lastYear_)
                yearAt.emplace_back(now, model.run.CURRENT_YEAR - 1);
            lastYear_ = model.run.CURRENT_YEAR;
        }
        if (onTick) onTick();
    }
    // The years that began within [from, to) milliseconds of the clock's start.
    int yearsBetween(int from, int to) const {
        int count = 0;
        for (const auto& [at, year] : yearAt) {
            const auto ms = std::chrono::duration_cast<milliseconds>(at - Clock::time_point{}).count();
            count += ms >= from && ms < to ? 1 : 0;
        }
        return count;
    }

    Clock::time_point now{};
    std::vector<std::pair<Clock::time_point, int>> yearAt;  // when each year began
    std::vector<std::string> messages;
    std::function<void()> onTick;
    // Answers a message box itself (true), or leaves it to OK (false).
    std::function<bool(QMessageBox*)> onBox;

  private:
    MainWnd& window_;
    QTimer ticker_;
    int lastYear_ = 0;
};

// The shipped data set and manual in a scratch working directory.
class ShippedData : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString data = QStringLiteral(DRAVIA_SOURCE_DIR "/Data");
        if (!QFileInfo::exists(data + QStringLiteral("/inputOutputRunTimeParams.txt"))) {
            GTEST_SKIP() << "the shipped data set is not there";
        }
        ASSERT_TRUE(scratch_.isValid());
        ASSERT_TRUE(copyDirectoryTree(data, scratch_.filePath(QStringLiteral("Data"))));
        ASSERT_TRUE(copyDirectoryTree(QStringLiteral(DRAVIA_SOURCE_DIR "/Manual"),
                                      scratch_.filePath(QStringLiteral("Manual"))));
        previous_ = QDir::currentPath();
        QDir::setCurrent(scratch_.path());
    }
    void TearDown() override {
        if (!previous_.isEmpty()) QDir::setCurrent(previous_);
    }

  private:
    QTemporaryDir scratch_;
    QString previous_;
};

// A point of the view on which the tree of slot k is the one seen, if there is one.
inline std::optional<QPoint> pointOnSlot(PlotView& view, int k) {
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

}  // namespace dravia::test

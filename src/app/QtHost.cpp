#include "app/QtHost.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/PauseDialog.h"
#include "app/StatResultsDialog.h"
#include "display/PlotView.h"
#include "platform/ProgramExit.h"
#include "run/RunDriver.h"

namespace dravia {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QtHost::QtHost(QWidget* window, PlotView* view)
    : window_(window), view_(view), wake_(std::make_unique<QTimer>()) {
    wake_->setSingleShot(true);
}

QtHost::~QtHost() = default;

std::chrono::steady_clock::time_point QtHost::now() const {
    return clock_ ? clock_() : Host::now();
}

void QtHost::showMessage(const std::string& text, MessageIcon icon) {
    if (text == RUN_COMPLETED_MESSAGE && chartsOffer_.open) {
        showCompletion(QString::fromStdString(text));
        return;
    }
    QMessageBox box(boxIcon(icon), QStringLiteral("Dravia4"), QString::fromStdString(text), QMessageBox::Ok,
                    window_);
    box.exec();
}

void QtHost::showCompletion(const QString& text) {
    tellListener();
    QMessageBox box(QMessageBox::Information, QStringLiteral("Dravia4"), text, QMessageBox::Ok, window_);
    QPushButton* charts = box.addButton(QStringLiteral("Open &Charts"), QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    const QString unavailable = chartsOffer_.unavailableReason ? chartsOffer_.unavailableReason() : QString();
    if (!unavailable.isEmpty()) {
        charts->setEnabled(false);
        charts->setToolTip(unavailable);
        box.setInformativeText(unavailable);
    }
    box.exec();
    if (box.clickedButton() == charts) chartsOffer_.open();
}

void QtHost::tellListener() {
    if (runListener_) runListener_();
}

void QtHost::yearCompleted(const ModelState&) {
    tellListener();
}

bool QtHost::askOkCancel(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Dravia4"), QString::fromStdString(text),
                    QMessageBox::Ok | QMessageBox::Cancel, window_);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Ok);
}

bool QtHost::showPauseDialog() {
    PauseDialog dialog(view_, window_);
    return dialog.exec() == QDialog::Accepted;
}

void QtHost::repaintNow(ModelState&) {
    if (!view_ || !view_->isVisible()) return;
    // A simulated year takes microseconds, a picture of the plot about a millisecond, and the
    // screen shows at most one frame every 16 ms: paint at once at most once a frame, and
    // otherwise mark the view for painting with the next events, so the latest year is shown.
    constexpr qint64 frameMilliseconds = 16;
    if (sinceLastPaint_.isValid() && sinceLastPaint_.elapsed() < frameMilliseconds) {
        view_->update();
        return;
    }
    view_->repaint();
    sinceLastPaint_.start();
}

void QtHost::layOutDisplay(ModelState&) {
    if (view_) view_->layOutDisplay();
}

void QtHost::processPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (quitRequested_) throw ProgramExit{EXIT_NORMAL};
    waitForYearStart();
}

bool QtHost::finishingAtFullSpeed() const {
    return watchFirstOnly_ && view_ && view_->model().run.CURRENT_ITERATION > 1;
}

bool QtHost::pacing() const {
    if (pacer_.yearsPerSecond() == 0 || !view_ || finishingAtFullSpeed()) return false;
    const RunFlags& flags = view_->flags();
    // With the display off nothing is there to watch.
    const int mode = view_->model().params.SCREEN_OUTPUT_MODE;
    return flags.running && !flags.paused && (mode == 1 || mode == 2);
}

void QtHost::waitForYearStart() {
    if (!pacing()) {
        pacer_.restart();
        return;
    }
    for (auto start = pacer_.nextStart(); start && now() < *start; start = pacer_.nextStart()) {
        // Wake at the start at the latest; any event (a menu command, a repaint) wakes earlier.
        const auto remaining = std::chrono::duration<double, std::milli>(*start - now()).count();
        wake_->start(static_cast<int>(std::clamp(std::ceil(remaining), 1.0, 100.0)));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (quitRequested_) throw ProgramExit{EXIT_NORMAL};
        if (!pacing()) {
            pacer_.restart();
            return;
        }
    }
    wake_->stop();
    pacer_.yearStarting(now());
}

void QtHost::sleepWhilePaused() {
    // A real sleep: events taken here would let Continue end the wait of a quit run before the
    // one more year it owes.
    QThread::msleep(20);
}

void QtHost::showStatResults(const std::string& title, const std::string& text) {
    StatResultsDialog dialog(QString::fromStdString(title), QString::fromStdString(text), window_);
    dialog.exec();
}

void QtHost::writeStandardOutput(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace dravia

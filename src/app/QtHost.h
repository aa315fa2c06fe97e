#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/YearPacer.h"
#include "platform/Host.h"

class QTimer;

namespace dravia {

class PlotView;

// The engine's host in the desktop program: real message boxes, the pause dialog beside the
// plot view, immediate repaints, and the window's waiting events taken between simulated years.
class QtHost : public Host {
  public:
    QtHost(QWidget* window, PlotView* view);
    ~QtHost() override;

    void showMessage(const std::string& text, MessageIcon icon = MessageIcon::None) override;
    bool askOkCancel(const std::string& text) override;
    bool showPauseDialog() override;
    void repaintNow(ModelState& model) override;
    void layOutDisplay(ModelState& model) override;
    void processPendingEvents() override;
    void sleepWhilePaused() override;
    void showStatResults(const std::string& title, const std::string& text) override;
    void writeStandardOutput(std::string_view text) override;
    void yearCompleted(const ModelState& model) override;
    std::chrono::steady_clock::time_point now() const override;

    // The clock runs are paced by; tests put a clock of their own here.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    void setClock(Clock clock) { clock_ = std::move(clock); }

    // Graphics and tabular runs go at most this many years per second (0: unlimited).
    void setYearsPerSecond(int yearsPerSecond) { pacer_.setYearsPerSecond(yearsPerSecond); }
    int yearsPerSecond() const { return pacer_.yearsPerSecond(); }
    // Only the first iteration goes at that pace; the others go at full speed.
    void setWatchFirstIterationOnly(bool firstOnly) { watchFirstOnly_ = firstOnly; }
    bool watchFirstIterationOnly() const { return watchFirstOnly_; }
    // The iteration in progress goes at full speed although a pace is chosen.
    bool finishingAtFullSpeed() const;

    // Told whenever a year has ended (the iteration and year then say where the run stands), and
    // before the completion message.
    void setRunListener(std::function<void()> listener) { runListener_ = std::move(listener); }

    // What the completion message offers besides OK: the charts of the run, or why there are none
    // (a non-empty reason disables the offer).
    struct ChartsOffer {
        std::function<QString()> unavailableReason;
        std::function<void()> open;
    };
    void setChartsOffer(ChartsOffer offer) { chartsOffer_ = std::move(offer); }

    // The main window was closed: the run loop ends the process at its next look at the events.
    void requestQuit() { quitRequested_ = true; }
    bool quitRequested() const { return quitRequested_; }

  private:
    // A year of a paced run is due: true while the run is going, not paused, and shown.
    bool pacing() const;
    // Takes the window's events until the coming year's start, or until the run stops being
    // paced (paused, quit); the window answers all the while.
    void waitForYearStart();

    // The completion message, with its button to the charts.
    void showCompletion(const QString& text);
    void tellListener();

    QPointer<QWidget> window_;
    PlotView* view_;
    bool quitRequested_ = false;
    bool watchFirstOnly_ = true;
    std::function<void()> runListener_;
    ChartsOffer chartsOffer_;
    QElapsedTimer sinceLastPaint_;
    Clock clock_;
    YearPacer pacer_;
    std::unique_ptr<QTimer> wake_;  // ends a wait for events at the year's start
};

}  // namespace dravia

#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include "platform/Host.h"

namespace dravia {

class PlotView;

// The engine's host in the desktop program: real message boxes, the pause dialog beside the
// plot view, immediate repaints, and the window's waiting events taken between simulated years.
class QtHost : public Host {
  public:
    QtHost(QWidget* window, PlotView* view) : window_(window), view_(view) {}

    void showMessage(const std::string& text, MessageIcon icon = MessageIcon::None) override;
    bool askOkCancel(const std::string& text) override;
    bool showPauseDialog() override;
    void repaintNow(ModelState& model) override;
    void layOutDisplay(ModelState& model) override;
    void processPendingEvents() override;
    void sleepWhilePaused() override;
    void showStatResults(const std::string& title, const std::string& text) override;
    void writeStandardOutput(std::string_view text) override;

    // The main window was closed: the run loop ends the process at its next look at the events.
    void requestQuit() { quitRequested_ = true; }
    bool quitRequested() const { return quitRequested_; }

  private:
    QPointer<QWidget> window_;
    PlotView* view_;
    bool quitRequested_ = false;
    QElapsedTimer sinceLastPaint_;
};

}  // namespace dravia

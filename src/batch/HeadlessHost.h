#pragma once

#include <cstdio>
#include <optional>

#include "batch/ProgressBar.h"
#include "platform/Host.h"

namespace dravia {

// The host of the batch tool: message boxes go to stderr, the question is answered OK,
// the pause dialog is never shown, and there is no display. With a progress bar it shows,
// on the messages stream, how far the run has come after every simulated year.
class HeadlessHost : public Host {
  public:
    explicit HeadlessHost(std::FILE* messages = stderr, std::FILE* output = stdout)
        : messages_(messages), output_(output) {}
    ~HeadlessHost() override;

    // Shows the progress bar on the messages stream (a terminal), columns wide.
    void showProgress(int columns, ProgressBar::Clock clock = ProgressBar::steadySeconds);

    void showMessage(const std::string& text, MessageIcon icon) override;
    bool askOkCancel(const std::string& text) override;
    bool showPauseDialog() override { return true; }
    void repaintNow(ModelState&) override {}
    void layOutDisplay(ModelState&) override {}
    void processPendingEvents() override {}
    void sleepWhilePaused() override {}
    void showStatResults(const std::string& title, const std::string& text) override;
    void writeStandardOutput(std::string_view text) override;
    void yearCompleted(const ModelState& model) override;

  private:
    void clearProgress();

    std::FILE* messages_;
    std::FILE* output_;
    std::optional<ProgressBar> progress_;
};

}  // namespace dravia

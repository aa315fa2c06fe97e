#pragma once

#include <cstdio>

#include "platform/Host.h"

namespace dravia {

// The host of the batch tool: message boxes go to stderr, the question is answered OK,
// the pause dialog is never shown, and there is no display.
class HeadlessHost : public Host {
public:
    explicit HeadlessHost(std::FILE* messages = stderr, std::FILE* output = stdout)
        : messages_(messages), output_(output) {}

    void showMessage(const std::string& text, MessageIcon icon) override;
    bool askOkCancel(const std::string& text) override;
    bool showPauseDialog() override { return true; }
    void repaintNow(ModelState&) override {}
    void layOutDisplay(ModelState&) override {}
    void processPendingEvents() override {}
    void sleepWhilePaused() override {}
    void showStatResults(const std::string& title, const std::string& text) override;
    void writeStandardOutput(std::string_view text) override;

private:
    std::FILE* messages_;
    std::FILE* output_;
    bool atLineStart_ = true;  // whether the last text written ended a line
};

}  // namespace dravia

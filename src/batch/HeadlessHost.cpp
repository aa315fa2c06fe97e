#include "batch/HeadlessHost.h"

#include <string>

#include "model/ModelState.h"

namespace dravia {

HeadlessHost::~HeadlessHost() {
    if (progress_) progress_->end();
}

void HeadlessHost::showProgress(int columns, ProgressBar::Clock clock) {
    progress_.emplace(messages_, columns, std::move(clock));
}

void HeadlessHost::clearProgress() {
    if (progress_) progress_->clearLine();
}

void HeadlessHost::showMessage(const std::string& text, MessageIcon icon) {
    clearProgress();
    const char* label = icon == MessageIcon::Error ? "Dravia4 error: " : "Dravia4: ";
    std::fprintf(messages_, "%s%s\n", label, text.c_str());
    std::fflush(messages_);
}

bool HeadlessHost::askOkCancel(const std::string& text) {
    clearProgress();
    std::fprintf(messages_, "Dravia4: %s [OK]\n", text.c_str());
    std::fflush(messages_);
    return true;
}

void HeadlessHost::showStatResults(const std::string& title, const std::string&) {
    // The report itself is in the report file; the box's title line says where it went.
    writeStandardOutput(title);
    writeStandardOutput("\n");
}

void HeadlessHost::writeStandardOutput(std::string_view text) {
    // Standard output may share the terminal with the bar.
    clearProgress();
    std::fwrite(text.data(), 1, text.size(), output_);
    std::fflush(output_);
}

void HeadlessHost::yearCompleted(const ModelState& model) {
    if (!progress_) return;
    progress_->update({model.run.CURRENT_ITERATION, model.params.NUM_ITERS, model.run.CURRENT_YEAR,
                       model.params.NUM_YEARS});
}

}  // namespace dravia

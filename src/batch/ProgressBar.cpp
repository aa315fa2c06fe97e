#include "batch/ProgressBar.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/Format.h"

namespace dravia {

namespace {

constexpr double REDRAW_SECONDS = 0.1;
constexpr int MINIMUM_BAR_WIDTH = 10;

}  // namespace

double RunProgress::fraction() const {
    if (iterations <= 0 || years <= 0) return 0.0;
    const double done = static_cast<double>(iteration - 1) * years + year;
    return std::clamp(done / (static_cast<double>(iterations) * years), 0.0, 1.0);
}

ProgressBar::ProgressBar(std::FILE* terminal, int columns, Clock clock)
    : terminal_(terminal), columns_(columns), clock_(std::move(clock)) {}

double ProgressBar::steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int ProgressBar::terminalColumns(std::FILE* stream) {
    winsize size{};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col >= 20) return size.ws_col;
    return 80;
}

std::string ProgressBar::durationText(double seconds) {
    const long total = seconds > 0.0 ? std::lround(seconds) : 0;
    if (total >= 3600) return formatText("%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    return formatText("%ld:%02ld", total / 60, total % 60);
}

std::string ProgressBar::lineText(const RunProgress& progress, double elapsedSeconds, int columns) {
    const double fraction = progress.fraction();
    std::string remaining = "--:--";
    if (fraction >= 1.0) {
        remaining = durationText(0.0);
    } else if (fraction > 0.0) {
        remaining = durationText(elapsedSeconds * (1.0 - fraction) / fraction);
    }
    const std::string figures =
        formatText(" %3d%%  iteration %d/%d  year %d/%d  elapsed %s  remaining %s",
                   static_cast<int>(fraction * 100.0), progress.iteration, progress.iterations, progress.year,
                   progress.years, durationText(elapsedSeconds).c_str(), remaining.c_str());
    // The line stays one column short of the width, so the terminal never wraps it.
    const int barWidth = std::max(MINIMUM_BAR_WIDTH, columns - 1 - static_cast<int>(figures.size()) - 2);
    const int filled = static_cast<int>(fraction * barWidth);
    std::string line = "[";
    line.append(static_cast<size_t>(filled), '#');
    line.append(static_cast<size_t>(barWidth - filled), '.');
    line += "]";
    line += figures;
    return line;
}

void ProgressBar::update(const RunProgress& progress) {
    if (finished_) return;
    const double now = clock_();
    if (start_ < 0.0) start_ = now;
    last_ = progress;
    const bool last = progress.fraction() >= 1.0;
    if (!last && shown_ && now - lastDraw_ < REDRAW_SECONDS) return;
    draw(progress, now);
    if (last) {
        std::fputs("\n", terminal_);
        std::fflush(terminal_);
        finished_ = true;
        shown_ = false;
    }
}

void ProgressBar::clearLine() {
    if (!shown_) return;
    std::fputs("\r\033[K", terminal_);
    std::fflush(terminal_);
    shown_ = false;
}

void ProgressBar::end() {
    if (!shown_) return;
    std::fputs("\n", terminal_);
    std::fflush(terminal_);
    shown_ = false;
    finished_ = true;
}

void ProgressBar::draw(const RunProgress& progress, double now) {
    const std::string line = lineText(progress, now - start_, columns_);
    std::fputs("\r", terminal_);
    std::fputs(line.c_str(), terminal_);
    std::fputs("\033[K", terminal_);
    std::fflush(terminal_);
    lastDraw_ = now;
    shown_ = true;
}

}  // namespace dravia

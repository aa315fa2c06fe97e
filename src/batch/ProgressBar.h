#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace dravia {

// Where a run stands: iteration and year done, out of how many.
struct RunProgress {
    int iteration = 0;
    int iterations = 0;
    int year = 0;
    int years = 0;

    // Share of the run's years simulated, 0 to 1.
    double fraction() const;
};

// A one-line progress bar for a terminal: bar, percentage, iteration, year, elapsed and
// remaining time. It redraws its line in place (carriage return), at most ten times a second,
// and always for the last year of the run, after which it ends its line.
class ProgressBar {
  public:
    using Clock = std::function<double()>;  // seconds since an arbitrary origin

    explicit ProgressBar(std::FILE* terminal, int columns = 80, Clock clock = steadySeconds);

    // Called after every simulated year.
    void update(const RunProgress& progress);
    // Takes the bar off its line so a message can be printed there; the next update redraws it.
    void clearLine();
    // Ends the bar's line if the run stopped before its last year.
    void end();
    bool finished() const { return finished_; }

    // The line for a progress, elapsed seconds and width in columns (no line end).
    static std::string lineText(const RunProgress& progress, double elapsedSeconds, int columns);
    // "m:ss", or "h:mm:ss" from an hour on.
    static std::string durationText(double seconds);

    static double steadySeconds();
    // The width of the terminal behind the stream, or 80.
    static int terminalColumns(std::FILE* stream);

  private:
    void draw(const RunProgress& progress, double now);

    std::FILE* terminal_;
    int columns_;
    Clock clock_;
    double start_ = -1.0;
    double lastDraw_ = -1.0;
    bool shown_ = false;
    bool finished_ = false;
    RunProgress last_;
};

}  // namespace dravia

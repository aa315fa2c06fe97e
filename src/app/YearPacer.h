#pragma once

#include <array>
#include <chrono>
#include <optional>

namespace dravia {

// The speeds a run can be watched at, in simulated years per second; 0 is as fast as the
// machine goes.
inline constexpr std::array<int, 7> YEARS_PER_SECOND_CHOICES{0, 50, 20, 10, 5, 2, 1};

// A fresh install shows a run at this pace: one iteration of 300 years in 15 seconds, slow
// enough for a class to follow the forest.
inline constexpr int DEFAULT_YEARS_PER_SECOND = 20;

// A speed that is not one of the choices means unlimited.
int validYearsPerSecond(int yearsPerSecond);

// When the next simulated year may start, so that a run goes at a chosen number of years per
// second. The years keep a steady beat; after a hold-up longer than one beat (a pause, a message
// box) the beat starts again from then, so a run never races to catch up.
class YearPacer {
  public:
    using Clock = std::chrono::steady_clock;

    // 0 for unlimited. A new speed starts a new beat: the next year starts at once.
    void setYearsPerSecond(int yearsPerSecond);
    int yearsPerSecond() const { return yearsPerSecond_; }

    // The time the coming year may start; none when it may start at once.
    std::optional<Clock::time_point> nextStart() const { return nextStart_; }
    // A year starts at `now`.
    void yearStarting(Clock::time_point now);
    // The run stopped keeping the beat (paused, ended, not shown): the next year starts at once.
    void restart() { nextStart_.reset(); }

  private:
    Clock::duration beat() const;

    int yearsPerSecond_ = 0;
    std::optional<Clock::time_point> nextStart_;
};

}  // namespace dravia

#include "app/YearPacer.h"

#include <algorithm>

namespace dravia {

int validYearsPerSecond(int yearsPerSecond) {
    const bool known = std::find(YEARS_PER_SECOND_CHOICES.begin(), YEARS_PER_SECOND_CHOICES.end(),
                                 yearsPerSecond) != YEARS_PER_SECOND_CHOICES.end();
    return known ? yearsPerSecond : 0;
}

void YearPacer::setYearsPerSecond(int yearsPerSecond) {
    yearsPerSecond_ = validYearsPerSecond(yearsPerSecond);
    restart();
}

YearPacer::Clock::duration YearPacer::beat() const {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / yearsPerSecond_;
}

void YearPacer::yearStarting(Clock::time_point now) {
    if (yearsPerSecond_ == 0) {
        restart();
        return;
    }
    // On the beat (or less than a beat late): the next beat follows this one's planned start,
    // so the rate does not drift by the time each wait overshoots.
    if (nextStart_ && now - *nextStart_ < beat()) {
        *nextStart_ += beat();
    } else {
        nextStart_ = now + beat();
    }
}

}  // namespace dravia

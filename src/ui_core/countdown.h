#pragma once

#include <cstdint>

namespace corvane::ui {

// The counting of the countdown control, apart from its ticker: whole
// seconds measured on the time of day, so a countdown running across
// midnight ends at the first tick after it.
class Countdown {
public:
    struct Tick {
        std::int32_t timeLeft = 0;
        bool expired = false;
        bool operator==(const Tick&) const = default;
    };

    std::int32_t Interval() const { return interval_; }
    // A running countdown uses a new interval from its next tick on.
    void SetInterval(std::int32_t seconds) { interval_ = seconds; }

    // Starts afresh at the given time of day (seconds since midnight) and
    // returns the seconds left to report.
    std::int32_t Start(double secondsSinceMidnight);

    // One tick of the ticker at the given time of day.
    Tick OnTick(double secondsSinceMidnight);

private:
    std::int32_t interval_ = 0;
    double start_ = 0;
    std::int32_t elapsed_ = 0;
};

}  // namespace corvane::ui

#include "ui_core/countdown.h"

#include <cmath>

namespace corvane::ui {

std::int32_t Countdown::Start(double secondsSinceMidnight) {
    start_ = secondsSinceMidnight;
    elapsed_ = 0;
    return interval_;
}

Countdown::Tick Countdown::OnTick(double secondsSinceMidnight) {
    elapsed_ = static_cast<std::int32_t>(std::nearbyint(secondsSinceMidnight - start_));
    if (elapsed_ >= interval_ || elapsed_ < 0) return {0, true};
    return {interval_ - elapsed_, false};
}

}  // namespace corvane::ui

#pragma once

#include <chrono>

#include "platform/core/clock.h"
#include "platform/core/ole_date.h"

namespace corvane::test {

// A clock the test moves by hand; the real one returns when it goes.
class FakeClock {
public:
    explicit FakeClock(const DateTimeParts& start) : now_(*ToSystemTime(*FromParts(start))) {
        clock::SetNowSource([this] { return now_; });
    }
    ~FakeClock() { clock::SetNowSource(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;
    void Advance(std::chrono::milliseconds by) { now_ += by; }

private:
    std::chrono::system_clock::time_point now_;
};

}  // namespace corvane::test

#include "platform/core/clock.h"

#include <cmath>
#include <thread>

namespace corvane::clock {
namespace {
NowSource& Source() {
    static NowSource source;
    return source;
}
SleepFunction& Sleeper() {
    static SleepFunction sleeper;
    return sleeper;
}
}  // namespace

std::chrono::system_clock::time_point SystemNow() {
    if (Source()) return Source()();
    return std::chrono::system_clock::now();
}

OleDate Now() { return FromSystemTime(SystemNow()); }

double SecondsSinceMidnight() {
    const OleDate now = Now();
    return (now - std::floor(now)) * 86400.0;
}

void Sleep(std::chrono::milliseconds duration) {
    if (Sleeper()) {
        Sleeper()(duration);
        return;
    }
    std::this_thread::sleep_for(duration);
}

void SetNowSource(NowSource source) { Source() = std::move(source); }
void SetSleepFunction(SleepFunction sleep) { Sleeper() = std::move(sleep); }

}  // namespace corvane::clock

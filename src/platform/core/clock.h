#pragma once

#include <chrono>
#include <functional>

#include "platform/core/ole_date.h"

namespace corvane::clock {

// The present moment as the system's stored date (local time). Tests replace
// the source so that no result depends on the real time.
OleDate Now();

// Seconds since midnight, as the classic Timer.
double SecondsSinceMidnight();

// Waits the given time (without blocking tests that install their own sleep).
void Sleep(std::chrono::milliseconds duration);

using NowSource = std::function<std::chrono::system_clock::time_point()>;
using SleepFunction = std::function<void(std::chrono::milliseconds)>;

// Replaces the time source / sleep; an empty function restores the real one.
void SetNowSource(NowSource source);
void SetSleepFunction(SleepFunction sleep);

std::chrono::system_clock::time_point SystemNow();

}  // namespace corvane::clock

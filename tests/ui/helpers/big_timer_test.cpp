#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/helpers/big_timer.h"
#include "ui_core/countdown.h"
#include "ui/ui_test_support.h"

using namespace corvane;
using namespace std::chrono_literals;

namespace {

// Records the control's events as "3", "2", ..., "Timer".
struct Recorder {
    std::vector<std::string> events;
    explicit Recorder(BigTimer& timer) {
        QObject::connect(&timer, &BigTimer::TimeLeft,
                         [this](std::int32_t s) { events.push_back(std::to_string(s)); });
        QObject::connect(&timer, &BigTimer::Timer, [this] { events.push_back("Timer"); });
    }
};

}  // namespace

TEST(BigTimer, CountsDownWholeSecondsThenRaisesTimerOnce) {
    test::FakeClock clock({2024, 5, 1, 9, 0, 0});
    BigTimer timer;
    Recorder r(timer);
    timer.SetInterval(3);
    timer.SetEnabled(true);
    for (int i = 0; i < 4; ++i) {
        clock.Advance(1s);
        timer.Tick();
    }
    EXPECT_EQ(r.events, (std::vector<std::string>{"3", "2", "1", "0", "Timer"}));
    EXPECT_TRUE(timer.Enabled());
    EXPECT_FALSE(timer.Counting());
}

TEST(BigTimer, ZeroIntervalEndsAtTheFirstTick) {
    test::FakeClock clock({2024, 5, 1, 9, 0, 0});
    BigTimer timer;
    Recorder r(timer);
    timer.SetEnabled(true);
    clock.Advance(1s);
    timer.Tick();
    EXPECT_EQ(r.events, (std::vector<std::string>{"0", "0", "Timer"}));
}

TEST(BigTimer, ACountdownAcrossMidnightEndsAtTheFirstTickAfterIt) {
    test::FakeClock clock({2024, 5, 1, 23, 59, 58});
    BigTimer timer;
    Recorder r(timer);
    timer.SetInterval(10);
    timer.SetEnabled(true);
    clock.Advance(1s);
    timer.Tick();  // 23:59:59
    clock.Advance(1s);
    timer.Tick();  // 00:00:00 of the next day
    EXPECT_EQ(r.events, (std::vector<std::string>{"10", "9", "0", "Timer"}));
}

TEST(BigTimer, StoppingOrShorteningARunningCountdown) {
    test::FakeClock clock({2024, 5, 1, 12, 0, 0});
    BigTimer timer;
    Recorder r(timer);
    timer.SetInterval(5);
    timer.SetEnabled(true);
    clock.Advance(1s);
    timer.Tick();
    timer.SetInterval(2);  // ends once two seconds have passed
    clock.Advance(1s);
    timer.Tick();
    EXPECT_EQ(r.events, (std::vector<std::string>{"5", "4", "0", "Timer"}));

    r.events.clear();
    timer.SetInterval(5);
    timer.SetEnabled(true);
    timer.SetEnabled(false);
    clock.Advance(10s);
    timer.Tick();  // a stopped countdown raises nothing
    EXPECT_EQ(r.events, (std::vector<std::string>{"5"}));
}

TEST(BigTimer, KeepsItsFixedSize) {
    BigTimer timer;
    const QSize fixed = timer.size();
    timer.resize(200, 200);
    EXPECT_EQ(timer.size(), fixed);
}

TEST(Countdown, ElapsedSecondsRoundHalfToEven) {
    ui::Countdown c;
    c.SetInterval(5);
    EXPECT_EQ(c.Start(100.0), 5);
    EXPECT_EQ(c.OnTick(101.5), (ui::Countdown::Tick{3, false}));  // 1.5 -> 2
    EXPECT_EQ(c.OnTick(102.5), (ui::Countdown::Tick{3, false}));  // 2.5 -> 2
    EXPECT_EQ(c.OnTick(99.0), (ui::Countdown::Tick{0, true}));    // the clock went back
}

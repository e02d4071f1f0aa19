#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "ui_core/countdown.h"

class QLabel;

namespace corvane {

// A countdown control: counts Interval whole seconds on the time of day
// (clock::SecondsSinceMidnight, which tests replace) with a one-second ticker
// and then raises Timer once. TimeLeft reports the seconds still to go when
// the countdown starts and on every tick.
class BigTimer : public QWidget {
    Q_OBJECT

public:
    explicit BigTimer(QWidget* parent = nullptr);

    bool Enabled() const { return enabled_; }
    // True starts a countdown afresh (also while one runs), false stops it.
    // It stays true after the countdown has run out.
    void SetEnabled(bool enabled);
    std::int32_t Interval() const { return countdown_.Interval(); }
    void SetInterval(std::int32_t seconds) { countdown_.SetInterval(seconds); }

    // Whether the countdown is running.
    bool Counting() const { return ticker_.isActive(); }

    // What each tick of the ticker does; tests call it after moving the clock
    // instead of waiting for the real ticker.
    void Tick();

signals:
    void Timer();
    void TimeLeft(std::int32_t secondsLeft);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QTimer ticker_;
    QLabel* imgTimer_ = nullptr;
    ui::Countdown countdown_;
    bool enabled_ = false;
    unsigned generation_ = 0;
};

}  // namespace corvane

#include "ui/helpers/big_timer.h"

#include <QLabel>
#include <QStyle>

#include "platform/core/clock.h"
#include "platform/core/event_loop.h"
#include "ui/helpers/screen_metrics.h"

namespace corvane {
namespace {
QSize FixedSize() { return ui::ToPixels(250, 390); }
}  // namespace

BigTimer::BigTimer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("BigTimer"));
    ticker_.setObjectName(QStringLiteral("Timer1"));
    ticker_.setInterval(1000);
    connect(&ticker_, &QTimer::timeout, this, &BigTimer::Tick);
    imgTimer_ = new QLabel(this);
    imgTimer_->setObjectName(QStringLiteral("imgTimer"));
    imgTimer_->setScaledContents(true);
    imgTimer_->setPixmap(style()->standardIcon(QStyle::SP_BrowserReload).pixmap(32, 32));
    imgTimer_->setGeometry(ui::ToPixels({-60, -15, 390, 420}));
    setFixedSize(FixedSize());
}

void BigTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    ++generation_;
    YieldToEventLoop();
    if (enabled) {
        ticker_.start();
        emit TimeLeft(countdown_.Start(clock::SecondsSinceMidnight()));
    } else {
        ticker_.stop();
        countdown_.Start(0);
    }
}

void BigTimer::Tick() {
    if (!ticker_.isActive()) return;
    // Stop before yielding so the ticker cannot tick again inside this tick;
    // a countdown restarted or stopped meanwhile makes this tick void.
    ticker_.stop();
    const unsigned generation = generation_;
    YieldToEventLoop();
    if (generation != generation_) return;
    const ui::Countdown::Tick tick = countdown_.OnTick(clock::SecondsSinceMidnight());
    emit TimeLeft(tick.timeLeft);
    if (tick.expired) {
        emit Timer();
        return;
    }
    ticker_.start();
}

void BigTimer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The control keeps its fixed surface whatever its host asks.
    if (size() != FixedSize()) resize(FixedSize());
    imgTimer_->setGeometry(ui::ToPixels({-60, -15, 390, 420}));
}

}  // namespace corvane

#pragma once

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

#include "platform/clock.h"
#include "platform/ole_date.h"
#include "ui/frm_enh_msg_box.h"
#include "ui/ui_services.h"

namespace corvane::test {

// Runs the action on the next modal window of type T once it is open. The
// action must close it; if none opens within a few seconds the watcher gives
// up so that the test fails instead of hanging.
template <typename T>
void OnNextModal(std::function<void(T*)> action) {
    auto* watcher = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(watcher, &QTimer::timeout, watcher, [watcher, tries, action] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            watcher->stop();
            watcher->deleteLater();
            action(window);
        } else if (++*tries > 1000) {
            watcher->stop();
            watcher->deleteLater();
        }
    });
    watcher->start(5);
}

// Runs the action on the next message-box window once it is open and modal.
inline void OnNextMsgBox(std::function<void(frmEnhMsgBox*)> action) {
    OnNextModal<frmEnhMsgBox>(std::move(action));
}

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

// Replaces the window layer's services for one test and puts them back.
class ServicesScope {
public:
    explicit ServicesScope(ui::UiServices services) : previous_(ui::SetServices(std::move(services))) {}
    ~ServicesScope() { ui::SetServices(previous_); }
    ServicesScope(const ServicesScope&) = delete;
    ServicesScope& operator=(const ServicesScope&) = delete;

private:
    ui::UiServices previous_;
};

}  // namespace corvane::test

#pragma once

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

#include "ui/msgbox/frm_enh_msg_box.h"
#include "support/fake_clock.h"
#include "support/services_scope.h"

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

}  // namespace corvane::test

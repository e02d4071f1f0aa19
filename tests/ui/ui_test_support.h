#pragma once

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <gtest/gtest.h>
#include <optional>

#include "ui/helpers/pointer_screen.h"
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

// Runs `open`, which shows a modal window of type T and returns once it is
// hidden, with `action` on that window once it is open; the window is hidden
// afterwards if the action left it open. Answers whether one opened. The
// watch ends with `open`, also when no window opens.
template <typename T>
bool WhileModal(const std::function<void()>& open, const std::function<void(T*)>& action) {
    bool opened = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            watch.stop();
            opened = true;
            action(window);
            window->hide();
        }
    });
    watch.start(5);
    open();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return opened;
}

// Fixes the pointer and the screen under it (SetPointerScreen(nullptr) puts
// the real ones back).
inline void PointAt(QPoint pointer, QRect screen) {
    SetPointerScreen([=] { return PointerScreen{pointer, screen}; });
}

// Where a card made with the pointer at `pointer` on `screen` must open.
struct CardPlace {
    const char* what;
    QPoint pointer;
    QRect screen;
    QPoint topLeft;
};

// Makes a card of type Card for each place and checks its size and corner.
template <typename Card>
void ExpectCardPlaces(QSize size, std::initializer_list<CardPlace> places) {
    for (const CardPlace& place : places) {
        SCOPED_TRACE(place.what);
        PointAt(place.pointer, place.screen);
        Card card;
        EXPECT_EQ(card.size(), size);
        EXPECT_EQ(card.pos(), place.topLeft);
    }
}

// Every bold label (a caption) of the window shows its whole text in its
// font, and no label to its right on its row begins under it.
inline void ExpectCaptionsFit(const QWidget* window) {
    const QList<QLabel*> labels = window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    for (const QLabel* caption : labels) {
        if (!caption->font().bold() || caption->text().isEmpty()) continue;
        const QRect own = caption->geometry();
        EXPECT_GE(own.width(), caption->fontMetrics().horizontalAdvance(caption->text()))
            << caption->objectName().toStdString() << " \"" << caption->text().toStdString() << "\" is cut";
        for (const QLabel* other : labels) {
            const QRect at = other->geometry();
            const bool sameRow = at.center().y() >= own.top() && at.center().y() <= own.bottom();
            if (other == caption || !sameRow || at.left() <= own.left())
                continue;
            EXPECT_GT(at.left(), own.right()) << other->objectName().toStdString() << " begins under "
                                              << caption->objectName().toStdString();
        }
    }
}

// Runs the action on the next message-box window once it is open and modal.
inline void OnNextMsgBox(std::function<void(frmEnhMsgBox*)> action) {
    OnNextModal<frmEnhMsgBox>(std::move(action));
}

}  // namespace corvane::test

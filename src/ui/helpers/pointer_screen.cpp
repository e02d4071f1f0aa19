#include "ui/helpers/pointer_screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <utility>

namespace corvane {
namespace {

PointerScreenFunction& Source() {
    static PointerScreenFunction source;
    return source;
}

}  // namespace

PointerScreenFunction SetPointerScreen(PointerScreenFunction source) {
    return std::exchange(Source(), std::move(source));
}

PointerScreen CurrentPointerScreen() {
    if (Source()) return Source()();
    const QPoint at = QCursor::pos();
    return {at, ScreenGeometryAt(at)};
}

QRect ScreenGeometryAt(QPoint point) {
    if (QScreen* screen = QGuiApplication::screenAt(point)) return screen->geometry();
    if (QScreen* screen = QGuiApplication::primaryScreen()) return screen->geometry();
    return {0, 0, 1024, 768};
}

}  // namespace corvane

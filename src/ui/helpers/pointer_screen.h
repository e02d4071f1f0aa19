#pragma once

#include <QPoint>
#include <QRect>
#include <functional>

namespace corvane {

// The pointer's position and the geometry of the screen under it, both in
// global pixels.
struct PointerScreen {
    QPoint pointer;
    QRect screen;
};

// Tests install a fixed pointer and screen; an empty function restores the
// real ones. Returns the source it replaces.
using PointerScreenFunction = std::function<PointerScreen()>;
PointerScreenFunction SetPointerScreen(PointerScreenFunction source);

// The installed source's answer, else the real pointer and its screen.
PointerScreen CurrentPointerScreen();

// The geometry of the screen holding the point: the primary screen's when
// no screen does, 1024 by 768 when there is no screen at all.
QRect ScreenGeometryAt(QPoint point);

}  // namespace corvane

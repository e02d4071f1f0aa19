#include "ui/helpers/window_metrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "ui_core/form_metrics.h"
#include "ui/helpers/screen_metrics.h"

namespace corvane {
namespace {

// Sizes are of the client area and the position is the frame's, as Qt moves
// and sizes windows: values saved from a shown window restore exactly into
// one still loading, whose frame is not known yet.
ui::FormMetricsValues CurrentMetrics(const QWidget* form) {
    const bool normal = !(form->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    QRect client = form->geometry();
    QPoint topLeft = form->pos();
    if (!normal) {
        // Keep the size the window returns to, not the maximised one.
        const QPoint frameOffset = form->geometry().topLeft() - form->pos();
        client = form->normalGeometry();
        topLeft = client.topLeft() - frameOffset;
    }
    ui::FormMetricsValues v;
    v.height = ui::ToTwipsY(client.height());
    v.width = ui::ToTwipsX(client.width());
    v.top = ui::ToTwipsY(topLeft.y());
    v.left = ui::ToTwipsX(topLeft.x());
    v.windowState = form->windowState() & Qt::WindowMinimized   ? 1
                    : form->windowState() & Qt::WindowMaximized ? 2
                                                                : 0;
    return v;
}

// The available area a window at `wanted` belongs on: one that holds it
// wholly, else the one it overlaps most, else (saved on a screen since
// removed) the nearest. Invalid when there is no screen.
QRect BestArea(const QRect& wanted) {
    QRect best;
    qint64 bestOverlap = 0;
    qint64 bestDistance = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        if (area.contains(wanted)) return area;
        const QRect common = area.intersected(wanted);
        const qint64 overlap = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        const QPoint d = area.center() - wanted.center();
        const qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
        if (overlap > bestOverlap || (bestOverlap == 0 && (bestDistance < 0 || distance < bestDistance))) {
            best = area;
            bestOverlap = std::max(bestOverlap, overlap);
            bestDistance = distance;
        }
    }
    return best;
}

// The top left corner that keeps the window on a screen that is there now.
QPoint OnAvailableScreen(const QRect& wanted) {
    const QRect area = BestArea(wanted);
    return area.isValid() ? ClampInto(wanted, area).topLeft() : wanted.topLeft();
}

// The window's frame around its client area; before the window manager has
// framed it, a title bar and thin edges are assumed. Frameless windows have none.
QMargins FrameMargins(const QWidget* form) {
    const Qt::WindowType type = form->windowType();
    if (form->windowFlags() & Qt::FramelessWindowHint || type == Qt::ToolTip || type == Qt::Popup ||
        type == Qt::SplashScreen)
        return {};
    const QRect frame = form->frameGeometry();
    const QRect client = form->geometry();
    if (form->isVisible() && frame != client)
        return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                frame.bottom() - client.bottom()};
    const int edge = 4;
    const int title = std::max(form->style()->pixelMetric(QStyle::PM_TitleBarHeight), 24);
    return {edge, title + edge, edge, edge};
}

}  // namespace

QRect ClampInto(const QRect& frame, const QRect& area) {
    const QSize size = frame.size().boundedTo(area.size());
    const int x = std::clamp(frame.left(), area.left(), area.left() + area.width() - size.width());
    const int y = std::clamp(frame.top(), area.top(), area.top() + area.height() - size.height());
    return {QPoint(x, y), size};
}

void KeepOnScreen(QWidget* form, const QRect& given) {
    if (!form || form->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) return;
    const QMargins frame = FrameMargins(form);
    const QRect whole(form->pos(), form->size().grownBy(frame));
    const QRect area = given.isValid() ? given : BestArea(whole);
    if (!area.isValid() || area.contains(whole)) return;
    const QRect fitted = ClampInto(whole, area);
    const QSize client = fitted.size().shrunkBy(frame).expandedTo(form->minimumSize());
    if (client != form->size()) form->resize(client);
    form->move(fitted.topLeft());
}

QPoint OnAvailableScreen(const QWidget* form, const QPoint& wanted) {
    if (!form) return wanted;
    const QMargins frame = FrameMargins(form);
    const QSize whole = form->size() + QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    return OnAvailableScreen(QRect(wanted, whole));
}

void PlaceOnAvailableScreen(QWidget* form, QSize wanted) {
    if (!form) return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = FrameMargins(form);
    const QSize room(area.width() - frame.left() - frame.right(), area.height() - frame.top() - frame.bottom());
    const QSize size = wanted.boundedTo(room).expandedTo(form->minimumSize());
    form->resize(size);
    const int frameWidth = size.width() + frame.left() + frame.right();
    const int frameHeight = size.height() + frame.top() + frame.bottom();
    // move() places the frame's corner.
    form->move(area.left() + std::max(0, (area.width() - frameWidth) / 2),
               area.top() + std::max(0, (area.height() - frameHeight) / 2));
    KeepOnScreen(form, area);
}

void LoadFormMetrics(QWidget* form) {
    if (!form) return;
    const std::string name = form->objectName().toStdString();
    const ui::FormMetricsValues current = CurrentMetrics(form);
    const ui::FormMetricsValues v = ui::ReadFormMetrics(name, current);
    if (v == current) {
        KeepOnScreen(form);
        return;
    }
    // A size of 0 (or less) is no size to open at: the window keeps its own.
    QSize size(ui::ToPixelsX(v.width), ui::ToPixelsY(v.height));
    if (size.width() <= 0) size.setWidth(form->width());
    if (size.height() <= 0) size.setHeight(form->height());
    form->resize(size);
    form->move(OnAvailableScreen(QRect(QPoint(ui::ToPixelsX(v.left), ui::ToPixelsY(v.top)), size)));
    // A window saved minimised opens normal: one that opens minimised is easily
    // taken for one that never opened.
    Qt::WindowStates state = form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (v.windowState == 2) state |= Qt::WindowMaximized;
    form->setWindowState(state);
    KeepOnScreen(form);
}

void SaveFormMetrics(QWidget* form) {
    if (!form) return;
    ui::WriteFormMetrics(form->objectName().toStdString(), CurrentMetrics(form));
}

}  // namespace corvane

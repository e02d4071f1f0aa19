#include "ui/helpers/window_metrics.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <vector>

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

bool Frameless(const QWidget* form) {
    const Qt::WindowType type = form->windowType();
    return form->windowFlags() & Qt::FramelessWindowHint || type == Qt::ToolTip || type == Qt::Popup ||
           type == Qt::SplashScreen;
}

// The frame the window manager has put around a made window; none before it
// has framed it (and never without a window manager).
QMargins RealFrame(const QWidget* form) {
    const QWindow* handle = form->testAttribute(Qt::WA_WState_Created) ? form->windowHandle() : nullptr;
    if (!handle || Frameless(form)) return {};
    // Asked between the mapping and the framing, xcb measures the window
    // against itself and answers negative edges: no frame yet.
    const QMargins frame = handle->frameMargins();
    const bool known = frame.left() >= 0 && frame.top() >= 0 && frame.right() >= 0 && frame.bottom() >= 0;
    return known ? frame : QMargins();
}

// The window's frame around its client area; before the window manager has
// framed it, a title bar and thin edges are assumed. Frameless windows have none.
QMargins FrameMargins(const QWidget* form) {
    if (Frameless(form)) return {};
    if (const QMargins real = RealFrame(form); !real.isNull()) return real;
    const int edge = 4;
    const int title = std::max(form->style()->pixelMetric(QStyle::PM_TitleBarHeight), 24);
    return {edge, title + edge, edge, edge};
}

// A made window is placed by its client area (the frame, known or still to
// come, goes around it); one not made yet by its frame's corner, as Qt
// places it when it makes it.
bool PlacedByClientArea(const QWidget* form) {
    return form->testAttribute(Qt::WA_WState_Created) && !Frameless(form);
}

// Where the window's frame stands, or will once the window manager frames it.
QRect FrameRect(const QWidget* form) {
    const QMargins frame = FrameMargins(form);
    if (!PlacedByClientArea(form)) return {form->pos(), form->size().grownBy(frame)};
    return form->geometry().marginsAdded(frame);
}

// Top-level windows the placement rule leaves alone: menus and lists that
// drop down, which Qt keeps on screen itself, tool tips, the desktop, and
// windows without a frame (the splash, the cards, the balloon, the icon's
// menu), which have no frame to wait for: they are placed where they belong,
// beside the pointer or the icon, and kept on that screen as they are.
bool PlacedByTheRule(const QWidget* window) {
    if (window->windowFlags() & Qt::FramelessWindowHint) return false;
    switch (window->windowType()) {
        case Qt::SplashScreen:
        case Qt::Popup:
        case Qt::ToolTip:
        case Qt::Desktop:
        case Qt::ForeignWindow:
            return false;
        default:
            return true;
    }
}

// The frame of the window this one belongs to, when that one shows: its
// parent's, else the window Qt made it transient for (a modal window
// without a parent belongs to the window active when it opened).
QRect OwnerFrame(const QWidget* window) {
    if (const QWidget* parent = window->parentWidget(); parent && parent->window()->isVisible())
        return FrameRect(parent->window());
    const QWindow* handle = window->windowHandle();
    const QWindow* owner = handle ? handle->transientParent() : nullptr;
    return owner && owner->isVisible() ? owner->frameGeometry() : QRect();
}

// A window the program gave no place: centred over the window it belongs
// to, else in its screen's available area.
void PlaceUnplaced(QWidget* window) {
    QRect around = OwnerFrame(window);
    if (!around.isValid()) {
        const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        if (screen) around = screen->availableGeometry();
    }
    if (!around.isValid()) return;
    QRect frame = FrameRect(window);
    frame.moveCenter(around.center());
    MoveFrameTo(window, frame.topLeft());
}

// Follows the rule through the events of every top-level window: as it
// shows; again once it is shown on screen with the real frame the window
// manager put around it; and whenever the program itself moves or resizes a
// shown window, as a fixed-size dialog grows while it fills in after it
// showed. Moves and resizes from the window system are left alone: a
// person's, and, while the window opens, reports that can still be of the
// size and place it had before the program's last change.
class ScreenKeeper : public QObject {
public:
    static constexpr const char* kName = "corvaneScreenKeeper";
    explicit ScreenKeeper(QObject* parent) : QObject(parent) { setObjectName(QLatin1String(kName)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The clamp's own moves and resizes come back through here.
        if (keeping_) return false;
        // Only these events are looked at; every other passes untouched.
        const QEvent::Type type = event->type();
        if (type != QEvent::Expose && type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize)
            return false;
        if (type == QEvent::Expose && watched->isWindowType()) {
            const auto* handle = static_cast<QWindow*>(watched);
            const auto opening = std::find_if(opening_.begin(), opening_.end(), [&](const QPointer<QWidget>& w) {
                return w && w->windowHandle() == handle;
            });
            if (opening == opening_.end() || !handle->isExposed()) return false;
            const QPointer<QWidget> window = *opening;
            // Exposed before the window manager's frame is known (or without
            // one): clamped with the frame assumed, and again at the next exposure.
            if (!RealFrame(window).isNull()) opening_.erase(opening);
            Keep(window);
            return false;
        }
        if (!watched->isWidgetType()) return false;
        auto* window = static_cast<QWidget*>(watched);
        if (!window->isWindow() || !PlacedByTheRule(window)) return false;
        if (type == QEvent::Show) {
            if (!window->testAttribute(Qt::WA_Moved)) PlaceUnplaced(window);
            Keep(window);
            // Each mapping is placed by the window manager afresh.
            if (PlacedByClientArea(window)) Open(window);
        } else if ((type == QEvent::Move || type == QEvent::Resize) && window->isVisible() &&
                   !event->spontaneous()) {
            Keep(window);
            KeepPlaceOnce(window);
        }
        return false;
    }

private:
    void Keep(QWidget* window) {
        keeping_ = true;
        KeepOnScreen(window);
        keeping_ = false;
    }

    // While the window manager reparents a window into its frame, xcb can
    // take the window's place on the root window before the frame is moved
    // there (its top left corner) for the native window's; a resize sent
    // then carries that place and the window manager moves the window there.
    // The first time the program moves or resizes an opening window, the
    // place the program gave it is sent again; once only, so that it never
    // answers the window system's own reports in a loop.
    void KeepPlaceOnce(QWidget* window) {
        const auto opening = std::find(opening_.begin(), opening_.end(), window);
        if (opening == opening_.end() || std::find(placed_.begin(), placed_.end(), window) != placed_.end()) return;
        QWindow* handle = window->windowHandle();
        if (!handle || handle->position() == window->geometry().topLeft()) return;
        placed_.emplace_back(window);
        keeping_ = true;
        handle->setPosition(window->geometry().topLeft());
        keeping_ = false;
    }

    void Open(QWidget* window) {
        std::erase_if(opening_, [&](const QPointer<QWidget>& w) { return !w || !w->isVisible() || w == window; });
        std::erase_if(placed_, [&](const QPointer<QWidget>& w) { return !w || !w->isVisible() || w == window; });
        opening_.emplace_back(window);
    }

    // Shown windows not yet on screen with their real frame.
    std::vector<QPointer<QWidget>> opening_;
    // Opening windows whose place was sent again.
    std::vector<QPointer<QWidget>> placed_;
    bool keeping_ = false;
};

}  // namespace

void MoveFrameTo(QWidget* form, QPoint corner) {
    if (!form) return;
    if (!PlacedByClientArea(form)) {
        form->move(corner);
        return;
    }
    const QMargins frame = FrameMargins(form);
    form->setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), form->size()));
}

void KeepWindowsOnScreen() {
    if (!qApp || qApp->findChild<QObject*>(QLatin1String(ScreenKeeper::kName), Qt::FindDirectChildrenOnly)) return;
    qApp->installEventFilter(new ScreenKeeper(qApp));
}

QRect ClampInto(const QRect& frame, const QRect& area) {
    const QSize size = frame.size().boundedTo(area.size());
    const int x = std::clamp(frame.left(), area.left(), area.left() + area.width() - size.width());
    const int y = std::clamp(frame.top(), area.top(), area.top() + area.height() - size.height());
    return {QPoint(x, y), size};
}

void KeepOnScreen(QWidget* form, const QRect& given) {
    if (!form || form->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) return;
    const QMargins frame = FrameMargins(form);
    const QRect whole = FrameRect(form);
    const QRect area = given.isValid() ? given : BestArea(whole);
    if (!area.isValid() || area.contains(whole)) return;
    const QRect fitted = ClampInto(whole, area);
    const QSize client = fitted.size().shrunkBy(frame).expandedTo(form->minimumSize());
    if (client != form->size()) form->resize(client);
    MoveFrameTo(form, fitted.topLeft());
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

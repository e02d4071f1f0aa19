#include "session/platform_qt/x11_screen_hold.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>

#ifdef CORVANE_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
#include <X11/Xlib.h>
#endif

namespace corvane {
namespace {

constexpr const char* kCoverProperty = "corvaneScreenCover";

class CoverWindow final : public QRasterWindow {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(QRect(QPoint(0, 0), size()), QColor(0x1f, 0x2a, 0x38));
    }
};

QWindow* WindowOf(ScreenHold::WindowId id) {
    for (QWindow* window : QGuiApplication::allWindows())
        if (window->handle() && window->winId() == id) return window;
    return nullptr;
}

#ifdef CORVANE_HAVE_X11
Display* X11Display() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}
#endif

}  // namespace

bool IsScreenCover(const QWindow* window) { return window && window->property(kCoverProperty).toBool(); }

X11ScreenHold::~X11ScreenHold() { Uncover(); }

bool X11ScreenHold::Cover(WindowId id) {
    QWindow* held = WindowOf(id);
    if (!held) return false;
    Uncover();
    for (QScreen* screen : QGuiApplication::screens()) {
        auto* cover = new CoverWindow;
        cover->setProperty(kCoverProperty, true);
        cover->setTitle(QString::fromLatin1(kScreenCoverTitle));
        cover->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        cover->setScreen(screen);
        cover->setGeometry(screen->geometry());
        cover->showFullScreen();
        covers_.emplace_back(cover);
    }
    if (covers_.empty()) return false;
    // The window manager keeps a transient above the window it belongs to,
    // in the cover's full-screen layer above the panels.
    held->setTransientParent(covers_.front());
    held->raise();
    held->requestActivate();
    return true;
}

void X11ScreenHold::Uncover() {
    for (QWindow* window : QGuiApplication::allWindows())
        if (IsScreenCover(window->transientParent())) window->setTransientParent(nullptr);
    for (auto& cover : covers_) delete cover.data();
    covers_.clear();
}

bool X11ScreenHold::GrabPointer(WindowId id) {
#ifdef CORVANE_HAVE_X11
    Display* display = X11Display();
    if (!display) return false;
    const Window window = static_cast<Window>(id);
    const int answer = XGrabPointer(display, window, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                    GrabModeAsync, GrabModeAsync, window, None, CurrentTime);
    XFlush(display);
    return answer == GrabSuccess;
#else
    (void)id;
    return false;
#endif
}

bool X11ScreenHold::GrabKeyboard(WindowId id) {
#ifdef CORVANE_HAVE_X11
    Display* display = X11Display();
    if (!display) return false;
    const int answer = XGrabKeyboard(display, static_cast<Window>(id), True, GrabModeAsync, GrabModeAsync, CurrentTime);
    XFlush(display);
    return answer == GrabSuccess;
#else
    (void)id;
    return false;
#endif
}

void X11ScreenHold::Ungrab() {
#ifdef CORVANE_HAVE_X11
    Display* display = X11Display();
    if (!display) return;
    XUngrabPointer(display, CurrentTime);
    XUngrabKeyboard(display, CurrentTime);
    XFlush(display);
#endif
}

bool InstallDesktopScreenHold() {
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb")) return false;
    SetScreenHold(std::make_shared<X11ScreenHold>());
    return true;
}

}  // namespace corvane

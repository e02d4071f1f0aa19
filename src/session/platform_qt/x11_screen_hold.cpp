#include "session/platform_qt/x11_screen_hold.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <set>

#ifdef CORVANE_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
#include <X11/Xlib.h>
#include <xcb/xproto.h>
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

#ifdef CORVANE_HAVE_X11
// The root window's child that holds the window: the window itself, or the
// frame a window manager put it in.
Window TopOf(Display* display, Window window) {
    for (;;) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return window;
        if (children) XFree(children);
        if (parent == root || parent == 0) return window;
        window = parent;
    }
}

template <typename Notice>
Window NoticeAbout(const xcb_generic_event_t* event, Window root) {
    const auto* notice = reinterpret_cast<const Notice*>(event);
    return notice->event == root && notice->window != root ? notice->window : 0;
}

// The window a notice of the root's restacked children is about, when the
// root's substructure is what was selected for it (not the window's own
// structure); 0 for any other event.
Window RootChildNoticed(const xcb_generic_event_t* event, Window root) {
    switch (event->response_type & 0x7f) {
        case XCB_MAP_NOTIFY: return NoticeAbout<xcb_map_notify_event_t>(event, root);
        case XCB_CONFIGURE_NOTIFY: return NoticeAbout<xcb_configure_notify_event_t>(event, root);
        case XCB_CIRCULATE_NOTIFY: return NoticeAbout<xcb_circulate_notify_event_t>(event, root);
        case XCB_REPARENT_NOTIFY: return NoticeAbout<xcb_reparent_notify_event_t>(event, root);
        default: return 0;
    }
}
#endif

}  // namespace

// Watches the root window's children while the covers are up and puts any
// other program's window found above the lowest cover right beneath it.
class X11ScreenHold::CoverKeeper final : public QObject, public QAbstractNativeEventFilter {
public:
#ifdef CORVANE_HAVE_X11
    CoverKeeper(Display* display, std::vector<QPointer<QWindow>> covers)
        : display_(display), root_(DefaultRootWindow(display)), covers_(std::move(covers)) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display_, root_, &attributes)) rootMask_ = attributes.your_event_mask;
        selected_ = !(rootMask_ & SubstructureNotifyMask);
        if (selected_) XSelectInput(display_, root_, rootMask_ | SubstructureNotifyMask);
        XFlush(display_);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~CoverKeeper() override {
        // Past the application's end the connection is gone, and the watch with it.
        if (!QCoreApplication::instance()) return;
        QCoreApplication::instance()->removeNativeEventFilter(this);
        if (selected_) XSelectInput(display_, root_, rootMask_);
        XFlush(display_);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        if (!RootChildNoticed(static_cast<const xcb_generic_event_t*>(message), root_)) return false;
        // A burst of notices (a window manager framing a window) is answered once.
        if (!pending_) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                KeepOnTop();
            });
        }
        // The program asked for none of these itself (a root's notice would
        // make it read its screens again); the rest name no window of its own.
        return selected_;
    }

    void KeepOnTop() {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, root_, &root, &parent, &children, &count)) return;
        const std::vector<Window> stack(children, children + count);  // bottom first
        if (children) XFree(children);
        std::set<Window> covers, ours;
        for (const auto& cover : covers_)
            if (cover && cover->handle()) covers.insert(TopOf(display_, static_cast<Window>(cover->winId())));
        for (QWindow* window : QGuiApplication::allWindows())
            if (window->isTopLevel() && window->isVisible() && window->handle())
                ours.insert(TopOf(display_, static_cast<Window>(window->winId())));
        const auto lowest = std::find_if(stack.begin(), stack.end(), [&](Window w) { return covers.contains(w); });
        if (lowest == stack.end()) return;
        for (auto above = lowest + 1; above != stack.end(); ++above) {
            XWindowAttributes attributes;
            if (ours.contains(*above) || !XGetWindowAttributes(display_, *above, &attributes) ||
                attributes.map_state != IsViewable)
                continue;
            // A window manager's frame goes through the manager, which honours it.
            XWindowChanges changes{};
            changes.sibling = *lowest;
            changes.stack_mode = Below;
            XConfigureWindow(display_, *above, CWSibling | CWStackMode, &changes);
        }
        XFlush(display_);
    }

private:
    Display* display_;
    Window root_;
    std::vector<QPointer<QWindow>> covers_;
    long rootMask_ = 0;
    bool selected_ = false;
    bool pending_ = false;
#else
    bool nativeEventFilter(const QByteArray&, void*, qintptr*) override { return false; }
#endif
};

bool IsScreenCover(const QWindow* window) { return window && window->property(kCoverProperty).toBool(); }

X11ScreenHold::X11ScreenHold() = default;

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
#ifdef CORVANE_HAVE_X11
    if (Display* display = X11Display()) {
        keeper_ = std::make_unique<CoverKeeper>(display, covers_);
        keeper_->KeepOnTop();
    }
#endif
    return true;
}

void X11ScreenHold::Uncover() {
    keeper_.reset();
    for (QWindow* window : QGuiApplication::allWindows())
        if (IsScreenCover(window->transientParent())) window->setTransientParent(nullptr);
    for (auto& cover : covers_) delete cover.data();
    covers_.clear();
}

bool X11ScreenHold::GrabPointer(WindowId id) {
#ifdef CORVANE_HAVE_X11
    Display* display = X11Display();
    if (!display) return false;
    // Grabbed again by the program that holds it, the server moves the grab.
    const Window window = id == kWholeScreen ? DefaultRootWindow(display) : static_cast<Window>(id);
    const Window confineTo = id == kWholeScreen ? None : window;
    const int answer = XGrabPointer(display, window, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                    GrabModeAsync, GrabModeAsync, confineTo, None, CurrentTime);
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
    const Window window = id == kWholeScreen ? DefaultRootWindow(display) : static_cast<Window>(id);
    const int answer = XGrabKeyboard(display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
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

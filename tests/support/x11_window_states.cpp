#include "support/x11_window_states.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTest>
#include <QWindow>
#include <QWidget>
#include <vector>

#include "ui/helpers/off_taskbar.h"

// Xlib last: its macros (None, Bool) clash with Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace corvane::test {

namespace {

// A 32-bit property of the window of that type, as the server holds it;
// empty when the property is absent or of another type.
std::vector<unsigned long> Property(Display* display, Window window, const char* name, Atom wanted) {
    std::vector<unsigned long> values;
    const Atom property = XInternAtom(display, name, True);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (property != 0 &&
        XGetWindowProperty(display, window, property, 0, 1024, False, wanted, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        if (type == wanted && format == 32) values.assign(items, items + count);
        XFree(data);
    }
    return values;
}

}  // namespace

QStringList X11WindowStates(const QWidget* window) {
    QStringList names;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return names;
    for (const unsigned long atom :
         Property(display, static_cast<Window>(window->winId()), "_NET_WM_STATE", XA_ATOM)) {
        if (char* name = XGetAtomName(display, atom)) {
            names << QString::fromLatin1(name);
            XFree(name);
        }
    }
    XCloseDisplay(display);
    return names;
}

QRect X11FrameGeometry(const QWidget* window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return {};
    const Window root = DefaultRootWindow(display);
    Window outer = static_cast<Window>(window->winId());
    // Up to the root's child: the frame, or the window when nothing frames it.
    for (;;) {
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, outer, &rootReturn, &parent, &children, &count)) break;
        if (children) XFree(children);
        if (parent == root || parent == 0) break;
        outer = parent;
    }
    QRect rect;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, outer, &attributes)) {
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display, outer, root, 0, 0, &x, &y, &child);
        // The border lies outside the window's own width and height.
        const int border = attributes.border_width;
        rect = QRect(x - border, y - border, attributes.width + 2 * border, attributes.height + 2 * border);
    }
    XCloseDisplay(display);
    return rect;
}

QRect X11ClientGeometry(const QWidget* window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return {};
    const Window own = static_cast<Window>(window->winId());
    QRect rect;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, own, &attributes)) {
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display, own, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        rect = QRect(x, y, attributes.width, attributes.height);
    }
    XCloseDisplay(display);
    return rect;
}

bool X11WindowManagerRuns() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const bool runs =
        Property(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).size() == 1;
    XCloseDisplay(display);
    return runs;
}

bool RunsOnX11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

void ExpectOffTheTaskbar(QWidget* window) {
    std::vector<QWidget*> asked;
    TaskbarRequest previous;
    if (!RunsOnX11()) previous = SetTaskbarRequest([&](QWidget* w) { asked.push_back(w); });
    for (int showing = 1; showing <= 2; ++showing) {
        SCOPED_TRACE(::testing::Message() << "showing " << showing);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        if (RunsOnX11()) {
            // A window manager writes the states back once it has mapped the window.
            QStringList states;
            QTest::qWaitFor([&] {
                states = X11WindowStates(window);
                return states.contains("_NET_WM_STATE_SKIP_TASKBAR") && states.contains("_NET_WM_STATE_SKIP_PAGER");
            });
            EXPECT_TRUE(states.contains("_NET_WM_STATE_SKIP_TASKBAR")) << states.join(' ').toStdString();
            EXPECT_TRUE(states.contains("_NET_WM_STATE_SKIP_PAGER")) << states.join(' ').toStdString();
        } else {
            EXPECT_EQ(asked, std::vector<QWidget*>(static_cast<std::size_t>(showing), window));
        }
        EXPECT_EQ(window->windowType(), Qt::Dialog);
        EXPECT_TRUE(window->windowFlags() & Qt::WindowTitleHint);
        window->hide();
        QTest::qWaitFor([&] { return !window->windowHandle() || !window->windowHandle()->isExposed(); });
    }
    if (!RunsOnX11()) SetTaskbarRequest(previous);
}

}  // namespace corvane::test

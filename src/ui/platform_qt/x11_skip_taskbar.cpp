#include "ui/platform_qt/x11_skip_taskbar.h"

#include <QGuiApplication>
#include <QWindow>

#ifdef CORVANE_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <vector>
#endif

namespace corvane {

#ifdef CORVANE_HAVE_X11
namespace {

// The window's _NET_WM_STATE atoms as they stand.
std::vector<Atom> CurrentStates(Display* display, Window window, Atom netWmState) {
    std::vector<Atom> states;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netWmState, 0, 1024, False, XA_ATOM, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        if (type == XA_ATOM && format == 32) {
            const auto* atoms = reinterpret_cast<const unsigned long*>(data);
            states.assign(atoms, atoms + count);
        }
        XFree(data);
    }
    return states;
}

bool IsMapped(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state != IsUnmapped;
}

}  // namespace

bool X11SkipTaskbar(QWindow* window) {
    if (!window || !window->handle() || QGuiApplication::platformName() != QLatin1String("xcb")) return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return false;
    const Window id = static_cast<Window>(window->winId());
    const Atom netWmState = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom skip[2] = {XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False),
                          XInternAtom(display, "_NET_WM_STATE_SKIP_PAGER", False)};
    if (!IsMapped(display, id)) {
        // Qt keeps the states it finds when it maps the window.
        std::vector<Atom> states = CurrentStates(display, id, netWmState);
        for (const Atom atom : skip)
            if (std::find(states.begin(), states.end(), atom) == states.end()) states.push_back(atom);
        XChangeProperty(display, id, netWmState, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(states.data()), static_cast<int>(states.size()));
    } else {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = id;
        event.xclient.message_type = netWmState;
        event.xclient.format = 32;
        event.xclient.data.l[0] = 1;  // _NET_WM_STATE_ADD
        event.xclient.data.l[1] = static_cast<long>(skip[0]);
        event.xclient.data.l[2] = static_cast<long>(skip[1]);
        event.xclient.data.l[3] = 1;  // asked for by an application
        XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &event);
    }
    XSync(display, False);
    return true;
}
#else
bool X11SkipTaskbar(QWindow*) { return false; }
#endif

}  // namespace corvane

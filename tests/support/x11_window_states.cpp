#include "support/x11_window_states.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <vector>

#include "ui/helpers/off_taskbar.h"

// Xlib last: its macros (None, Bool) clash with Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace corvane::test {

QStringList X11WindowStates(const QWidget* window) {
    QStringList names;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return names;
    const Atom netWmState = XInternAtom(display, "_NET_WM_STATE", True);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (netWmState != 0 &&
        XGetWindowProperty(display, static_cast<Window>(window->winId()), netWmState, 0, 1024, False, XA_ATOM, &type,
                           &format, &count, &after, &data) == Success &&
        data) {
        const auto* atoms = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; type == XA_ATOM && format == 32 && i < count; ++i) {
            if (char* name = XGetAtomName(display, atoms[i])) {
                names << QString::fromLatin1(name);
                XFree(name);
            }
        }
        XFree(data);
    }
    XCloseDisplay(display);
    return names;
}

bool RunsOnX11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

void ExpectOffTheTaskbar(QWidget* window) {
    std::vector<QWidget*> asked;
    TaskbarRequest previous;
    if (!RunsOnX11()) previous = SetTaskbarRequest([&](QWidget* w) { asked.push_back(w); });
    for (int showing = 1; showing <= 2; ++showing) {
        SCOPED_TRACE(::testing::Message() << "showing " << showing);
        window->show();
        QTest::qWait(20);
        if (RunsOnX11()) {
            const QStringList states = X11WindowStates(window);
            EXPECT_TRUE(states.contains("_NET_WM_STATE_SKIP_TASKBAR")) << states.join(' ').toStdString();
            EXPECT_TRUE(states.contains("_NET_WM_STATE_SKIP_PAGER")) << states.join(' ').toStdString();
        } else {
            EXPECT_EQ(asked, std::vector<QWidget*>(static_cast<std::size_t>(showing), window));
        }
        EXPECT_EQ(window->windowType(), Qt::Dialog);
        EXPECT_TRUE(window->windowFlags() & Qt::WindowTitleHint);
        window->hide();
        QTest::qWait(5);
    }
    if (!RunsOnX11()) SetTaskbarRequest(previous);
}

}  // namespace corvane::test

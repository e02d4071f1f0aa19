// Caps Lock as the program reads it on a real X11 server (run under
// xvfb-run): the lock set on the server's keyboard is what the login sees.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>

#include "session/helpers/keyboard_state.h"
#include "session/platform_qt/x11_keyboard_state.h"
#include "support/fake_keyboard_state.h"

using namespace corvane;

namespace {

void LockCaps(Display* display, bool on) {
    XkbLockModifiers(display, XkbUseCoreKbd, LockMask, on ? LockMask : 0);
    XSync(display, False);
}

TEST(X11CapsLock, TheDesktopSourceReadsTheServersLock) {
    int argc = 3;
    char name[] = "x11_caps_lock_test";
    char option[] = "-platform";
    char platform[] = "xcb";
    char* argv[] = {name, option, platform, nullptr};
    QGuiApplication app(argc, argv);
    auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    ASSERT_NE(display, nullptr) << "needs an X11 server";

    test::KeyboardStateScope scope(nullptr);
    EXPECT_FALSE(IsCapsLockOn());  // nothing installed yet
    ASSERT_TRUE(InstallDesktopKeyboardState());
    for (bool on : {true, false, true}) {
        LockCaps(display, on);
        EXPECT_EQ(IsCapsLockOn(), on);
    }
    LockCaps(display, false);
}

}  // namespace

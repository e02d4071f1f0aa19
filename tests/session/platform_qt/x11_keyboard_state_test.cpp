#include <gtest/gtest.h>

#include <QGuiApplication>

#include "session/helpers/keyboard_state.h"
#include "session/platform_qt/x11_keyboard_state.h"
#include "support/fake_keyboard_state.h"

using namespace corvane;

namespace {

// Tests run on the offscreen platform: there is no X11 server to ask, so the lock reads off
// rather than failing.
TEST(X11KeyboardState, ReadsOffWhereTheApplicationHasNoX11Server) {
    X11KeyboardState state;
    EXPECT_FALSE(state.CapsLock().toggled);  // before any application object
    int argc = 1;
    char name[] = "x11_keyboard_state_test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    ASSERT_NE(QGuiApplication::platformName(), "xcb");
    test::KeyboardStateScope scope(nullptr);
    InstallX11KeyboardState();
    EXPECT_FALSE(IsCapsLockOn());
    const CapsLockState caps = state.CapsLock();
    EXPECT_FALSE(caps.toggled);
    EXPECT_FALSE(caps.held);
}

}  // namespace

// The login's hold of a real X11 server (run under xvfb-run): the grabs move
// from window to window of the program and no other client can take them on
// the way; a window another client maps or raises over the cover goes
// beneath it at once, and the cover's watch ends with the cover.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRasterWindow>
#include <QtGui/qguiapplication_platform.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "session/platform_qt/x11_screen_hold.h"

using namespace corvane;

namespace {

QGuiApplication& App() {
    static int argc = 3;
    static char name[] = "x11_screen_hold_test";
    static char option[] = "-platform";
    static char platform[] = "xcb";
    static char* argv[] = {name, option, platform, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

Display* OwnDisplay() {
    auto* x11 = App().nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

// Runs the program's events until the condition holds or the time is up.
bool Within(int milliseconds, const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Another client of the same server.
class OtherClient {
public:
    OtherClient() : display_(XOpenDisplay(nullptr)) {}
    ~OtherClient() {
        if (display_) XCloseDisplay(display_);
    }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    Display* display() const { return display_; }
    Window root() const { return DefaultRootWindow(display_); }

    // Whether this client could take the grabs; let go again at once.
    bool CanGrabKeyboard() {
        const bool took = XGrabKeyboard(display_, root(), True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
        if (took) XUngrabKeyboard(display_, CurrentTime);
        XSync(display_, False);
        return took;
    }
    bool CanGrabPointer() {
        const bool took = XGrabPointer(display_, root(), True, ButtonPressMask, GrabModeAsync, GrabModeAsync, None,
                                       None, CurrentTime) == GrabSuccess;
        if (took) XUngrabPointer(display_, CurrentTime);
        XSync(display_, False);
        return took;
    }
    // A window of this client mapped over everything; override-redirect or not.
    Window Map(bool overrideRedirect) {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = overrideRedirect;
        const Window window = XCreateWindow(display_, root(), 0, 0, 300, 200, 0, CopyFromParent, InputOutput,
                                            CopyFromParent, CWOverrideRedirect, &attributes);
        XMapRaised(display_, window);
        XSync(display_, False);
        return window;
    }
    // The root's children, bottom first.
    std::vector<Window> Stack() {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        XQueryTree(display_, this->root(), &root, &parent, &children, &count);
        std::vector<Window> stack(children, children + count);
        if (children) XFree(children);
        return stack;
    }
    bool Beneath(Window lower, Window upper) {
        const auto stack = Stack();
        const auto l = std::find(stack.begin(), stack.end(), lower), u = std::find(stack.begin(), stack.end(), upper);
        return l != stack.end() && u != stack.end() && l < u;
    }
    std::pair<int, int> Pointer() {
        Window root = 0, child = 0;
        int x = 0, y = 0, wx = 0, wy = 0;
        unsigned mask = 0;
        XQueryPointer(display_, this->root(), &root, &child, &x, &y, &wx, &wy, &mask);
        return {x, y};
    }

private:
    Display* display_;
};

class Plain final : public QRasterWindow {
public:
    Plain(QRect geometry) {
        setGeometry(geometry);
        show();
    }
    ScreenHold::WindowId Id() const { return static_cast<ScreenHold::WindowId>(winId()); }
};

class X11Hold : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OwnDisplay()) GTEST_SKIP() << "needs an X11 server";
        ASSERT_NE(other.display(), nullptr);
    }
    OtherClient other;
};

TEST_F(X11Hold, TheGrabsMoveFromWindowToWindowAndNoOtherClientGetsThemOnTheWay) {
    Plain login({100, 100, 300, 200}), box({500, 400, 200, 100});
    ASSERT_TRUE(Within(2000, [&] { return login.isExposed() && box.isExposed(); }));
    X11ScreenHold hold;
    EXPECT_TRUE(other.CanGrabKeyboard() && other.CanGrabPointer());
    struct Step {
        const char* name;
        ScreenHold::WindowId window;
        QRect confinedTo;  // empty: the whole screen
    } const steps[] = {
        {"login", login.Id(), login.geometry()},
        {"box", box.Id(), box.geometry()},
        {"whole screen", ScreenHold::kWholeScreen, {}},
        {"login again", login.Id(), login.geometry()},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        ASSERT_TRUE(hold.GrabKeyboard(step.window));
        ASSERT_TRUE(hold.GrabPointer(step.window));
        // Warped first: the server lifts the confinement (not the grab) when
        // another client's grab is refused, which the login's check mends.
        XWarpPointer(other.display(), None, other.root(), 0, 0, 0, 0, 2, 2);
        XSync(other.display(), False);
        const auto [x, y] = other.Pointer();
        if (step.confinedTo.isEmpty()) EXPECT_EQ(std::make_pair(x, y), std::make_pair(2, 2));
        else EXPECT_TRUE(step.confinedTo.contains(x, y)) << x << "," << y;
        EXPECT_FALSE(other.CanGrabKeyboard());
        EXPECT_FALSE(other.CanGrabPointer());
    }
    hold.Ungrab();
    XSync(OwnDisplay(), False);  // flushed, not yet done, when the other client asks
    EXPECT_TRUE(other.CanGrabKeyboard() && other.CanGrabPointer());
}

TEST_F(X11Hold, AWindowMappedOrRaisedOverTheCoverGoesBeneathIt) {
    Display* own = OwnDisplay();
    const Window root = DefaultRootWindow(own);
    XWindowAttributes before;
    XGetWindowAttributes(own, root, &before);

    Plain login({100, 100, 300, 200});
    ASSERT_TRUE(Within(2000, [&] { return login.isExposed(); }));
    X11ScreenHold hold;
    ASSERT_TRUE(hold.Cover(login.Id()));
    QWindow* cover = nullptr;
    for (QWindow* window : QGuiApplication::allWindows())
        if (IsScreenCover(window)) cover = window;
    ASSERT_NE(cover, nullptr);
    ASSERT_TRUE(Within(2000, [&] { return cover->isExposed(); }));
    const Window coverId = static_cast<Window>(cover->winId()), loginId = static_cast<Window>(login.winId());
    ASSERT_TRUE(Within(1000, [&] { return other.Beneath(coverId, loginId); }));

    for (bool overrideRedirect : {false, true}) {
        SCOPED_TRACE(overrideRedirect ? "override-redirect" : "plain");
        const Window stranger = other.Map(overrideRedirect);
        EXPECT_TRUE(Within(100, [&] { return other.Beneath(stranger, coverId); })) << "mapped";
        XRaiseWindow(other.display(), stranger);
        XSync(other.display(), False);
        EXPECT_TRUE(Within(100, [&] { return other.Beneath(stranger, coverId); })) << "raised";
        EXPECT_TRUE(other.Beneath(coverId, loginId)) << "the login stays above the cover";
    }

    hold.Uncover();
    XWindowAttributes after;
    XGetWindowAttributes(own, root, &after);
    EXPECT_EQ(after.your_event_mask, before.your_event_mask) << "the watch ends with the cover";
    const Window later = other.Map(true);
    Within(150, [] { return false; });
    EXPECT_EQ(other.Stack().back(), later) << "nothing is restacked once the cover is gone";
}

}  // namespace

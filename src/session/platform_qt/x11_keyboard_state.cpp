#include "session/platform_qt/x11_keyboard_state.h"

#include <QGuiApplication>

#ifdef CORVANE_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>
#endif

namespace corvane {

CapsLockState X11KeyboardState::CapsLock() {
    CapsLockState caps;
#ifdef CORVANE_HAVE_X11
    auto* app = qGuiApp;
    if (!app) return caps;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return caps;
    XkbStateRec state{};
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success) return caps;
    caps.toggled = (state.locked_mods & LockMask) != 0;
    caps.held = (state.base_mods & LockMask) != 0;
#endif
    return caps;
}

void InstallX11KeyboardState() { SetKeyboardState(std::make_shared<X11KeyboardState>()); }

bool InstallDesktopKeyboardState() {
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb")) return false;
    InstallX11KeyboardState();
    return true;
}

}  // namespace corvane

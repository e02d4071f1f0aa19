#include "session/console/console_windows.h"

#include <QPointer>

#include "platform/core/error_trap.h"
#include "session/console/frm_about.h"
#include "session/console/frm_secure_console.h"
#include "session/console/frm_tip.h"
#include "session/launchers/window_factories.h"

namespace corvane {

void ShowAboutWindow() {
    QPointer<QWidget> window;
    RunIgnoringErrors({
        [&] { window = CreateWindow(QStringLiteral("frmAbout")); },
        [&] { ShowModal(window); },
        [&] { UnloadWindow(window); },
    });
}

void RegisterConsoleWindows() {
    RegisterWindowFactory(QStringLiteral("frmSecureConsole"), [] { return new frmSecureConsole; });
    RegisterWindowFactory(QStringLiteral("frmTip"), [] { return new frmTip; });
    RegisterWindowFactory(QStringLiteral("frmAbout"), [] { return new frmAbout; });
    ISetup::SetAboutWindowOpener(ShowAboutWindow);
}

}  // namespace corvane

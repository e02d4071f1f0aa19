#include "app/program.h"

#include <QApplication>
#include <QPointer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_main.h"
#include "app/frm_splash.h"
#include "app/program_windows.h"
#include "app/screenshot_recorder.h"
#include "app/single_instance.h"
#include "app/termination.h"
#include "platform/settings/registry_store.h"
#include "platform/system/process_spawn.h"
#include "platform/system/write_guard.h"
#include "platform/network/smb/smb_network.h"
#include "session/console/console_model.h"
#include "session/launchers/launchers.h"
#include "session/login/frm_login.h"
#include "session/login/login_services.h"
#include "session/platform_qt/x11_keyboard_state.h"
#include "session/platform_qt/x11_screen_hold.h"
#include "session/rules/run_user_programs.h"
#include "session/shell/frm_main.h"
#include "session/shell/security_session.h"
#include "session/shell/tray_icon.h"

namespace corvane {
namespace {

QPointer<frmMain> gMainForm;
bool gQuitRequested = false;
bool gStartingPointer = false;

void SetStartingPointer(bool starting) {
    if (starting == gStartingPointer) return;
    gStartingPointer = starting;
    if (starting) QApplication::setOverrideCursor(Qt::BusyCursor);
    else QApplication::restoreOverrideCursor();
}

void ShowSplash() {
    frmSplash splash;
    splash.exec();
}

void LoadMainForm() {
    if (gQuitRequested) return;
    gMainForm = new frmMain(MakeSecuritySession(), MakeQtTrayBackend());
    gMainForm->SetOnUnloaded([] {
        gQuitRequested = true;
        if (gMainForm) gMainForm->deleteLater();
        // exit, not quit: the program may end before its main event loop
        // runs, from inside a modal window of the start-up.
        QCoreApplication::exit(0);
    });
    gMainForm->Form_Load();
}

// False when another copy runs; the administrator who started this one reads
// why on standard error, and nothing else is shown or written. Without a lock
// nobody can tell, so this copy says why in the error log and on standard
// error and does not start.
bool ClaimSingleInstance() {
    static SingleInstanceLock lock;
    switch (lock.Acquire()) {
        case SingleInstanceLock::Result::kHeld:
            // The lock's folder is Corvane's own: no file chooser writes there.
            ProtectFolder(RuntimeFolder());
            return true;
        case SingleInstanceLock::Result::kOtherCopyRuns:
            std::fprintf(stderr, "Corvane is already running on this computer\n");
            return false;
        case SingleInstanceLock::Result::kCannotLock: break;
    }
    const std::string text = "Corvane does not start: " + lock.Problem();
    ReportStartupProblem(ERROR_ACCESS_DENIED, text);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::exit(1);
}

}  // namespace

void InstallProgram() {
    SetStartupServices({
        ClaimSingleInstance,
        [] { std::exit(0); },
        SetStartingPointer,
        ShowSplash,
        LoadMainForm,
    });
    InstallLaunchers();
    RegisterProgramWindows();
    InstallSmbNetwork();
    InstallLoginWindow();
    // The login's Caps Lock warning asks the desktop's keyboard.
    InstallDesktopKeyboardState();
    // The login holds the screen through the X11 server; elsewhere it cannot.
    InstallDesktopScreenHold();
    LoginServices services = CurrentLoginServices();
    services.startUserPrograms = RunUserPrograms;
    SetLoginServices(services);
    // A document opens only with a program the program rule lets the login start.
    SetDesktopOpenCheck(ConsoleModel::MayOpenDocumentWith);
    ScreenshotRecorder::InstallFromEnvironment();
    InstallTerminationHandlers(UnloadMainForm);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { UnloadMainForm(); });
}

bool MainFormLoaded() { return gMainForm && !gQuitRequested; }

void UnloadMainForm() {
    if (gQuitRequested) return;
    gQuitRequested = true;
    if (gMainForm) gMainForm->close();
    else QCoreApplication::exit(0);
}

}  // namespace corvane

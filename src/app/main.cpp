#include <QApplication>

#include "app/app_main.h"
#include "app/program.h"
#include "browser/window/engine_sandbox.h"
#include "browser/window/login_browser_profile.h"
#include "logs/log_clearing.h"
#include "recordstore/user_log_clearer.h"
#include "ui/helpers/file_dialog.h"
#include "ui/helpers/qt_services.h"

int main(int argc, char** argv) {
    // Before anything can start the web engine.
    corvane::SetEngineSandbox();
    corvane::SwitchOffPageFilePickers();
    // The web engine shares its OpenGL contexts with the program's; set before the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Qt's own choosers, never the desktop's: those would rename and delete anywhere.
    corvane::UseOwnDialogs();
    QApplication app(argc, argv);
    // The program lives in its hidden main form, not in its windows.
    QApplication::setQuitOnLastWindowClosed(false);
    corvane::InstallWidgetServices();
    corvane::SetUserLogClearer(corvane::ClearUserLogFile);
    corvane::InstallProgram();
    corvane::Main();
    if (!corvane::MainFormLoaded()) return 0;
    const int status = app.exec();
    corvane::EndLoginBrowsers();
    return status;
}

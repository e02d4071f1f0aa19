#include "session/launchers/launchers.h"

#include <QCloseEvent>
#include <QPointer>
#include <QWidget>

#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"
#include "session/login/security.h"
#include "session/launchers/session_entry_points.h"
#include "session/launchers/window_factories.h"

namespace corvane {
namespace {

QString Name(const char* objectName) { return QString::fromLatin1(objectName); }

QVariant Text(const std::string& s) { return QString::fromStdString(s); }

// Load, set the inputs, show modally, unload and release: a new object each time.
void RunNewModal(const char* objectName,
                 std::initializer_list<std::pair<const char*, QVariant>> inputs = {}) {
    QPointer<QWidget> window;
    RunIgnoringErrors({
        [&] { window = CreateWindow(Name(objectName)); },
        [&] { SetInputs(window, inputs); },
        [&] { ShowModal(window); },
        [&] { UnloadWindow(window); },
    });
}

// The same on the shared instance, which is released afterwards.
void RunSharedModal(const char* objectName) {
    QPointer<QWidget>& shared = SharedWindow(Name(objectName));
    RunIgnoringErrors({
        [&] { if (!shared) shared = CreateWindow(Name(objectName)); },
        [&] { ShowModal(shared); },
        [&] { UnloadWindow(shared); },
        [&] { shared = nullptr; },
    });
}

// Load the shared instance when there is none and show it modeless.
void ShowSharedModeless(const char* objectName) {
    QPointer<QWidget>& shared = SharedWindow(Name(objectName));
    RunIgnoringErrors({
        [&] { if (!shared) shared = CreateWindow(Name(objectName)); },
        [&] { ShowModeless(shared); },
    });
}

// Unload the shared instance of a window that every launch opens afresh.
void UnloadShared(const char* objectName) {
    QPointer<QWidget>& shared = SharedWindow(Name(objectName));
    if (shared) UnloadWindow(shared);
    shared = nullptr;
}

void ShowDetails(const char* objectName, std::int32_t logId, const std::string& tablePath) {
    QPointer<QWidget>& shared = SharedWindow(Name(objectName));
    RunIgnoringErrors({
        [&] { UnloadShared(objectName); },
        [&] { shared = CreateWindow(Name(objectName)); },
        [&] { SetInputs(shared, {{"OpenTablePathname", Text(tablePath)}, {"LogID", logId}}); },
        [&] { ShowModeless(shared); },
    });
}

void ShowNewBrowser(std::initializer_list<std::pair<const char*, QVariant>> inputs) {
    QPointer<QWidget> window;
    RunIgnoringErrors({
        [&] { window = CreateWindow(Name("frmWebBrowser")); },
        [&] { SetInputs(window, inputs); },
        [&] { ShowModeless(window); },
    });
}

// Where the console is the only way in, the user's close only minimises it;
// the program's own close (log-off, unload) still goes through.
class ConsoleCloseGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && event->spontaneous() && ConsoleIsTheWayIn()) {
            event->ignore();
            if (auto* window = qobject_cast<QWidget*>(watched)) window->showMinimized();
            return true;
        }
        return false;
    }
};

}  // namespace

void ShowChangePassword(const std::string& login) {
    RunNewModal("frmChangePassword", {{"UserLogin", Text(login)}});
}

void ShowNewUserWizard(bool NoCancel, bool PrimaryUser) {
    RunNewModal("frmWizard", {{"PrimaryUser", PrimaryUser}, {"NoCancel", NoCancel}});
}

std::string ShowEditUser(const std::string& login) {
    bool exists = false;
    RunIgnoringErrors({[&] { exists = User().Exists(login); }});
    if (exists) RunNewModal("frmUserDetails", {{"UserLogin", Text(login)}});
    return {};
}

void ShowAdvancedSecurity() { RunSharedModal("frmAdvancedSecurity"); }
void ShowPrograms() { RunSharedModal("frmPrograms"); }
void ShowSecurity() { RunSharedModal("frmSecurity"); }
void ShowMainOptions() { RunSharedModal("frmMainOptions"); }
void ShowWebsites() { RunSharedModal("frmWebsites"); }

void ShowWebBrowser() { ShowNewBrowser({}); }
void ShowWebBrowserAt(const std::string& address) {
    ShowNewBrowser({{"StartingAddress", Text(address)}});
}

void ShowSecureConsole(std::int32_t modal) {
    QPointer<QWidget>& console = SharedWindow(Name("frmSecureConsole"));
    RunIgnoringErrors({
        [&] { UnloadShared("frmSecureConsole"); },
        [&] { console = CreateWindow(Name("frmSecureConsole")); },
        [&] { console->installEventFilter(new ConsoleCloseGuard(console)); },
        [&] {
            if (modal == 0) {
                ShowModeless(console);
                return;
            }
            ShowModal(console);
            UnloadWindow(console);
            console = nullptr;
        },
    });
}

void UnloadSecureConsole() { UnloadShared("frmSecureConsole"); }

void ShowUserLogDetails(std::int32_t logId, const std::string& tablePath) {
    ShowDetails("frmUserLogDetails", logId, tablePath);
}

void ShowWebsiteLogDetails(std::int32_t logId, const std::string& tablePath) {
    ShowDetails("frmWebsiteLogDetails", logId, tablePath);
}

void ShowTipOfTheDay() {
    if (!gShowTipsOfTheDay) return;
    QPointer<QWidget>& tip = SharedWindow(Name("frmTip"));
    RunIgnoringErrors({
        [&] { if (!tip) tip = CreateWindow(Name("frmTip")); },
        [&] { ShowModal(tip); },
    });
}

void ShowUserLog() { ShowSharedModeless("frmUserLog"); }
void ShowWebsiteLog() { ShowSharedModeless("frmWebsiteLog"); }
void InstallLaunchers() {
    SetUserManagementOpener([] { ShowSharedModeless("frmCorvane"); });
}

void ShowSetPassword(const std::string& login) {
    RunNewModal("frmSetPassword", {{"UserLogin", Text(login)}});
}

}  // namespace corvane

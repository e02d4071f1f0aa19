#include "app/program_windows.h"

#include "admin/catalogue/websites_programs/catalogue_windows.h"
#include "admin/logs/details/frm_log_details.h"
#include "admin/logs/viewers/frm_log_viewers.h"
#include "admin/options/options_windows.h"
#include "admin/security/frm_advanced_security.h"
#include "admin/security/frm_security.h"
#include "admin/users/corvane/user_admin_windows.h"
#include "admin/users/editor/user_windows.h"
#include "browser/window/frm_web_browser.h"
#include "session/console/console_windows.h"
#include "session/launchers/window_factories.h"
#include "session/login/frm_password_dialogs.h"

namespace corvane {
namespace {

// The password dialogs take the login as a plain member.
void SetPasswordDialogLogin(QWidget* window, const char* name, const QVariant& value) {
    if (auto* dialog = qobject_cast<PasswordDialog*>(window); dialog && qstrcmp(name, "UserLogin") == 0)
        dialog->UserLogin = value.toString().toStdString();
}

// The launchers hand a browser window its starting address.
void SetBrowserInput(QWidget* window, const char* name, const QVariant& value) {
    if (auto* browser = qobject_cast<frmWebBrowser*>(window); browser && qstrcmp(name, "StartingAddress") == 0)
        browser->Controller().StartingAddress = value.toString().toStdString();
}

}  // namespace

void RegisterProgramWindows() {
    RegisterWindowFactory(QStringLiteral("frmWebBrowser"), [] { return new frmWebBrowser; }, SetBrowserInput);
    RegisterWindowFactory(QStringLiteral("frmChangePassword"), [] { return new frmChangePassword; },
                          SetPasswordDialogLogin);
    RegisterWindowFactory(QStringLiteral("frmSetPassword"), [] { return new frmSetPassword; },
                          SetPasswordDialogLogin);
    // The secure console, the tip of the day and the about window.
    RegisterConsoleWindows();
    RegisterWindowFactory(QStringLiteral("frmSecurity"), [] { return new frmSecurity; });
    RegisterWindowFactory(QStringLiteral("frmAdvancedSecurity"), [] { return new frmAdvancedSecurity; });
    RegisterUserEditorWindows();
    RegisterUserAdminWindows();
    RegisterLogViewerWindows();
    RegisterLogDetailsWindows();
    RegisterOptionsWindows();
    RegisterCatalogueWindows();
}

}  // namespace corvane

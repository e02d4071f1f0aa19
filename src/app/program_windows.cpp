#include "app/program_windows.h"

#include "admin/logs/viewers/frm_log_viewers.h"
#include "admin/users/corvane/user_admin_windows.h"
#include "admin/users/editor/user_windows.h"
#include "session/launchers/window_factories.h"
#include "session/login/frm_password_dialogs.h"

namespace corvane {
namespace {

// The password dialogs take the login as a plain member.
void SetPasswordDialogLogin(QWidget* window, const char* name, const QVariant& value) {
    if (auto* dialog = qobject_cast<PasswordDialog*>(window); dialog && qstrcmp(name, "UserLogin") == 0)
        dialog->UserLogin = value.toString().toStdString();
}

}  // namespace

void RegisterProgramWindows() {
    RegisterWindowFactory(QStringLiteral("frmChangePassword"), [] { return new frmChangePassword; },
                          SetPasswordDialogLogin);
    RegisterWindowFactory(QStringLiteral("frmSetPassword"), [] { return new frmSetPassword; },
                          SetPasswordDialogLogin);
    RegisterUserEditorWindows();
    RegisterUserAdminWindows();
    RegisterLogViewerWindows();
}

}  // namespace corvane

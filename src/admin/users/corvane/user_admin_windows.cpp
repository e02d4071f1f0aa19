#include "admin/users/corvane/user_admin_windows.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include "admin/users/corvane/frm_corvane.h"
#include "admin/users/corvane/user_admin_openers.h"
#include "admin/users/wizard/frm_wizard.h"
#include "platform/core/error_trap.h"
#include "session/launchers/launchers.h"
#include "session/launchers/window_factories.h"

namespace corvane {
namespace {

// The editor on a new object: UserLogin in, Cancelled, IsDirty and the login
// as saved back out, then unloaded.
UserEditorResult EditUser(QWidget*, const std::string& login) {
    UserEditorResult result;
    QPointer<QWidget> editor;
    RunIgnoringErrors({
        [&] { editor = CreateWindow(QStringLiteral("frmUserDetails")); },
        [&] { SetInputs(editor, {{"UserLogin", QString::fromStdString(login)}}); },
        [&] { ShowModal(editor); },
        [&] {
            if (!editor) return;
            result.cancelled = editor->property("Cancelled").toBool();
            result.isDirty = editor->property("IsDirty").toBool();
            result.userLogin = editor->property("UserLogin").toString().toStdString();
        },
        [&] { UnloadWindow(editor); },
    });
    return result;
}

}  // namespace

void RegisterUserAdminWindows() {
    RegisterWindowFactory(QStringLiteral("frmWizard"), [] { return new frmWizard; });
    RegisterWindowFactory(QStringLiteral("frmCorvane"), [] { return new frmCorvane; });
    UserAdminOpeners openers;
    openers.editUser = EditUser;
    openers.setPassword = [](QWidget*, const std::string& login) { ShowSetPassword(login); };
    openers.showUserLog = [] { ShowUserLog(); };
    openers.showWebsiteLog = [] { ShowWebsiteLog(); };
    openers.showWebsites = [] { ShowWebsites(); };
    openers.showPrograms = [] { ShowPrograms(); };
    SetUserAdminOpeners(std::move(openers));
}

}  // namespace corvane

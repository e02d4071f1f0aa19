// Renders the shell's windows into PNG files for a person to look at:
// shell_screenshots OUTPUT_FOLDER
// The splash, the tray menu in each enabling situation, the log-off notice
// and the new-user wizard.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include "app/frm_splash.h"
#include "platform/settings/global_settings.h"
#include "admin/users/wizard/frm_wizard.h"
#include "session/shell/frm_logout.h"
#include "session/shell/frm_popup_menu.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();

    {
        frmSplash splash;
        splash.tmrUnload()->stop();
        shots.Save(splash, "shell-splash.png");
    }

    const struct {
        const char* name;
        bool requireLogin, authenticated, administrator, mayChangePassword;
    } situations[] = {
        {"login-required", true, false, false, false},
        {"no-login", false, false, false, false},
        {"user", true, true, false, true},
        {"user-fixed-password", true, true, false, false},
        {"administrator", true, true, true, true},
    };
    frmPopupMenu menu;
    menu.SetPointerSource([] { return QPoint(200, 200); });
    for (const auto& s : situations) {
        gRequireLogin = s.requireLogin;
        menu.Load();
        menu.SetAdministrator(s.administrator);
        menu.SetAuthenticated(s.authenticated);
        menu.PasswordCannotChange = s.mayChangePassword;
        menu.LoadUserOptions();
        menu.show();
        // The highlight on the first enabled item, as the pointer would leave it.
        for (int i = 0; i < kMenuItemCount; ++i)
            if (menu.MenuItem(i)->isEnabled()) {
                menu.HighlightItem(i);
                break;
            }
        shots.Save(menu, QStringLiteral("shell-menu-%1.png").arg(QLatin1String(s.name)));
        menu.Unload();
    }

    {
        frmLogout notice;
        shots.Save(notice, "shell-logout.png");
    }
    {
        frmWizard wizard;
        wizard.SetPrimaryUser(true);
        wizard.SetNoCancel(true);
        wizard.findChild<QLineEdit*>("txtUserLogin")->setText("admin");
        wizard.findChild<QLineEdit*>("txtUserName")->setText("The Administrator");
        shots.Save(wizard, "shell-wizard.png");
    }
    return shots.Finish();
}

// Renders the shell's windows into PNG files for a person to look at:
// shell_screenshots OUTPUT_FOLDER
// The splash, the tray menu in each enabling situation, the log-off notice,
// the new-user wizard and a placeholder window.

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <cstdio>

#include "app/frm_splash.h"
#include "platform/settings/global_settings.h"
#include "admin/users/wizard/frm_wizard.h"
#include "session/launchers/window_factories.h"
#include "session/shell/frm_logout.h"
#include "session/shell/frm_popup_menu.h"

using namespace corvane;

namespace {

int gWritten = 0;
int gFailed = 0;

void Shoot(QWidget& window, const QDir& out, const QString& file) {
    window.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    if (window.grab().save(out.filePath(file))) ++gWritten;
    else ++gFailed;
    window.hide();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(".")) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    {
        frmSplash splash;
        splash.tmrUnload()->stop();
        Shoot(splash, out, "shell-splash.png");
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
        Shoot(menu, out, QStringLiteral("shell-menu-%1.png").arg(QLatin1String(s.name)));
        menu.Unload();
    }

    {
        frmLogout notice;
        Shoot(notice, out, "shell-logout.png");
    }
    {
        frmWizard wizard;
        wizard.SetPrimaryUser(true);
        wizard.SetNoCancel(true);
        wizard.findChild<QLineEdit*>("txtUserLogin")->setText("admin");
        wizard.findChild<QLineEdit*>("txtUserName")->setText("The Administrator");
        Shoot(wizard, out, "shell-wizard.png");
    }
    {
        QWidget* browser = CreateWindow(QStringLiteral("frmWebBrowser"));
        browser->setProperty("StartingAddress", QStringLiteral("https://example.org/"));
        Shoot(*browser, out, "shell-placeholder.png");
        delete browser;
    }
    std::printf("%d written, %d failed\n", gWritten, gFailed);
    return gFailed == 0 ? 0 : 1;
}

// Renders the login window (without and with groups, and with the Caps Lock
// warning) and the two password dialogs into PNG files for a person to look
// at: login_screenshots OUTPUT_FOLDER. Works on a data folder and registry of
// its own in a temporary folder.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <cstdlib>

#include "platform/core/program_globals.h"
#include "platform/crypto/encryption.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "recordstore/user.h"
#include "recordstore/user_group.h"
#include "session/login/frm_login.h"
#include "session/login/frm_password_dialogs.h"
#include "session/login/login_services.h"
#include "session/login/pass_phrase.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

namespace {

}  // namespace

int main(int argc, char** argv) {
    const QDir scratch = test::ScratchFolder("login");
    if (!scratch.exists()) return 1;
    const std::string root = scratch.path().toStdString();
    QDir(scratch.path()).mkpath("registry");
    ::setenv("CORVANE_REGISTRY_DIR", (root + "/registry").c_str(), 1);
    ::setenv("CORVANE_PROGRAM_DIR", root.c_str(), 1);
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();
    SetProductInfo();
    gDataPath = root;
    gLoginCaption = "Corvane Standard";

    User user;
    user.SetLogin("ann");
    user.SetName("Ann Example");
    user.SetPassword(Encryption().EnCode("secret", kPasswordPassPhrase));
    user.SetPasswordLength(6);
    user.AddNew();

    {
        frmLogin login;
        shots.Save(login, "login.png");
    }
    {
        LoginServices caps = CurrentLoginServices();
        caps.isCapsLockOn = [] { return true; };
        LoginServicesScope scope(caps);
        frmLogin login;
        shots.Save(login, "login-capslock.png", [&] {
            login.findChild<QLineEdit*>("txtUserLogin")->setText("ann");
            login.findChild<QLineEdit*>("txtPassword")->setText("secret");
            login.tmrKeyCheck_Timer();
        });
    }
    for (const char* name : {"Staff", "Students", "Visitors"}) {
        UserGroup group;
        group.SetName(name);
        group.AddNew();
    }
    {
        frmLogin login;
        shots.Save(login, "login-groups.png");
    }
    {
        frmChangePassword change;
        change.UserLogin = "ann";
        shots.Save(change, "change-password.png", [&] {
            change.findChild<QLineEdit*>("txtOldPassword")->setText("secret");
        });
    }
    {
        frmSetPassword set;
        set.UserLogin = "ann";
        shots.Save(set, "set-password.png");
    }
    return shots.Finish();
}

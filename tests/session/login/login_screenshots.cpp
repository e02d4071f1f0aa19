// Renders the login window (without and with groups, and with the Caps Lock
// warning) and the two password dialogs into PNG files for a person to look
// at: login_screenshots OUTPUT_FOLDER. Works on a data folder and registry of
// its own in a temporary folder.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
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

using namespace corvane;

namespace {

// Shows the window, lets its first activation run, and saves its picture.
bool Shoot(QWidget& window, const QDir& out, const QString& file,
           const std::function<void()>& before = {}) {
    window.show();
    QTest::qWait(50);
    if (before) before();
    QTest::qWait(50);
    const bool ok = window.grab().save(out.filePath(file));
    window.hide();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir scratch;
    if (!scratch.isValid()) return 1;
    const std::string root = scratch.path().toStdString();
    QDir(scratch.path()).mkpath("registry");
    ::setenv("CORVANE_REGISTRY_DIR", (root + "/registry").c_str(), 1);
    ::setenv("CORVANE_PROGRAM_DIR", root.c_str(), 1);
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
    SetProductInfo();
    gDataPath = root;
    gLoginCaption = "Corvane Standard";

    User user;
    user.SetLogin("ann");
    user.SetName("Ann Example");
    user.SetPassword(Encryption().EnCode("secret", kPasswordPassPhrase));
    user.SetPasswordLength(6);
    user.AddNew();

    int written = 0, failed = 0;
    const auto count = [&](bool ok) { ok ? ++written : ++failed; };
    {
        frmLogin login;
        count(Shoot(login, out, "login.png"));
    }
    {
        LoginServices caps = CurrentLoginServices();
        caps.isCapsLockOn = [] { return true; };
        LoginServicesScope scope(caps);
        frmLogin login;
        count(Shoot(login, out, "login-capslock.png", [&] {
            login.findChild<QLineEdit*>("txtUserLogin")->setText("ann");
            login.findChild<QLineEdit*>("txtPassword")->setText("secret");
            login.tmrKeyCheck_Timer();
        }));
    }
    for (const char* name : {"Staff", "Students", "Visitors"}) {
        UserGroup group;
        group.SetName(name);
        group.AddNew();
    }
    {
        frmLogin login;
        count(Shoot(login, out, "login-groups.png"));
    }
    {
        frmChangePassword change;
        change.UserLogin = "ann";
        count(Shoot(change, out, "change-password.png", [&] {
            change.findChild<QLineEdit*>("txtOldPassword")->setText("secret");
        }));
    }
    {
        frmSetPassword set;
        set.UserLogin = "ann";
        count(Shoot(set, out, "set-password.png"));
    }
    std::printf("%d screenshots written to %s\n", written, argv[1]);
    return failed == 0 ? 0 : 1;
}

// Renders the security windows into PNG files for a person to look at:
// frmSecurity at levels 0 and 5, frmLockdownWarning, and frmAdvancedSecurity
// on each of its tabs. security_windows_screenshots OUTPUT_FOLDER. Works on a
// registry of its own in a temporary folder.

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "lockdown/lockdown_options.h"
#include "lockdown/restrict_run.h"
#include "lockdown/windows/frm_advanced_security.h"
#include "lockdown/windows/frm_lockdown_warning.h"
#include "lockdown/windows/frm_security.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"

using namespace corvane;

namespace {

// Shows the window, lets its first activation run, and saves its picture.
bool Shoot(QWidget& window, const QDir& out, const QString& file, const std::function<void()>& before = {}) {
    window.show();
    QTest::qWait(60);
    if (before) before();
    QTest::qWait(60);
    const bool ok = window.grab().save(out.filePath(file));
    window.hide();
    return ok;
}

// The windows save nothing here: no warning, no start-up entry.
SecurityWindowServices QuietServices() {
    SecurityWindowServices services = SecurityWindowServices::Real();
    services.corvaneToRestrictRun = {};
    return services;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir scratch;
    if (!scratch.isValid()) return 1;
    const std::string root = scratch.path().toStdString();
    ::setenv("CORVANE_REGISTRY_DIR", root.c_str(), 1);
    ::setenv("CORVANE_TEST", "1", 1);
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

    int written = 0, failed = 0;
    const auto count = [&](bool ok) { ok ? ++written : ++failed; };
    for (const int level : {0, 5}) {
        gSecurityLevel = level;
        frmSecurity window(QuietServices(), nullptr);
        count(Shoot(window, out, QStringLiteral("frmSecurity-level%1.png").arg(level)));
    }
    {
        frmLockdownWarning warning;
        count(Shoot(warning, out, QStringLiteral("frmLockdownWarning.png")));
    }
    // Something to see on each tab: a few options, two hidden drives, three
    // allowed programs.
    SetLockdownOption(kNoFind, true);
    SetLockdownOption(kNoRun, true);
    SetLockdownOption(kRestrictRun, true);
    SetLockdownDriveMask(5);
    for (const char* program : {"gedit", "firefox-esr", "libreoffice.exe"}) AddRestrictRunEntry(program);
    gShowCorvaneAtNextLogin = true;
    const char* tabs[] = {"Lockdown", "RestrictRun", "HideDrives", "Settings"};
    for (int tab = 0; tab < 4; ++tab) {
        frmAdvancedSecurity window(QuietServices(), MakeLinuxDriveKinds(), nullptr);
        count(Shoot(window, out, QStringLiteral("frmAdvancedSecurity-%1-%2.png").arg(tab).arg(tabs[tab]),
                    [&] { window.findChild<QTabWidget*>("tabOptions")->setCurrentIndex(tab); }));
    }
    std::printf("%d written, %d failed\n", written, failed);
    return failed == 0 ? 0 : 1;
}

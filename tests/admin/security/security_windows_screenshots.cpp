// Renders the security windows into PNG files for a person to look at:
// frmSecurity at levels 0 and 5, frmLockdownWarning, and frmAdvancedSecurity
// on each of its tabs. security_windows_screenshots OUTPUT_FOLDER. Works on a
// registry of its own in a temporary folder.

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <cstdlib>

#include "admin/security/frm_advanced_security.h"
#include "admin/security/frm_lockdown_warning.h"
#include "admin/security/frm_security.h"
#include "lockdown/desktop_policy.h"
#include "lockdown/lockdown_options.h"
#include "lockdown/restrict_run.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

namespace {

// The windows save nothing here: no warning, no start-up entry.
SecurityWindowServices QuietServices() {
    SecurityWindowServices services = SecurityWindowServices::Real();
    services.corvaneToRestrictRun = {};
    return services;
}

}  // namespace

int main(int argc, char** argv) {
    const QDir scratch = test::ScratchFolder("security-windows");
    if (!scratch.exists()) return 1;
    const std::string root = scratch.path().toStdString();
    ::setenv("CORVANE_REGISTRY_DIR", root.c_str(), 1);
    ::setenv("CORVANE_TEST", "1", 1);
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();
    SetProductInfo();
    // As on a desktop that is neither GNOME nor KDE: the rows show disabled.
    DesktopTools tools;
    tools.run = [](const std::vector<std::string>&) {};
    tools.programFound = [](const std::string&) { return false; };
    tools.schemaHasKey = [](const std::string&, const std::string&) { return false; };
    tools.sessionVariable = [](const std::string&) { return std::string("openbox"); };
    SetDesktopPolicy(MakeDesktopPolicy(std::move(tools)));

    for (const int level : {0, 5}) {
        gSecurityLevel = level;
        frmSecurity window(QuietServices(), nullptr);
        shots.Save(window, QStringLiteral("frmSecurity-level%1.png").arg(level));
    }
    {
        frmLockdownWarning warning;
        shots.Save(warning, QStringLiteral("frmLockdownWarning.png"));
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
        shots.Save(window, QStringLiteral("frmAdvancedSecurity-%1-%2.png").arg(tab).arg(tabs[tab]),
                   [&] { window.findChild<QTabWidget*>("tabOptions")->setCurrentIndex(tab); });
    }
    return shots.Finish();
}

// Renders the secure console, the tip of the day and the about window into
// PNG files for a person to look at:
// console_screenshots OUTPUT_FOLDER
// The console of a logged-in user with two programs in its four views and in
// no-cancel mode, the tip with a tip and with the help text, the about window.

#include <stdlib.h>

#include <QApplication>
#include <QDir>
#include <fstream>

#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "logs/current_user.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"
#include "session/console/console_list_view.h"
#include "session/console/frm_about.h"
#include "session/console/frm_secure_console.h"
#include "session/console/frm_tip.h"
#include "session/launchers/session_entry_points.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

namespace {

// A data folder where Ann, who may browse, has two programs.
void FillDataFolder(const std::string& folder) {
    gDataPath = folder;
    User ann;
    ann.SetLogin("ann");
    ann.SetAccessLevel(1);
    ann.SetEnableInternetAccess(-1);
    ann.SetAddProgramsToSecureConsoleAfterLogin(-1);
    ann.AddNew();
    const struct {
        const char* file;
        const char* description;
    } programs[] = {{"/usr/bin/gnome-calculator", "Calculator"}, {"/usr/bin/libreoffice", "Office suite"}};
    for (const auto& p : programs) {
        Program program;
        program.SetProgramPathName(p.file);
        program.SetDescription(p.description);
        program.SetAccessLevel(1);
        program.AddNew();
        UserProgram link;
        link.SetUserLogin("ann");
        link.SetProgram(p.file);
        link.SetActive(-1);
        link.AddNew();
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();
    const QDir scratch = test::ScratchFolder("console");
    ::setenv("CORVANE_REGISTRY_DIR", scratch.filePath("registry").toLocal8Bit().constData(), 1);
    ::setenv("CORVANE_PROGRAM_DIR", scratch.path().toLocal8Bit().constData(), 1);
    ::setenv("CORVANE_COMPUTER_NAME", "WS-FRONT-DESK", 1);
    QDir(scratch.path()).mkpath("data");
    FillDataFolder(scratch.filePath("data").toStdString());

    gRequireLogin = true;
    gAuthenticated = true;
    gAuthenticatedUser = "ann";
    SetSessionEntryPoints({[] { return true; }, {}, {}, {}});

    const char* views[] = {"large-icons", "small-icons", "list", "details"};
    for (int view = 0; view < 4; ++view) {
        frmSecureConsole console;
        console.show();
        console.lsvItems()->SetView(view);
        console.lsvItems()->SelectRow(0);
        shots.Save(console, QStringLiteral("console-%1.png").arg(QLatin1String(views[view])));
    }
    {
        gCannotCancelSecureConsole = true;
        frmSecureConsole console;
        console.lsvItems()->SetView(3);
        shots.Save(console, QStringLiteral("console-no-cancel.png"));
        gCannotCancelSecureConsole = false;
    }

    {
        const QString tips = scratch.filePath("tips.txt");
        std::ofstream(tips.toStdString())
            << "You can start any of your programs from the secure console with a double click or Enter.\r\n";
        gTipsOfTheDayPathName = tips.toStdString();
        gShowTipsOfTheDay = true;
        auto* tip = new frmTip;
        shots.Save(*tip, QStringLiteral("tip.png"));
        delete tip;
        gTipsOfTheDayPathName = scratch.filePath("missing.txt").toStdString();
        auto* help = new frmTip;
        shots.Save(*help, QStringLiteral("tip-help-text.png"));
        delete help;
    }
    {
        auto* about = new frmAbout;
        shots.Save(*about, QStringLiteral("about.png"));
        delete about;
    }

    return shots.Finish();
}

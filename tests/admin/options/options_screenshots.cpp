// Renders the options window (each tab), the folder picker on a small tree
// and the network browser over a made-up network into PNG files:
// options_screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTreeWidget>

#include "admin/options/frm_directory.h"
#include "admin/options/frm_main_options.h"
#include "admin/options/frm_network_browse.h"
#include "admin/options/options_test_support.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();
    // The folder picker shows the home folder's tree: a small made-up one.
    const QDir scratch = test::ScratchFolder("options");
    const QDir tree(scratch.filePath(QStringLiteral("home")));
    ::setenv("HOME", tree.path().toLocal8Bit().constData(), 1);
    ::setenv("CORVANE_REGISTRY_DIR", scratch.filePath(QStringLiteral("registry")).toLocal8Bit().constData(), 1);
    ::setenv("CORVANE_TEST", "1", 1);
    for (const char* sub : {"records", "records/archive", "records/backup", "shared", "shared/reports"})
        QDir(tree.path()).mkpath(sub);

    gRequireLogin = true;
    gActionAfterLogout = true;
    gLogoutAction = 1;
    gRememberLastLogin = true;
    gLoginAlwaysOnTop = true;
    gDataPath = (tree.path() + "/records").toStdString();
    {
        frmMainOptions options;
        shots.Save(options, "options-general.png");
        options.findChild<QTabWidget*>("tabOptions")->setCurrentIndex(1);
        shots.Save(options, "options-files.png");
    }
    {
        frmDirectory picker;
        picker.SetNewCaption("Location to Security Files");
        picker.SetPath(tree.path() + "/records");
        picker.show();
        for (int i = 0; i < 40; ++i) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        shots.Save(picker, "directory.png");
    }
    {
        test::FakeNetwork network;
        frmNetworkBrowse browser;
        for (const char* key : {"Microsoft Network", "WORKGROUP", "\\\\SRV", "\\\\SRV\\docs", "\\\\SRV\\docs\\a"})
            browser.Node(key)->setExpanded(true);
        auto* tree = browser.findChild<QTreeWidget*>("tvwNetwork");
        auto* folder = browser.Node("\\\\SRV\\docs\\a");
        tree->setCurrentItem(folder);
        emit tree->itemClicked(folder, 0);
        shots.Save(browser, "network-browse.png");
    }
    return shots.Finish();
}

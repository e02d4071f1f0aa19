// Renders the options window (each tab), the folder picker on a small tree
// and the network browser over a made-up network into PNG files:
// options_screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>
#include <cstdio>

#include "admin/catalogue/options/frm_directory.h"
#include "admin/catalogue/options/frm_main_options.h"
#include "admin/catalogue/options/frm_network_browse.h"
#include "admin/catalogue/options/options_test_support.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"

using namespace corvane;

namespace {

int written = 0, failed = 0;

void Shoot(QWidget& window, const QDir& out, const QString& file) {
    window.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    if (window.grab().save(out.filePath(file)))
        ++written;
    else
        ++failed;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: options_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir tree;
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
        Shoot(options, out, "options-general.png");
        options.findChild<QTabWidget*>("tabOptions")->setCurrentIndex(1);
        Shoot(options, out, "options-files.png");
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
        Shoot(picker, out, "directory.png");
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
        Shoot(browser, out, "network-browse.png");
    }
    std::printf("%d written, %d failed\n", written, failed);
    return failed == 0 ? 0 : 1;
}

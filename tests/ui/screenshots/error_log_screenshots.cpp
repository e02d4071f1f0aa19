// Renders the error-log viewer and its quick-view card over it into PNG files
// for a person to look at: error_log_screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QFile>
#include <QTreeWidget>

#include "ui/errors/frm_error_log.h"
#include "ui/helpers/pointer_screen.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

int main(int argc, char** argv) {
    const std::string data = test::ScratchDataFolder("errorlogshots");
    if (data.empty()) return 1;
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();

    const QString path = QString::fromStdString(data + "/Error.log");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write("[-2147221484],Operation is not allowed when the object is closed,ActivityLog.BOF,"
               "Subs.WriteActivityLog,12/9/2026 12:47:03 AM\r\n"
               "[70],Permission denied,Corvane,frmUser.cmdOK_Click,12/9/2026 1:05:10 AM\r\n"
               "[61],Disk full,RecordFile.Write,UserLog.AddNew,12/10/2026 8:14:55 AM\r\n");
    file.close();

    frmErrorLog viewer;
    viewer.AppErrorLog = path.toStdString();
    viewer.resize(900, 360);
    viewer.show();
    test::Settle(100);
    viewer.SetSelectedIndex(2);
    shots.Save(viewer, "error-log.png");
    // The card over the viewer, the pointer on the selected row.
    QTreeWidget* list = viewer.List();
    const QRect row = list->visualItemRect(list->topLevelItem(1));
    const QPoint pointer = list->viewport()->mapToGlobal(row.center());
    SetPointerScreen([&] { return PointerScreen{pointer, ScreenGeometryAt(pointer)}; });
    shots.SaveModalOver(viewer, "error-log-card.png", [&] { viewer.ShowItemPopup(); });
    SetPointerScreen(nullptr);
    return shots.Finish();
}

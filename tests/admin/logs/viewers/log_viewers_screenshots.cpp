// Renders the user-log and website-log viewers, in the report view and the
// icon view, and the user log's quick-view card over its viewer, into PNG
// files for a person to look at:
//   log_viewers_screenshots OUTPUT_FOLDER
// It works in a data folder and registry of its own under /tmp and leaves them behind.

#include <QApplication>
#include <QTreeView>
#include <string>

#include "admin/logs/viewers/frm_log_viewers.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "platform/core/program_globals.h"
#include "recordstore/record_table.h"
#include "ui/helpers/pointer_screen.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

namespace {

OleDate At(int day, int h, int m, int s) { return *FromParts({2026, 12, day, h, m, s}); }

void Seed() {
    struct Entry {
        const char* login;
        const char* name;
        int day, h, m;
        bool failed, active, invalid, ended;
    };
    const Entry entries[] = {
        {"alice", "Alice Example", 8, 8, 2, false, false, false, true},
        {"bob", "Bob Adams", 8, 9, 15, true, false, false, false},
        {"mallory", "", 8, 9, 16, false, false, true, false},
        {"bob", "Bob Adams", 8, 9, 17, false, false, false, true},
        {"carol", "Carol Zed", 9, 7, 55, false, true, false, false},
        {"admin", "The Administrator", 9, 17, 48, false, true, false, false},
    };
    for (const Entry& e : entries) {
        UserLog log;
        log.SetUserLogin(e.login);
        log.SetUserName(e.name);
        log.SetAppName("Corvane Standard");
        log.SetComputer("WS-FRONT");
        log.SetLoginStamp(At(e.day, e.h, e.m, 12));
        log.SetLogoutStamp(e.ended ? At(e.day, e.h + 1, e.m, 40) : 0);
        log.SetFailed(Flag(e.failed));
        log.SetActive(Flag(e.active));
        log.SetInvalid(Flag(e.invalid));
        log.AddNew();
    }
    const char* urls[] = {"http://intranet.example/", "http://www.example.com/news/today.html",
                          "http://games.example.net/", "http://intranet.example/phone-list"};
    for (int i = 0; i < 8; ++i) {
        WebsiteLog log;
        log.SetUserLogin(i % 2 ? "bob" : "carol");
        log.SetAppName("Corvane Standard");
        log.SetComputer("WS-FRONT");
        log.SetURL(urls[i % 4]);
        log.SetTimeStamp(At(9, 10, i * 3, 5));
        log.SetStatus(i % 4 == 2 ? "URL DENIED" : "URL ACCEPTED");
        log.AddNew();
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string data = test::ScratchDataFolder("logshots");
    if (data.empty()) return 1;
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();
    gDataPath = data;
    Seed();
    {
        frmUserLog viewer;
        viewer.resize(900, 420);
        viewer.Activate();
        viewer.SetSelectedIndex(1);
        shots.Save(viewer, "user-log.png");
        // The card over the viewer, the pointer on the selected row.
        const QRect row = viewer.List()->visualRect(viewer.Model()->index(0, 1));
        const QPoint pointer = viewer.List()->viewport()->mapToGlobal(row.center());
        SetPointerScreen([&] { return PointerScreen{pointer, ScreenGeometryAt(pointer)}; });
        shots.SaveModalOver(viewer, "user-log-card.png", [&] { viewer.ShowItemPopup(); });
        SetPointerScreen(nullptr);
        viewer.SetViewMode(3);
        shots.Save(viewer, "user-log-large-icons.png");
    }
    {
        frmWebsiteLog viewer;
        viewer.resize(1000, 380);
        viewer.Activate();
        shots.Save(viewer, "website-log.png");
        viewer.SetViewMode(5);
        shots.Save(viewer, "website-log-list.png");
    }
    return shots.Finish();
}

// Renders the user-log and website-log details windows beside their viewers
// into PNG files for a person to look at:
//   log_details_screenshots OUTPUT_FOLDER
// It works in a data folder and registry of its own under /tmp and leaves them behind.

#include <QApplication>
#include <string>

#include "admin/logs/details/frm_log_details.h"
#include "admin/logs/viewers/frm_log_viewers.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "platform/core/program_globals.h"
#include "recordstore/record_table.h"
#include "ui/helpers/top_level_form_registry.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

namespace {

OleDate At(int h, int m, int s) { return *FromParts({2026, 12, 9, h, m, s}); }

void Seed() {
    {
        UserLog log;
        log.SetUserLogin("alice");
        log.SetUserName("Alice Example");
        log.SetAppName("Corvane Standard");
        log.SetComputer("WS-FRONT");
        log.SetLoginStamp(At(8, 2, 12));
        log.SetLogoutStamp(At(17, 30, 5));
        log.AddNew();
    }
    {
        UserLog log;
        log.SetUserLogin("admin");
        log.SetUserName("The Administrator");
        log.SetAppName("Corvane Standard");
        log.SetComputer("WS-FRONT");
        log.SetLoginStamp(At(17, 48, 0));
        log.SetActive(Flag(true));
        log.AddNew();
    }
    WebsiteLog log;
    log.SetUserLogin("carol");
    log.SetAppName("Corvane Standard");
    log.SetComputer("WS-FRONT");
    log.SetURL("http://www.example.com/news/2026/12/09/a-rather-long-address-that-fills-the-box.html");
    log.SetTimeStamp(At(10, 3, 5));
    log.SetStatus("URL DENIED");
    log.AddNew();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string data = test::ScratchDataFolder("detailshots");
    if (data.empty()) return 1;
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();
    gDataPath = data;
    ui::InstallTopLevelFormRegistry();
    Seed();
    {
        frmUserLog viewer;
        viewer.Activate();
        viewer.SetSelectedIndex(1);
        frmUserLogDetails details;
        details.LogID = viewer.SelectedID();
        shots.Save(details, "user-log-details.png");
    }
    {
        frmWebsiteLogDetails details;
        details.LogID = 1;
        shots.Save(details, "website-log-details.png");
    }
    return shots.Finish();
}

#include "admin/logs/viewers/frm_log_viewers.h"

#include "session/launchers/window_factories.h"

namespace corvane {
namespace {

LogViewerSpec UserLogSpec() {
    return {"frmUserLog", LogRows::Kind::User, 297, {308, 307, 145, 65, 310, 311, 53},
            {20, 30, 30, 20, 21, 21, 15}, true, true, true, true, "LoadData"};
}

LogViewerSpec WebsiteLogSpec() {
    return {"frmWebsiteLog", LogRows::Kind::Website, 164, {308, 145, 65, 161, 91, 105},
            {20, 30, 20, 255, 21, 21}, false, false, false, false, "LoadWebsiteLog"};
}

}  // namespace

frmUserLog::frmUserLog(QWidget* parent) : LogViewer(UserLogSpec(), parent) {}

frmWebsiteLog::frmWebsiteLog(QWidget* parent) : LogViewer(WebsiteLogSpec(), parent) {}

void RegisterLogViewerWindows() {
    RegisterWindowFactory(QStringLiteral("frmUserLog"), [] { return new frmUserLog; });
    RegisterWindowFactory(QStringLiteral("frmWebsiteLog"), [] { return new frmWebsiteLog; });
}

}  // namespace corvane

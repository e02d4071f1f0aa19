#pragma once

#include <cstdint>
#include <string>

#include "admin/logs/viewers/log_viewer.h"

namespace corvane {

// The user log, newest first, reloaded every 10 seconds when its number of
// records changed, with the active-user count beside the row count.
class frmUserLog : public LogViewer {
    Q_OBJECT

public:
    explicit frmUserLog(QWidget* parent = nullptr);

    // Stored only.
    std::string UserLogin;
    bool IsDirty = false;
    bool Cancelled = false;
    bool IsNew = false;
    std::int32_t Response = 0;
};

// The website log, newest first; reloaded only by Refresh and a clear.
class frmWebsiteLog : public LogViewer {
    Q_OBJECT

public:
    explicit frmWebsiteLog(QWidget* parent = nullptr);
};

// Makes the launchers open these windows.
void RegisterLogViewerWindows();

}  // namespace corvane

#pragma once

#include <QPointer>
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

    // Shows the selected row on a fresh quick-view card beside the pointer,
    // modal, and unloads the card once it has hidden itself; nothing when no
    // row is selected. A step that fails is skipped.
    void ShowItemPopup();

    // Stored only.
    std::string UserLogin;
    bool IsDirty = false;
    bool Cancelled = false;
    bool IsNew = false;
    std::int32_t Response = 0;

private:
    QPointer<QWidget> popup_;
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

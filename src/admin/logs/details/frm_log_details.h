#pragma once

#include "admin/logs/details/log_details_dialog.h"

namespace corvane {

// One user-log record: type, number, login, name, application, computer,
// login and logout time, active; Up and Down beside the user-log viewer.
class frmUserLogDetails : public LogDetailsDialog {
    Q_OBJECT

public:
    frmUserLogDetails();

protected:
    std::unique_ptr<LogTable> NewRecord() const override;
    std::vector<std::string> Values(const LogTable& record) const override;
};

// One website-log record: number, login, application, computer, address,
// time, status; Up and Down beside the website-log viewer.
class frmWebsiteLogDetails : public LogDetailsDialog {
    Q_OBJECT

public:
    frmWebsiteLogDetails();

protected:
    std::unique_ptr<LogTable> NewRecord() const override;
    std::vector<std::string> Values(const LogTable& record) const override;
};

// Makes the launchers open these windows.
void RegisterLogDetailsWindows();

}  // namespace corvane

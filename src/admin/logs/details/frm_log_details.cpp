#include "admin/logs/details/frm_log_details.h"

#include "admin/logs/details/log_details.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"
#include "session/launchers/window_factories.h"
#include "ui_core/display_names.h"

namespace corvane {
namespace {

LogDetailsDialog::Spec UserLogDetailsSpec() {
    return {"frmUserLogDetails", "frmUserLog", 297,
            {
                {"lblType", "txtType", 52, ":"},
                {"lblLogID", "txtLogID", 37, " ID:"},
                {"lblUserLogin", "txtUserLogin", 308, ":"},
                {"lblName", "txtName", 309, ":"},
                {"lblApp", "txtApp", 145, ":"},
                {"lblComputer", "txtComputer", 65, ":"},
                {"lblLoginTime", "txtLoginTime", 310, ":"},
                {"lblLogoutTime", "txtLogoutTime", 311, ":", true},
                {"lblActive", "txtActive", 53, ":"},
            }};
}

LogDetailsDialog::Spec WebsiteLogDetailsSpec() {
    return {"frmWebsiteLogDetails", "frmWebsiteLog", 164,
            {
                {"lblLogID", "txtLogID", 37, " ID:"},
                {"lblUserLogin", "txtUserLogin", 308, ":"},
                {"lblApp", "txtApp", 145, ":"},
                {"lblComputer", "txtComputer", 65, ":"},
                {"lblURL", "txtURL", 161, ":", false, true},
                {"lblTimeStamp", "txtTimeStamp", 91, ":"},
                {"lblStatus", "txtStatus", 105, ":"},
            }};
}

}  // namespace

frmUserLogDetails::frmUserLogDetails() : LogDetailsDialog(UserLogDetailsSpec()) {}

std::unique_ptr<LogTable> frmUserLogDetails::NewRecord() const { return std::make_unique<UserLog>(); }

std::vector<std::string> frmUserLogDetails::Values(const LogTable& table) const {
    const auto& r = static_cast<const UserLog&>(table);
    return {
        TranslateLogStatus(UserLogTypeCode(r.Invalid(), r.Active(), r.Failed()), gLanguage),
        std::to_string(r.LogID()),
        r.UserLogin(),
        r.UserName(),
        r.AppName(),
        r.Computer(),
        DetailsStampText(r.LoginStamp()),
        DetailsStampText(r.LogoutStamp()),
        GetMessageText(r.Active() != 0 ? 47 : 48, gLanguage),
    };
}

frmWebsiteLogDetails::frmWebsiteLogDetails() : LogDetailsDialog(WebsiteLogDetailsSpec()) {}

std::unique_ptr<LogTable> frmWebsiteLogDetails::NewRecord() const { return std::make_unique<WebsiteLog>(); }

std::vector<std::string> frmWebsiteLogDetails::Values(const LogTable& table) const {
    const auto& r = static_cast<const WebsiteLog&>(table);
    return {
        std::to_string(r.LogID()),
        r.UserLogin(),
        r.AppName(),
        r.Computer(),
        r.URL(),
        DetailsStampText(r.TimeStamp()),
        TranslateLogStatus(r.Status(), gLanguage),
    };
}

void RegisterLogDetailsWindows() {
    RegisterWindowFactory(QStringLiteral("frmUserLogDetails"), [] { return new frmUserLogDetails; });
    RegisterWindowFactory(QStringLiteral("frmWebsiteLogDetails"), [] { return new frmWebsiteLogDetails; });
}

}  // namespace corvane

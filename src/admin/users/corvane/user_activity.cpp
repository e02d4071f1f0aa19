#include "admin/users/corvane/user_activity.h"

#include "logs/current_user.h"
#include "logs/log_writers.h"
#include "messages/message_catalogue.h"
#include "platform/core/environment.h"
#include "platform/settings/global_settings.h"

namespace corvane {

void LogUserWindowActivity(int message, const std::string& login) {
    WriteActivityLog(GetCurrentUser(), gEXEAppName, GetLocalComputerName(),
                     GetMessageText(message, gLanguage) + " - " + login);
}

}  // namespace corvane

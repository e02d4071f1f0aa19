#include "logs/log_clearing.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "logs/current_user.h"
#include "logs/log_writers.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/system/file_helpers.h"
#include "platform/settings/global_settings.h"
#include "recordstore/record_file.h"
#include "messages/message_catalogue.h"

namespace corvane {
namespace {

constexpr int kMessageClearUserLog = 331;
constexpr int kMessageClearWebsiteLog = 335;

// Makes a file this process may not write writable for as long as it lives, then puts its
// mode back, however the clearing ends.
class WritableWhileClearing {
public:
    explicit WritableWhileClearing(const std::string& path) : path_(path) {
        struct stat st{};
        // Never through a link: the log itself opens without following one.
        if (::access(path.c_str(), W_OK) == 0 || ::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
        mode_ = st.st_mode & 07777;
        // When this fails the open reports why.
        changed_ = ::chmod(path.c_str(), mode_ | S_IWUSR) == 0;
    }
    ~WritableWhileClearing() {
        if (changed_) ::chmod(path_.c_str(), mode_);
    }
    WritableWhileClearing(const WritableWhileClearing&) = delete;
    WritableWhileClearing& operator=(const WritableWhileClearing&) = delete;

private:
    std::string path_;
    mode_t mode_ = 0;
    bool changed_ = false;
};

void ClearLogFile(LogTable& table, std::string_view pathName, const std::string& place, int message) {
    std::string path;
    bool present = false;
    const bool carriedOn = RunTrapped(place, {
        // The file the table itself would open, so the check, the emptying and the mode all
        // concern that one file.
        [&] { path = RecordFile::ResolvePath(table.GetPathName(pathName)); },
        [&] { present = !path.empty() && File().FileExists(path); },
    });
    if (!carriedOn || !present) return;

    std::unique_ptr<WritableWhileClearing> writable;
    RunTrapped(place, {
        [&] { writable = std::make_unique<WritableWhileClearing>(path); },
        // One step: a skipped open must never let the emptying fall back to another file.
        [&] {
            table.OpenTable(path);
            table.Truncate();
        },
        [&] { table.CloseTable(); },
        [&] { writable.reset(); },
        [&] {
            WriteActivityLog(GetCurrentUser(), gEXEAppName, GetLocalComputerName(),
                             GetMessageText(message, gLanguage));
        },
    });
}

}  // namespace

void ClearUserLogFile(std::string_view PathName) {
    UserLog table;
    ClearLogFile(table, PathName, "Subs.ClearUserLogFile", kMessageClearUserLog);
}

void ClearWebsiteLogFile(std::string_view PathName) {
    WebsiteLog table;
    ClearLogFile(table, PathName, "ProSubs.ClearWebsiteLogFile", kMessageClearWebsiteLog);
}

}  // namespace corvane

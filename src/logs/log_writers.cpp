#include "logs/log_writers.h"

#include <functional>

#include "logs/activity_log.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

constexpr std::size_t kLongTextCharacters = 255;

// The first count characters of a UTF-8 text (the whole text when it is shorter).
std::string FirstCharacters(const std::string& utf8, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        // A byte that does not continue a character starts one.
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && characters++ == count)
            return utf8.substr(0, i);
    }
    return utf8;
}

UserLogWriteHook& WriteHook() {
    static UserLogWriteHook hook;
    return hook;
}

void BeforeUserLogWrite() {
    if (WriteHook()) WriteHook()();
}

// One attempt's record; lookup tells whether the login is an account and gives its name.
UserLogEntry AppendAttempt(const std::string& login, bool success,
                           const std::function<bool(std::string& name)>& lookup) {
    UserLogEntry entry;
    if (gDisableUserLogging) return entry;
    UserLog log;
    std::string name;
    bool known = false;
    bool appended = false;
    RunTrapped("Subs.WriteUserLog", {
        [&] { known = lookup(name); },
        [&] {
            log.SetUserLogin(login);
            if (known) log.SetUserName(name);
            log.SetAppName(gEXEAppName);
            log.SetComputer(GetLocalComputerName());
            log.SetLoginStamp(clock::Now());
            log.SetFailed(Flag(known && !success));
            log.SetActive(Flag(known && success));
            log.SetInvalid(Flag(!known));
        },
        [&] {
            BeforeUserLogWrite();
            log.AddNew();
            appended = true;
        },
        // Set only once the record is in the file, so a step skipped after an error reports 0.
        [&] {
            if (!appended) return;
            entry = EntryOf(log);
            if (!known) entry.logID = -1;
        },
    });
    return entry;
}

}  // namespace

std::int32_t WriteUserLog(const std::string& login, bool success) {
    return AppendAttempt(login, success, [&](std::string& name) {
               User user;
               if (!user.Load(login)) return false;
               name = user.Name();
               return true;
           }).logID;
}

UserLogEntry WriteUserLogEntry(const std::string& login, const User* account, bool success) {
    return AppendAttempt(login, success, [&](std::string& name) {
        if (!account) return false;
        name = account->Name();
        return true;
    });
}

UserLogEntry EntryOf(const UserLog& record) {
    return {record.LogID(), record.UserLogin(), record.Computer(), record.LoginStamp()};
}

bool CloseUserLogEntry(const UserLogEntry& entry) {
    UserLog log;
    if (entry.logID <= 0 || !log.Load(entry.logID)) return false;
    BeforeUserLogWrite();
    // In place with one flush, as a login's booking: a close that fails and cannot be undone
    // leaves the session closed, which it is, and one a crash tears leaves it open or closed
    // with a stamp torn; neither grants anything.
    return log.UpdateLoadedRecordInPlaceAnySpan([&] {
        if (EntryOf(log) != entry) return false;
        log.SetLogoutStamp(clock::Now());
        log.SetActive(0);
        return true;
    });
}

UserLogWriteHook SetUserLogWriteHook(UserLogWriteHook hook) {
    auto previous = std::move(WriteHook());
    WriteHook() = std::move(hook);
    return previous;
}

void WriteActivityLog(const std::string& userLogin, const std::string& appName,
                      const std::string& computerName, const std::string& details) {
    if (!gEnableActivityLogging) return;
    ActivityLog log;
    RunTrapped("Subs.WriteActivityLog", {
        [&] {
            log.SetUserLogin(userLogin);
            log.SetAppName(appName);
            log.SetComputer(computerName);
            log.SetDetails(FirstCharacters(details, kLongTextCharacters));
            log.SetTimeStamp(clock::Now());
        },
        [&] { log.AddNew(); },
    });
}

void WriteWebsiteLog(const std::string& userLogin, const std::string& appName,
                     const std::string& computerName, const std::string& url,
                     const std::string& status) {
    if (!gEnableWebsiteLogging) return;
    WebsiteLog log;
    RunTrapped("Subs.WriteWebsiteLog", {
        [&] {
            log.SetUserLogin(userLogin);
            log.SetAppName(appName);
            log.SetComputer(computerName);
            log.SetURL(FirstCharacters(url, kLongTextCharacters));
            log.SetTimeStamp(clock::Now());
            log.SetStatus(status);
        },
        [&] { log.AddNew(); },
    });
}

}  // namespace corvane

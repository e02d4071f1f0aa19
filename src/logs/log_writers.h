#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/core/ole_date.h"

namespace corvane {

class User;
class UserLog;

// Each writer opens its log, appends one record and closes the file again. Errors go to
// HandleError under the writer's place ("Subs.WriteUserLog", ...); none reaches the caller.

// Records one login attempt in the user log unless "Disable User Logging" is on. The login
// is stored as passed (cut to 20 characters); it is looked up in the user table (trimmed,
// without letter case): a known login gets the user's name, Active = success and Failed =
// not success; an unknown one Invalid. Returns the new record's LogID for a known login, -1
// for an unknown one, and 0 when nothing was written (logging off, or the append failed).
std::int32_t WriteUserLog(const std::string& login, bool success);

// The user-log record of one attempt as written: its LogID (as WriteUserLog returns it) and
// the login, computer and stamp that tell it from a record a cleared log has since given to
// another attempt.
struct UserLogEntry {
    std::int32_t logID = 0;
    std::string login;
    std::string computer;
    OleDate stamp = 0;
    bool operator==(const UserLogEntry&) const = default;
};

// The identity of the record record holds: its LogID, login, computer and login stamp.
UserLogEntry EntryOf(const UserLog& record);

// As WriteUserLog, for an attempt already booked on its account: account is the account as
// the booking found it (its name goes into the record), nullptr for a login that is no
// account (also one deleted or renamed before the booking).
UserLogEntry WriteUserLogEntry(const std::string& login, const User* account, bool success);

// Closes the session's user-log record: LogoutStamp now and Active cleared, in one step under
// the log's lock, and only while the record there is still entry (LogID, login, computer and
// stamp; a cleared log may have given the number to another attempt). Whether it was closed;
// a record gone is not an error. Written in place with one flush, whatever blocks the bytes
// span (RecordTable::UpdateLoadedRecordInPlaceAnySpan). Errors reach the caller, and the record
// then stays as the login wrote it, unless the error says the change may stand (its old bytes
// could not be written back either).
bool CloseUserLogEntry(const UserLogEntry& entry);

// Test seam: runs just before each write of the user log's own writers (an attempt's append,
// a session's close); raising from it fails that write before a byte is written, as a full
// disk would. Returns the hook installed before (none by default).
using UserLogWriteHook = std::function<void()>;
UserLogWriteHook SetUserLogWriteHook(UserLogWriteHook hook);

// Appends one activity record when "Enable Activity Logging" is on: the texts as passed,
// details cut to 255 characters, stamped now. Callers pass GetCurrentUser(), gEXEAppName and
// GetLocalComputerName().
void WriteActivityLog(const std::string& userLogin, const std::string& appName,
                      const std::string& computerName, const std::string& details);

// Appends one website-log record when "Enable Website Logging" is on: the texts as passed,
// the address cut to 255 characters, stamped now. status is "URL ACCEPTED" or "URL DENIED".
void WriteWebsiteLog(const std::string& userLogin, const std::string& appName,
                     const std::string& computerName, const std::string& url,
                     const std::string& status);

}  // namespace corvane

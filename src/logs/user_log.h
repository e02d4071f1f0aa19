#pragma once

#include <cstdint>
#include <string>

#include "recordstore/log_table.h"

namespace corvane {

// The user log, userlog.sec: one record per login attempt, which for a successful login is
// also the session's record. Slot 364 bytes, data 194, identity LogID (the record number),
// TableName "UserLog". A record is valid when not deleted and its UserLogin is not blank.
// Flags are raw int16_t as stored (see Flag()); texts are UTF-8, trimmed when loaded and cut
// to their width when written.
class UserLog : public LogTable {
public:
    // Field ids in file order (offsets in user_log.cpp and docs/record-files.md).
    enum Field : int {
        kUserLogin, kUserName, kAppName, kComputer, kLoginStamp, kLogoutStamp, kFailed, kActive,
        kInvalid, kDeleted,
    };

    UserLog();
    static const RecordDescription& Table();

    std::int32_t LogID() const { return Identity(); }
    void SetLogID(std::int32_t v) { SetIdentity(v); }
    // The login as typed at the attempt.
    std::string UserLogin() const { return TextField(kUserLogin); }
    void SetUserLogin(std::string v) { SetTextField(kUserLogin, std::move(v)); }
    // The user's full name; blank for an unknown login.
    std::string UserName() const { return TextField(kUserName); }
    void SetUserName(std::string v) { SetTextField(kUserName, std::move(v)); }
    std::string AppName() const { return TextField(kAppName); }
    void SetAppName(std::string v) { SetTextField(kAppName, std::move(v)); }
    std::string Computer() const { return TextField(kComputer); }
    void SetComputer(std::string v) { SetTextField(kComputer, std::move(v)); }
    OleDate LoginStamp() const { return DateField(kLoginStamp); }
    void SetLoginStamp(OleDate v) { SetDateField(kLoginStamp, v); }
    // 0 until the session is logged out, and for refused attempts.
    OleDate LogoutStamp() const { return DateField(kLogoutStamp); }
    void SetLogoutStamp(OleDate v) { SetDateField(kLogoutStamp, v); }
    // A known login that was refused.
    std::int16_t Failed() const { return Int16Field(kFailed); }
    void SetFailed(std::int16_t v) { SetInt16Field(kFailed, v); }
    // The session of this attempt is open.
    std::int16_t Active() const { return Int16Field(kActive); }
    void SetActive(std::int16_t v) { SetInt16Field(kActive, v); }
    // The login was not found in the user table.
    std::int16_t Invalid() const { return Int16Field(kInvalid); }
    void SetInvalid(std::int16_t v) { SetInt16Field(kInvalid, v); }

    // Valid records of the default user-log file whose Active is set (any non-zero value),
    // of every workstation and any age. Counts on a table object of its own, so this
    // object's position and members stay. Errors reach the caller unchanged.
    std::int32_t GetActiveUserCount();
};

}  // namespace corvane

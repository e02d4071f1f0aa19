#pragma once

#include <cstdint>
#include <string>

#include "recordstore/log_table.h"

namespace corvane {

// The activity log, activity.sec: one record per administrative action. Slot 764 bytes,
// data 385, identity LogID (the record number), TableName "ActivityLog". A record is valid
// when not deleted and its UserLogin is not blank. Texts are UTF-8, trimmed when loaded and
// cut to their width when written.
class ActivityLog : public LogTable {
public:
    // Field ids in file order (offsets in activity_log.cpp and docs/record-files.md).
    enum Field : int { kUserLogin, kAppName, kComputer, kDetails, kTimeStamp, kDeleted };

    ActivityLog();
    static const RecordDescription& Table();

    std::int32_t LogID() const { return Identity(); }
    void SetLogID(std::int32_t v) { SetIdentity(v); }
    // Who acted; "Anonymous" when nobody was logged in.
    std::string UserLogin() const { return TextField(kUserLogin); }
    void SetUserLogin(std::string v) { SetTextField(kUserLogin, std::move(v)); }
    std::string AppName() const { return TextField(kAppName); }
    void SetAppName(std::string v) { SetTextField(kAppName, std::move(v)); }
    std::string Computer() const { return TextField(kComputer); }
    void SetComputer(std::string v) { SetTextField(kComputer, std::move(v)); }
    // What was done.
    std::string Details() const { return TextField(kDetails); }
    void SetDetails(std::string v) { SetTextField(kDetails, std::move(v)); }
    OleDate TimeStamp() const { return DateField(kTimeStamp); }
    void SetTimeStamp(OleDate v) { SetDateField(kTimeStamp, v); }
};

}  // namespace corvane

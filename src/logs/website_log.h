#pragma once

#include <cstdint>
#include <string>

#include "recordstore/log_table.h"

namespace corvane {

// The website log, websiteslog.sec: one record per page the browser showed or refused.
// Slot 804 bytes, data 405, identity LogID (the record number), TableName "WebsiteLog". A
// record is valid when not deleted and its UserLogin is not blank. Texts are UTF-8, trimmed
// when loaded and cut to their width when written.
class WebsiteLog : public LogTable {
public:
    // Field ids in file order (offsets in website_log.cpp and docs/record-files.md).
    enum Field : int { kUserLogin, kAppName, kComputer, kURL, kTimeStamp, kStatus, kDeleted };

    WebsiteLog();
    static const RecordDescription& Table();

    std::int32_t LogID() const { return Identity(); }
    void SetLogID(std::int32_t v) { SetIdentity(v); }
    std::string UserLogin() const { return TextField(kUserLogin); }
    void SetUserLogin(std::string v) { SetTextField(kUserLogin, std::move(v)); }
    std::string AppName() const { return TextField(kAppName); }
    void SetAppName(std::string v) { SetTextField(kAppName, std::move(v)); }
    std::string Computer() const { return TextField(kComputer); }
    void SetComputer(std::string v) { SetTextField(kComputer, std::move(v)); }
    // The address shown or refused.
    std::string URL() const { return TextField(kURL); }
    void SetURL(std::string v) { SetTextField(kURL, std::move(v)); }
    OleDate TimeStamp() const { return DateField(kTimeStamp); }
    void SetTimeStamp(OleDate v) { SetDateField(kTimeStamp, v); }
    // "URL ACCEPTED" or "URL DENIED".
    std::string Status() const { return TextField(kStatus); }
    void SetStatus(std::string v) { SetTextField(kStatus, std::move(v)); }
};

}  // namespace corvane

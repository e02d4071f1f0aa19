#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logs/activity_log.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "platform/core/error_trap.h"
#include "platform/core/event_loop.h"
#include "platform/core/ole_date.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "support/activity_lines.h"
#include "support/temp_folder.h"

namespace corvane::test {

// A fresh data folder, US texts, and the errors the central handler was
// asked about (it answers "leave").
class LogFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        gDataPath = folder_.Path();
        gLanguage = 0;
        SetErrorHandler([this](const RaisedError& e, const std::string& place, int, int) {
            errors.push_back(place);
            (void)e;
            return kErrorLeave;
        });
    }
    void TearDown() override {
        SetErrorHandler(nullptr);
        SetYieldHook(nullptr);
        gEnableActivityLogging = false;
        gDataPath.clear();
    }

    static OleDate Stamp(int y, int mo, int d, int h, int mi, int s) { return *FromParts({y, mo, d, h, mi, s}); }
    // A file outside Corvane's own folders, where a person may export or print.
    std::string OutsidePath(const std::string& name) const { return outside_ / name; }

    struct UserEntry {
        std::string login, name, app, computer;
        OleDate in = 0, out = 0;
        bool failed = false, active = false, invalid = false;
    };
    static std::int32_t AddUserLog(const UserEntry& e) {
        UserLog log;
        log.SetUserLogin(e.login);
        log.SetUserName(e.name);
        log.SetAppName(e.app);
        log.SetComputer(e.computer);
        log.SetLoginStamp(e.in);
        log.SetLogoutStamp(e.out);
        log.SetFailed(Flag(e.failed));
        log.SetActive(Flag(e.active));
        log.SetInvalid(Flag(e.invalid));
        log.AddNew();
        return log.LogID();
    }
    static void BlankLogin(std::int32_t id) {
        UserLog log;
        ASSERT_TRUE(log.Load(id));
        log.SetUserLogin("");
        log.SaveChanges();
    }
    struct WebEntry {
        std::string login, app, computer, url;
        OleDate at = 0;
        std::string status;
    };
    static std::int32_t AddWebsiteLog(const WebEntry& e) {
        WebsiteLog log;
        log.SetUserLogin(e.login);
        log.SetAppName(e.app);
        log.SetComputer(e.computer);
        log.SetURL(e.url);
        log.SetTimeStamp(e.at);
        log.SetStatus(e.status);
        log.AddNew();
        return log.LogID();
    }
    static std::vector<std::string> ActivityLines() { return test_support::ActivityLines(); }
    std::string Path(const std::string& name) const { return folder_.Path() + "/" + name; }

    std::vector<std::string> errors;
    test_support::TempFolder folder_;
    test_support::TempFolder outside_;
};

}  // namespace corvane::test

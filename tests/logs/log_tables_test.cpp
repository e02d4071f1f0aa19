// The three log tables on the record engine: layouts, slot counts, tombstones, errors and the
// count of active sessions.
#include <gtest/gtest.h>

#include <functional>

#include "logs/activity_log.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "logs_test_support.h"

namespace corvane {
namespace {

using namespace testing;

class LogTables : public LogsTest {};

TEST_F(LogTables, AppendsWriteTheHandTypedBytes) {
    UserLog user;
    user.SetUserLogin("JSmith");
    user.SetUserName("John Smith");
    user.SetAppName(kAppName);
    user.SetComputer(kComputer);
    user.SetLoginStamp(kNow);
    user.SetActive(Flag(true));
    user.AddNew();
    EXPECT_EQ(user.LogID(), 1);
    EXPECT_EQ(ReadFile(Path("userlog.sec")), UserLogRecord("JSmith", "John Smith", 0, -1, 0).Data());

    ActivityLog activity;
    activity.SetUserLogin("Anonymous");
    activity.SetAppName(kAppName);
    activity.SetComputer(kComputer);
    activity.SetDetails("New User - ann");
    activity.SetTimeStamp(kNow);
    activity.AddNew();
    EXPECT_EQ(ReadFile(Path("activity.sec")), ActivityRecord("Anonymous", "New User - ann").Data());

    WebsiteLog website;
    website.SetUserLogin("ann");
    website.SetAppName(kAppName);
    website.SetComputer(kComputer);
    website.SetURL("http://example.org/");
    website.SetTimeStamp(kNow);
    website.SetStatus("URL DENIED");
    website.AddNew();
    website.SetURL("http://example.org/b");
    website.AddNew();
    EXPECT_EQ(website.LogID(), 2);
    EXPECT_EQ(ReadFile(Path("websiteslog.sec")),
              WebsiteRecord("ann", "http://example.org/", "URL DENIED").Slot(kWebsiteLogSlot) +
                  WebsiteRecord("ann", "http://example.org/b", "URL DENIED").Data());
}

TEST_F(LogTables, LoadReadsTheFieldsOfAHandTypedFile) {
    WriteFile(Path("userlog.sec"),
              Slots(kUserLogSlot, {UserLogRecord("ann", "Ann Lee", -1, 0, 0),
                                   UserLogRecord("bob", "Bob", 0, 1, 0).Double(178, 45419.5)}));
    UserLog log;
    ASSERT_TRUE(log.Load(2));
    EXPECT_EQ(log.LogID(), 2);
    EXPECT_EQ(log.UserLogin(), "bob");
    EXPECT_EQ(log.UserName(), "Bob");
    EXPECT_EQ(log.AppName(), kAppName);
    EXPECT_EQ(log.Computer(), kComputer);
    EXPECT_EQ(log.LoginStamp(), kNow);
    EXPECT_EQ(log.LogoutStamp(), 45419.5);
    EXPECT_EQ(log.Active(), 1);  // as stored
    EXPECT_EQ(log.Failed(), 0);
    EXPECT_EQ(log.TableName(), "UserLog");

    WriteFile(Path("websiteslog.sec"), WebsiteRecord(" kim ", "  http://a/  ", "URL ACCEPTED").Data());
    WebsiteLog web;
    ASSERT_TRUE(web.Load(1));
    EXPECT_EQ(web.UserLogin(), "kim");
    EXPECT_EQ(web.URL(), "http://a/");
    EXPECT_EQ(web.Status(), "URL ACCEPTED");
    EXPECT_EQ(web.TableName(), "WebsiteLog");
    EXPECT_EQ(ActivityLog().TableName(), "ActivityLog");
}

template <typename Log>
std::int32_t CountValid() {
    return Log().RecordCount();
}

template <typename Log>
bool Present(std::int32_t n) {
    return Log().Exists(n);
}

template <typename Log>
std::int32_t AppendOne() {
    Log log;
    const bool empty = log.IsEmpty();
    log.SetUserLogin("new");
    log.AddNew();
    return empty ? -log.LogID() : log.LogID();
}

// Slot count = length / L rounded to the nearest whole number (a half to even); an append
// goes after the last slot, or over a torn one.
TEST_F(LogTables, SlotCountsRoundToTheNearestSlot) {
    struct Case {
        const char* name;
        std::size_t slot, data, length;
        std::int32_t valid, nextLogId;  // nextLogId negative: the file counts as empty
        std::int32_t (*count)();
        bool (*present)(std::int32_t);
        std::int32_t (*append)();
    };
    const auto user = [](std::size_t length, std::int32_t valid, std::int32_t next) {
        return Case{"userlog.sec", kUserLogSlot, kUserLogData, length, valid, next,
                    CountValid<UserLog>, Present<UserLog>, AppendOne<UserLog>};
    };
    const auto activity = [](std::size_t length, std::int32_t valid, std::int32_t next) {
        return Case{"activity.sec", kActivitySlot, kActivityData, length, valid, next,
                    CountValid<ActivityLog>, Present<ActivityLog>, AppendOne<ActivityLog>};
    };
    const auto website = [](std::size_t length, std::int32_t valid, std::int32_t next) {
        return Case{"websiteslog.sec", kWebsiteLogSlot, kWebsiteLogData, length, valid, next,
                    CountValid<WebsiteLog>, Present<WebsiteLog>, AppendOne<WebsiteLog>};
    };
    const Case cases[] = {
        user(364 * 5, 5, 6),
        user(364 * 4 + 194, 5, 6),
        user(364 * 4 + 182, 4, 5),  // an exact half rounds to the even 4
        user(364 * 3 + 182, 3, 4),  // rounds to 4; slot 4 is torn and the append takes it
        user(100, 0, -1),
        activity(385, 1, 2),
        activity(764, 1, 2),
        activity(764 + 383, 1, 2),  // 2 slots, the second torn
        website(804 + 405, 2, 3),
        website(402, 0, -1),  // half a slot rounds to the even 0
        website(0, 0, -1),
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.length));
        RawRecord r(c.data);
        r.Text(0, 20, "someone");
        std::string bytes;
        while (bytes.size() < c.length) bytes += r.Slot(c.slot);
        bytes.resize(c.length);
        WriteFile(Path(c.name), bytes);

        EXPECT_EQ(c.count(), c.valid);
        if (c.valid > 0) {
            EXPECT_TRUE(c.present(c.valid));
        }
        EXPECT_FALSE(c.present(c.valid + 1));
        EXPECT_EQ(c.append(), c.nextLogId);
    }
}

TEST_F(LogTables, TombstonesBlankEveryTextAndDate) {
    WriteFile(Path("userlog.sec"), UserLogRecord("ann", "Ann", -1, -1, -1).Double(178, 9.0).Data());
    WriteFile(Path("activity.sec"), ActivityRecord("ann", "Edit User - bob").Data());
    WriteFile(Path("websiteslog.sec"), WebsiteRecord("ann", "http://a/", "URL DENIED").Data());
    UserLog().Delete(1);
    ActivityLog().Delete(1);
    WebsiteLog().Delete(1);

    EXPECT_EQ(ReadFile(Path("userlog.sec")), std::string(170, ' ') + std::string(22, '\0') + "\xFF\xFF");
    EXPECT_EQ(ReadFile(Path("activity.sec")), std::string(375, ' ') + std::string(8, '\0') + "\xFF\xFF");
    EXPECT_EQ(ReadFile(Path("websiteslog.sec")),
              std::string(375, ' ') + std::string(8, '\0') + std::string(20, ' ') + "\xFF\xFF");
    WebsiteLog web;
    EXPECT_EQ(web.RecordCount(), 0);
    EXPECT_FALSE(web.IsEmpty());
}

TEST_F(LogTables, LookupsByNumberKeepThePropertiesOnAMiss) {
    WriteFile(Path("activity.sec"),
              Slots(kActivitySlot, {ActivityRecord("ann", "one"), ActivityRecord("bob", "two").Int16(383, -1),
                                    ActivityRecord("   ", "three"), ActivityRecord("cat", "four")}));
    ActivityLog log;
    ASSERT_TRUE(log.Load(4));
    for (std::int32_t n : {0, -1, 2, 3, 5}) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(log.Load(n));
        EXPECT_TRUE(log.NoMatch());
        EXPECT_FALSE(log.IsSynchronised());
        EXPECT_EQ(log.Details(), "four");
        EXPECT_EQ(log.LogID(), 4);
        EXPECT_FALSE(log.Exists(n));
    }
    EXPECT_TRUE(log.Exists(1));
    EXPECT_FALSE(log.NoMatch());
    EXPECT_EQ(log.Details(), "four");
}

TEST_F(LogTables, ErrorsNameTheLogAndTheOperation) {
    const auto raised = [](const std::function<void()>& call) {
        try {
            call();
        } catch (const RaisedError& e) {
            return std::to_string(e.Number() - vbObjectError) + " " + e.Source() + " " + e.Description();
        }
        return std::string("nothing");
    };
    ActivityLog activity;
    activity.SetDetails("no login");
    EXPECT_EQ(raised([&] { activity.AddNew(); }),
              "3 ActivityLog.AddNew Data Engine Misbehaved on AddNew, Error Number: [-2147221501]\r\n"
              "Description: Primary Key not specified in AddNew");
    UserLog closed;
    EXPECT_EQ(raised([&] { closed.IsEOF(); }), "20 UserLog.EOF Operation is not allowed when the object is closed");

    gDataPath = Path("missing");
    const std::string loadError = raised([] { WebsiteLog().Load(1); });
    EXPECT_EQ(loadError.rfind("11 WebsiteLog.Load Data Engine Misbehaved on OpenTable, Error Number: [", 0), 0u)
        << loadError;
    EXPECT_FALSE(Exists("missing"));
}

TEST_F(LogTables, ActiveSessionsCountOnATableOfTheirOwn) {
    WriteFile(Path("userlog.sec"),
              Slots(kUserLogSlot, {UserLogRecord("ann", "Ann", 0, -1, 0),
                                   UserLogRecord("bob", "Bob", 0, 0, 0),
                                   UserLogRecord("cat", "Cat", 0, -1, 0).Int16(192, -1),  // deleted
                                   UserLogRecord("  ", "", 0, -1, 0),                      // blank login
                                   UserLogRecord("dan", "Dan", 0, 1, 0),                   // stored as 1
                                   UserLogRecord("eve", "Eve", 0, -1, 0)}));
    UserLog log;
    ASSERT_TRUE(log.Load(2));
    EXPECT_EQ(log.GetActiveUserCount(), 3);
    EXPECT_EQ(log.Loc(), 2);
    EXPECT_EQ(log.UserLogin(), "bob");
    EXPECT_TRUE(log.IsSynchronised());

    std::filesystem::remove(Path("userlog.sec"));
    EXPECT_EQ(UserLog().GetActiveUserCount(), 0);
}

TEST_F(LogTables, TruncateEmptiesTheFileTheTableHasOpen) {
    WriteFile(Path("other.sec"), Slots(kWebsiteLogSlot, {WebsiteRecord("a", "u", "s"), WebsiteRecord("b", "u", "s")}));
    WriteFile(Path("websiteslog.sec"), WebsiteRecord("keep", "u", "s").Data());
    WebsiteLog log;
    log.OpenTable(Path("other.sec"));
    ASSERT_TRUE(log.Load(2));
    log.Truncate();
    EXPECT_EQ(std::filesystem::file_size(Path("other.sec")), 0u);
    EXPECT_EQ(std::filesystem::file_size(Path("websiteslog.sec")), kWebsiteLogData);
    EXPECT_TRUE(log.IsEOF());
    log.SaveChanges();  // nothing is synchronised any more: writes nothing
    EXPECT_EQ(std::filesystem::file_size(Path("other.sec")), 0u);
    log.AddNew();
    EXPECT_EQ(log.LogID(), 1);
}

}  // namespace
}  // namespace corvane

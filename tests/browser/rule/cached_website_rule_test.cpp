#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "browser/rule/cached_website_rule.h"
#include "platform/core/clock.h"
#include "website_rule_rows.h"

namespace corvane::testing {
namespace {

class CachedWebsiteRuleTest : public WebsiteRuleTest {
protected:
    std::string Websites() const { return Path("websites.sec"); }
    std::string Links() const { return Path("userwebsites.sec"); }

    // Gives the file a modification time secondsAgo before now, with the given nanoseconds.
    static void SetModified(const std::string& path, long secondsAgo, long nanoseconds) {
        const auto now = std::chrono::system_clock::to_time_t(clock::SystemNow());
        timespec times[2];
        times[0].tv_sec = times[1].tv_sec = now - secondsAgo;
        times[0].tv_nsec = times[1].tv_nsec = nanoseconds;
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
    }
    void SettleAll(long nanoseconds = 123456789) const {
        for (const auto& p : {UsersPath(), Websites(), Links()}) SetModified(p, 60, nanoseconds);
    }

    // Turns ann's website rule off or on in place: same size, same inode.
    static void SetAnnEnforced(bool on) {
        User u;
        ASSERT_TRUE(u.Load("ann"));
        u.SetEnforceWebsites(Flag(on));
        u.SaveChanges();
    }
};

TEST_F(CachedWebsiteRuleTest, AnswersAsThePlainRuleFromOneRead) {
    PopulateWorld();
    SettleAll();
    CachedWebsiteRule cached;
    for (const auto& r : WorldRows()) {
        EXPECT_EQ(cached.IsWebsiteAllowable(r.login, r.url), r.allowed) << "'" << r.login << "' " << r.url;
        EXPECT_TRUE(cached.LastAnswerCached());
    }
    EXPECT_EQ(cached.Reads(), 1);
}

// Addresses as the engine reports them find the catalogue's own text, the first record that
// reads as the same address, whether the files are kept or read for the one decision.
TEST_F(CachedWebsiteRuleTest, NavigationsFindTheCataloguesOwnTextKeptOrNot) {
    PopulateWorld();
    AddWebsite("http://lv.example.com/page", 0);
    AddWebsite("HTTP://LV.EXAMPLE.COM:80/page", 2);  // the same address again: the first decides
    AddWebsite("http://127.0.0.1:8080/ok", 2);
    AddUser({.login = "lv", .enforceLevels = true, .level = 2});
    Assign("lv", {"http://lv.example.com", "http://127.0.0.1:8080/ok"});
    const RuleRow rows[] = {
        {"ann", "http://a.com/", true},
        {"ann", "http://a.com/page/", true},
        {"ann", "http://a.com/Page/Sub", true},
        {"ann", "http://a.com/other", false},
        {"ann", "http://xn--bcher-kva.de/buch", true},
        {"ann", "https://shop.example.org/store/cart/", true},
        {"ann", "https://shop.example.org/store/..%2Fadmin", false},
        {"ann", "https://shop.example.org/admin", false},
        {"ann", "about:blank", true},
        {"ann", "not an address", false},
        {"lv", "http://lv.example.com/page", false},
        {"lv", "http://127.0.0.1:8080/ok/", true},
        {"admin", "http://anywhere.org/", true},
    };
    for (bool kept : {true, false}) {
        SettleAll(kept ? 123456789 : 0);
        CachedWebsiteRule cached;
        for (const auto& r : rows) {
            EXPECT_EQ(cached.IsNavigationAllowable(r.login, r.url), r.allowed) << r.login << " " << r.url << " " << kept;
            EXPECT_EQ(cached.LastAnswerCached(), kept) << r.url;
        }
        EXPECT_EQ(cached.Reads(), kept ? 1 : 0);
    }
}

TEST_F(CachedWebsiteRuleTest, AChangeInAnyPartOfAFilesKeyIsReadAgain) {
    PopulateWorld();
    SettleAll();
    CachedWebsiteRule cached;
    const std::string url = "http://a.com.evil.org";  // in the catalogue, not assigned to ann
    EXPECT_FALSE(cached.IsWebsiteAllowable("ann", url));

    // A rewrite in place whose time differs by one nanosecond.
    SetAnnEnforced(false);
    SetModified(UsersPath(), 60, 123456790);
    EXPECT_TRUE(cached.IsWebsiteAllowable("ann", url));
    EXPECT_EQ(cached.Reads(), 2);

    // The same bytes and time in a new file (another inode), as a copy over the share leaves it.
    SetAnnEnforced(true);
    SetModified(UsersPath(), 60, 123456790);
    const std::string copy = Path("users.copy");
    std::filesystem::copy_file(UsersPath(), copy);
    SetModified(copy, 60, 123456790);
    std::filesystem::rename(copy, UsersPath());
    EXPECT_FALSE(cached.IsWebsiteAllowable("ann", url));
    EXPECT_EQ(cached.Reads(), 3);

    // A new assignment makes the links file grow.
    Assign("ann", {"http://a.com.evil.org"});
    SetModified(Links(), 60, 123456789);
    EXPECT_TRUE(cached.IsWebsiteAllowable("ann", url));
    EXPECT_EQ(cached.Reads(), 4);

    // Another data folder.
    const std::string other = Path("elsewhere");
    std::filesystem::create_directory(other);
    for (const char* name : {"users.sec", "websites.sec", "userwebsites.sec"})
        std::filesystem::copy_file(Path(name), other + "/" + name);
    gDataPath = other;
    for (const char* name : {"users.sec", "websites.sec", "userwebsites.sec"}) SetModified(other + "/" + name, 60, 5);
    EXPECT_TRUE(cached.IsWebsiteAllowable("ann", url));
    EXPECT_EQ(cached.Reads(), 5);
}

TEST_F(CachedWebsiteRuleTest, KeepsNothingWhereTimesCannotTellWritesApart) {
    PopulateWorld();
    struct Row {
        const char* what;
        long secondsAgo;
        long nanoseconds;
    } const rows[] = {
        {"whole-second times", 60, 0},
        {"changed just now", 0, 500},
    };
    for (const auto& r : rows) {
        SetAnnEnforced(true);
        for (const auto& p : {UsersPath(), Websites(), Links()}) SetModified(p, r.secondsAgo, r.nanoseconds);
        CachedWebsiteRule cached;
        EXPECT_FALSE(cached.IsWebsiteAllowable("ann", "http://a.com.evil.org")) << r.what;
        // The same size and the same time: only a fresh read sees it.
        SetAnnEnforced(false);
        SetModified(UsersPath(), r.secondsAgo, r.nanoseconds);
        EXPECT_TRUE(cached.IsWebsiteAllowable("ann", "http://a.com.evil.org")) << r.what;
        EXPECT_FALSE(cached.LastAnswerCached()) << r.what;
        EXPECT_EQ(cached.Reads(), 0) << r.what;
    }
}

TEST_F(CachedWebsiteRuleTest, MissingOrUnreadableFilesFallBackToThePlainRule) {
    PopulateWorld();
    SettleAll();
    std::filesystem::remove(Links());
    CachedWebsiteRule cached;
    EXPECT_FALSE(cached.IsWebsiteAllowable("ann", "http://a.com/page"));
    EXPECT_TRUE(cached.IsWebsiteAllowable("free", "http://a.com/page"));
    EXPECT_FALSE(cached.LastAnswerCached());

    std::filesystem::remove(Links());  // the plain rule made an empty one
    std::filesystem::create_directory(Links());
    EXPECT_FALSE(cached.IsWebsiteAllowable("ann", "http://a.com/page"));
    EXPECT_EQ(cached.Reads(), 0);

    gRequireLogin = false;
    EXPECT_TRUE(cached.IsWebsiteAllowable("", ""));
}

}  // namespace
}  // namespace corvane::testing

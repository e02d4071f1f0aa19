#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "browser/rule/website_rule.h"
#include "platform/core/error_trap.h"
#include "website_rule_rows.h"

namespace corvane::testing {
namespace {

TEST_F(WebsiteRuleTest, AnswersEveryRowOfTheWorld) {
    PopulateWorld();
    WebsiteRule rule;
    for (const auto& r : WorldRows())
        EXPECT_EQ(rule.IsWebsiteAllowable(r.login, r.url), r.allowed) << "'" << r.login << "' " << r.url;
}

TEST_F(WebsiteRuleTest, WithoutRequiredLoginEverythingIsAllowedBeforeAnyFileIsRead) {
    gRequireLogin = false;
    std::filesystem::create_directory(UsersPath());  // a table that cannot be opened
    std::vector<std::string> places;
    SetErrorHandler([&](const RaisedError&, const std::string& place, int, int) {
        places.push_back(place);
        return kErrorLeave;
    });
    WebsiteRule rule;
    for (const char* login : {"", "ghost"})
        for (const char* url : {"", "javascript:alert(1)", "http://anything/"})
            EXPECT_TRUE(rule.IsWebsiteAllowable(login, url)) << login << " " << url;
    SetErrorHandler(nullptr);
    EXPECT_TRUE(places.empty());
}

// Rows: user level, columns: website level 0..3; the level-3 website's name matches the
// user's only without regard to case. A second level-3 website has another name.
TEST_F(WebsiteRuleTest, AccessLevelsOfTheUserAndOfTheCatalogueWebsite) {
    const bool matrix[4][4] = {
        {true, true, true, true},
        {false, true, true, true},
        {false, false, true, true},
        {false, false, false, true},
    };
    AddWebsite("http://lv.example.com", 2);  // the assigned address's own level plays no part
    for (int w = 0; w <= 3; ++w) AddWebsite("http://lv.example.com/w" + std::to_string(w), w, w == 3 ? "lab" : "");
    AddWebsite("http://lv.example.com/other", 3, "Office");
    WebsiteRule rule;
    for (int u = 0; u <= 3; ++u) {
        const std::string login = "level" + std::to_string(u);
        AddUser({.login = login.c_str(), .enforceLevels = true, .level = u, .otherAccess = "Lab"});
        Assign(login, {"http://lv.example.com/"});
        for (int w = 0; w <= 3; ++w)
            EXPECT_EQ(rule.IsWebsiteAllowable(login, "http://lv.example.com/w" + std::to_string(w)), matrix[u][w])
                << "user " << u << " website " << w;
        EXPECT_EQ(rule.IsWebsiteAllowable(login, "http://lv.example.com/other"), u == 0) << "user " << u;
    }
    // With the level rule off the assignment alone decides.
    AddUser({.login = "nolevels", .enforceLevels = false, .level = 2});
    Assign("nolevels", {"http://lv.example.com"});
    EXPECT_TRUE(rule.IsWebsiteAllowable("nolevels", "http://lv.example.com/w0"));
    EXPECT_TRUE(rule.IsWebsiteAllowable("nolevels", "http://lv.example.com/other"));
}

TEST(WebsiteLevelAllows, NamedLevelsCompareTrimmedWithoutCase) {
    EXPECT_TRUE(WebsiteLevelAllows(2, "Lab", 3, "LAB"));
    EXPECT_FALSE(WebsiteLevelAllows(3, "Lab", 3, "Labs"));
    EXPECT_FALSE(WebsiteLevelAllows(3, "", 3, "Lab"));
    EXPECT_TRUE(WebsiteLevelAllows(0, "", 3, "Lab"));
    EXPECT_FALSE(WebsiteLevelAllows(5, "", 4, ""));  // levels outside the four: only equal ones
    EXPECT_TRUE(WebsiteLevelAllows(4, "", 4, ""));
}

TEST_F(WebsiteRuleTest, ErrorsGoToTheHandlerUnderTheBrowsersPlaceAndOnlyARetryCanAllow) {
    PopulateWorld();
    const std::string users = UsersPath();
    const std::string aside = Path("users.aside");
    std::filesystem::rename(users, aside);
    std::filesystem::create_directory(users);  // users.sec cannot be opened

    struct Row {
        int answer;
        bool repair;  // put the table back before answering
        bool allowed;
    } const rows[] = {
        {kErrorLeave, false, false},
        // Going on would decide on a user that was never loaded: refused.
        {kErrorResume, false, false},
        {kErrorRetry, true, true},
    };
    WebsiteRule rule;
    for (const auto& r : rows) {
        std::vector<std::string> places;
        SetErrorHandler([&](const RaisedError& e, const std::string& place, int, int) {
            places.push_back(place);
            EXPECT_EQ(e.Number(), vbObjectError + 11);
            if (r.repair) {
                std::filesystem::remove(users);
                std::filesystem::rename(aside, users);
            }
            return places.size() > 3 ? kErrorLeave : r.answer;
        });
        EXPECT_EQ(rule.IsWebsiteAllowable("ann", "http://a.com/page"), r.allowed) << r.answer;
        ASSERT_FALSE(places.empty()) << r.answer;
        EXPECT_EQ(places[0], "frmWebBrowser.IsWebsiteAllowable");
    }
    SetErrorHandler(nullptr);
}

TEST_F(WebsiteRuleTest, AHandlerThatFailsRefusesButAnAnswerSettledBeforeTheErrorStands) {
    PopulateWorld();
    std::filesystem::remove(Path("websites.sec"));
    std::filesystem::create_directory(Path("websites.sec"));
    SetErrorHandler([](const RaisedError&, const std::string&, int, int) -> int { throw std::runtime_error("no"); });
    WebsiteRule rule;
    EXPECT_FALSE(rule.IsWebsiteAllowable("ann", "http://a.com/page"));
    EXPECT_TRUE(rule.IsWebsiteAllowable("free", "http://a.com/page"));
    SetErrorHandler(nullptr);
}

}  // namespace
}  // namespace corvane::testing

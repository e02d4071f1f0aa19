#include <gtest/gtest.h>

#include <string>

#include "browser/rule/website_decision.h"
#include "browser/rule/website_tables.h"
#include "website_rule_rows.h"

namespace corvane::testing {
namespace {

// The shared rows straight against the one decision, over every record of the files.
TEST_F(WebsiteRuleTest, TheDecisionAnswersEveryRowOfTheWorld) {
    PopulateWorld();
    WebsiteTables tables;
    ReadAllWebsiteTables(CurrentWebsiteRulePaths(), tables);
    for (const auto& r : WorldRows())
        EXPECT_EQ(Decide({true, &tables}, r.login, r.url).allowed, r.allowed) << "'" << r.login << "' " << r.url;
    for (const auto& r : WorldRows()) EXPECT_TRUE(Decide({false, nullptr}, r.login, r.url).allowed) << r.url;
}

// A snapshot typed by hand: each reason, and a part not read that the decision reaches.
TEST(WebsiteDecision, GivesItsReasonAndRefusesOnWhatWasNotRead) {
    WebsiteTables all;
    all.read = WebsiteTables::kUsers | WebsiteTables::kWebsites | WebsiteTables::kLinks;
    all.users["ann"] = {.enforceWebsites = true, .enforceUserAccessOnWebsites = true, .accessLevel = 2};
    all.users["boss"] = {.isAdministrator = true};
    all.users["free"] = {};
    all.users["lonely"] = {.enforceWebsites = true};
    all.websites["http://a.com/page"] = {2, ""};
    all.websites["http://a.com/zero"] = {0, ""};
    all.websites["http://b.com/page"] = {2, ""};
    all.websites["http://x-.localhost/"] = {2, ""};
    all.links["ann"] = {"http://a.com", "http://x-.localhost"};
    WebsiteTables usersOnly = all;
    usersOnly.read = WebsiteTables::kUsers;
    WebsiteTables noLinks = all;
    noLinks.read &= ~WebsiteTables::kLinks;

    using R = WebsiteReason;
    struct Row {
        const WebsiteTables* tables;
        const char* login;
        const char* url;
        bool allowed;
        R reason;
    } const rows[] = {
        {&all, "", "http://a.com/page", false, R::NoLogin},
        {&all, "ghost", "http://a.com/page", false, R::UnknownUser},
        {&all, " BOSS ", "", true, R::Administrator},
        {&all, "free", "http://x-.localhost/", true, R::NotEnforced},
        {&all, "ann", " about:blank ", true, R::BlankPage},
        {&all, "ann", "", false, R::UnreadableAddress},
        {&all, "ann", "http://", false, R::UnreadableAddress},
        {&all, "ann", "http:///", false, R::UnreadableAddress},
        {&all, "ann", "http://x-.localhost/", false, R::UnreadableAddress},
        {&all, "ann", "http://a.com/other", false, R::NotInCatalogue},
        {&all, "lonely", "http://a.com/page", false, R::NoAssignedWebsites},
        {&all, "ann", "http://b.com/page", false, R::NotAssigned},
        {&all, "ann", "http://a.com/page", true, R::AccessLevelAllows},
        {&all, "ann", "http://a.com/zero", false, R::AccessLevelRefuses},
        {nullptr, "ann", "http://a.com/page", false, R::NotRead},
        {&usersOnly, "free", "http://a.com/page", true, R::NotEnforced},
        {&usersOnly, "ann", "http://a.com/page", false, R::NotRead},
        {&noLinks, "ann", "http://a.com/page", false, R::NotRead},
        {&noLinks, "ann", "http://a.com/other", false, R::NotInCatalogue},
    };
    for (const auto& r : rows) {
        const WebsiteVerdict v = Decide({true, r.tables}, r.login, r.url);
        EXPECT_EQ(v.allowed, r.allowed) << r.login << " " << r.url;
        EXPECT_EQ(v.reason, r.reason) << r.login << " " << r.url;
    }
    all.users["ann"].enforceUserAccessOnWebsites = false;
    EXPECT_EQ(Decide({true, &all}, "ann", "http://a.com/zero").reason, R::Assigned);
}

}  // namespace
}  // namespace corvane::testing

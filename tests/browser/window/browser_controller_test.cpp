#include <gtest/gtest.h>

#include <algorithm>

#include "browser_test_support.h"
#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "support/append_in_flight.h"

namespace corvane::testing {
namespace {

std::string Denied425(const std::string& address) { return GetMessageText(425, 0, address); }
std::string Status(int message) { return GetMessageText(message); }
std::string Trimmed(const char* s) { return std::string(text::TrimSpaces(s)); }

TEST_F(BrowserTest, WithoutLoginTheBoxRefusesEveryAddressAndPagesAreLoggedAsAnonymous) {
    gRequireLogin = false;
    auto box = ScriptedMsgBox::Install();
    FakeBrowserWindow& w = Open();
    ASSERT_FALSE(w.control.navigations.empty());
    EXPECT_EQ(w.control.navigations.front(), "about:blank");
    EXPECT_EQ(w.addressFocus, 1);

    w.addressText = "http://a.com/page";
    w.controller.cboAddress_Click();
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, Denied425(""));
    EXPECT_EQ(box->Last().buttons, 48);
    EXPECT_EQ(box->Last().title, GetMessageText(290));
    EXPECT_EQ(w.addressText, "");
    EXPECT_EQ(w.control.navigations.size(), 1u);

    EXPECT_TRUE(w.control.AskNewWindow());
    EXPECT_EQ(w.LastStatus(), Status(423));
    EXPECT_EQ(pool.size(), 1u);

    w.control.PageNavigates("http://anywhere.org/", NavigationKind::Link);
    EXPECT_EQ(LogLines(), (std::vector<LogLine>{{"Anonymous", "http://anywhere.org", "URL ACCEPTED"}}));
}

TEST_F(BrowserTest, TheAddressCommandTestsTheTrimmedTextAndNavigatesAndLogsItAsTyped) {
    AddWebsites({"http://a.com/page", "http://b.com"});
    AddBrowserUser({.login = "ann"});
    AddBrowserUser({.login = "noweb", .internet = false});
    Assign("ann", {"http://a.com"});
    struct Row {
        const char* login;
        const char* typed;
        const char* navigated;  // nullptr: none
        const char* prompt;     // nullptr: no message
        const char* logged;     // nullptr: nothing
    } const rows[] = {
        {"ann", "  http://a.com/page ", "  http://a.com/page ", nullptr, "  http://a.com/page "},
        {"ann", " http://b.com ", nullptr, "http://b.com", " http://b.com "},
        {"ann", "   ", nullptr, nullptr, nullptr},
        {"ann", "ABOUT:BLANK", nullptr, nullptr, nullptr},
        {"noweb", "http://a.com/page", nullptr, "", nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.login) + " '" + r.typed + "'");
        std::filesystem::remove(Path("websiteslog.sec"));
        LogIn(r.login);
        auto box = ScriptedMsgBox::Install();
        FakeBrowserWindow& w = Open();
        const std::size_t before = w.control.navigations.size();
        w.addressText = r.typed;
        w.controller.cboAddress_Click();
        if (r.navigated) {
            ASSERT_EQ(w.control.navigations.size(), before + 1);
            EXPECT_EQ(w.control.navigations.back(), r.navigated);
            EXPECT_GT(w.control.focusCount, 0);
        } else {
            EXPECT_EQ(w.control.navigations.size(), before);
        }
        if (r.prompt) {
            ASSERT_EQ(box->Count(), 1);
            EXPECT_EQ(box->Last().prompt, Denied425(r.prompt));
        } else {
            EXPECT_EQ(box->Count(), 0);
        }
        const auto lines = LogLines();
        if (!r.logged) {
            EXPECT_TRUE(lines.empty());
        } else if (r.navigated) {
            // The completed page's own address.
            EXPECT_EQ(lines, (std::vector<LogLine>{{"ann", Trimmed(r.logged), "URL ACCEPTED"}}));
        } else {
            EXPECT_EQ(lines, (std::vector<LogLine>{{"ann", Trimmed(r.logged), "URL DENIED"}}));
            // Written as typed: the log trims only when it reads.
            EXPECT_NE(ReadFile(Path("websiteslog.sec")).find(r.logged), std::string::npos);
            EXPECT_EQ(w.LastStatus(), Status(165));
        }
    }
}

TEST_F(BrowserTest, CompletedPagesMoveToTheTopOfTheListExceptForEnforcedUsers) {
    AddWebsites({"http://one.com", "http://two.com", "HTTP://THREE.COM"});
    AddBrowserUser({.login = "ann"});
    AddBrowserUser({.login = "boss", .administrator = true});
    AddBrowserUser({.login = "free", .enforceWebsites = false});
    Assign("ann", {"http://one.com", "http://two.com", "http://three.com"});
    const std::vector<std::string> catalogue = {"", "HTTP://THREE.COM", "http://two.com", "http://one.com"};
    for (const char* login : {"ann", "boss", "free"}) {
        SCOPED_TRACE(login);
        LogIn(login);
        FakeBrowserWindow& w = Open();
        EXPECT_EQ(w.addresses, catalogue);
        w.control.titles["http://three.com/"] = "Three";
        w.control.PageNavigates("http://three.com/", NavigationKind::Link);
        if (std::string(login) == "ann") {
            EXPECT_EQ(w.addresses, catalogue);
            continue;
        }
        // The first equal entry, letter case ignored, gives way to the page's address.
        EXPECT_EQ(w.addresses, (std::vector<std::string>{"http://three.com", "", "http://two.com", "http://one.com"}));
        EXPECT_EQ(w.caption, "Three");
        EXPECT_EQ(w.addressText, "http://three.com");
        // A blank completion still removes the entry equal to the top page, adds nothing.
        w.control.PageNavigates("http://two.com", NavigationKind::Link);
        w.controller.brwWebBrowser_NavigateComplete2("about:blank", false);
        EXPECT_EQ(w.addresses, (std::vector<std::string>{"http://three.com", "", "http://one.com"}));
    }
    // Blank completions are never logged.
    for (const auto& line : LogLines()) EXPECT_FALSE(BrowserController::BlankURL(line.url)) << line.url;
}

// A catalogue entry another workstation is appending is listed whole once the append ends;
// one cut short at the end of the file is not listed, as before.
TEST_F(BrowserTest, AnEntryAppendedMeanwhileIsListedWholeAndATornOneNotAtAll) {
    AddWebsites({"http://one.com"});
    AddBrowserUser({.login = "boss", .administrator = true});
    LogIn("boss");
    const std::string entry = RecordData<Website>(Path("scratch.sec"), [](Website& w) {
        w.SetURL("http://appended.example/" + std::string(200, 'a'));
        w.SetDescription(std::string(255, 'd'));
    });
    const auto seen = ReadWhileAppending(Website::Table(), Path("websites.sec"), entry, [&] { return Open().addresses; });
    EXPECT_FALSE(seen.endedBeforeTheAppend);
    EXPECT_EQ(seen.result, (std::vector<std::string>{"", "http://appended.example/" + std::string(200, 'a'),
                                                     "http://one.com"}));
    TearLastRecord(Path("websites.sec"), Website::Table());
    EXPECT_EQ(Open().addresses, (std::vector<std::string>{"", "http://one.com"}));
}

TEST_F(BrowserTest, TheHomePageOpensFirstAndIsAppendedEvenWhenListedButNeverInAChild) {
    AddWebsites({"http://home.com"});
    AddBrowserUser({.login = "free", .enforceWebsites = false, .newWindows = true, .homePage = "http://home.com"});
    LogIn("free");
    FakeBrowserWindow& held = Open({}, true);
    EXPECT_EQ(held.control.navigations, (std::vector<std::string>{"http://home.com"}));
    EXPECT_EQ(held.addresses, (std::vector<std::string>{"", "http://home.com", "http://home.com"}));
    EXPECT_TRUE(held.timer);

    FakeBrowserWindow& w = Open();
    w.control.Hover("http://child.com/");
    ASSERT_TRUE(w.control.AskNewWindow());
    ASSERT_EQ(pool.size(), 3u);
    EXPECT_EQ(pool[2]->control.navigations, (std::vector<std::string>{"about:blank", "http://child.com/"}));
    EXPECT_EQ(pool[2]->addressText, "http://child.com/");
}

TEST_F(BrowserTest, PagesOpenWindowsOnlyWhenTheAddressAnswersAndTheUserMay) {
    AddWebsites({"http://popup.com"});
    AddBrowserUser({.login = "ann", .newWindows = true, .homePage = ""});
    AddBrowserUser({.login = "boss", .administrator = true});
    AddBrowserUser({.login = "plain"});
    Assign("ann", {"http://popup.com"});
    Assign("plain", {"http://popup.com"});
    struct Row {
        const char* login;
        bool answers;
        bool opens;
        bool denied;
    } const rows[] = {
        {"ann", false, false, false},
        {"ann", true, true, false},
        {"boss", true, true, false},
        {"plain", true, false, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.login) + (r.answers ? " answers" : " silent"));
        pool.clear();
        probed.clear();
        LogIn(r.login);
        probeAnswer = r.answers;
        FakeBrowserWindow& w = Open();
        w.control.Hover("http://popup.com/");
        const std::size_t statuses = w.statuses.size();
        EXPECT_TRUE(w.control.AskNewWindow());
        EXPECT_EQ(probed, (std::vector<std::string>{"http://popup.com/"}));
        ASSERT_EQ(pool.size(), r.opens ? 2u : 1u);
        EXPECT_EQ(w.statuses.size() > statuses && w.LastStatus() == Status(423), r.denied);
        if (!r.opens) continue;
        BrowserController& child = pool[1]->controller;
        EXPECT_TRUE(pool[1]->shown);
        EXPECT_TRUE(child.NewWindow);
        EXPECT_EQ(child.ParentBrowser, &w.controller);
        EXPECT_EQ(child.StartingAddress, "http://popup.com/");
        // The user's own lock replaces the child's initial one.
        EXPECT_FALSE(child.LockAddressBar());
        EXPECT_EQ(w.controller.BrowserIndex, 1);
        EXPECT_EQ(w.controller.Child(0), &child);
    }
    // A script's window opens at the address the script asked for, whatever was hovered or
    // visited before.
    pool.clear();
    probed.clear();
    LogIn("ann");
    probeAnswer = true;
    FakeBrowserWindow& w = Open();
    w.control.Hover("http://elsewhere.com/");
    w.control.PageNavigates("http://elsewhere.com/frame", NavigationKind::Link, false);
    w.control.Hover("");
    w.control.AskNewWindow("http://popup.com/");
    EXPECT_EQ(probed, (std::vector<std::string>{"http://popup.com/"}));
    ASSERT_EQ(pool.size(), 2u);
    EXPECT_EQ(pool[1]->controller.StartingAddress, "http://popup.com/");
}

TEST_F(BrowserTest, AChildStaysLockedWithoutARecordAndPagesOpenAtMostFiftyWindows) {
    gRequireLogin = false;  // the children keep their lock; the opener is an unknown user
    AddBrowserUser({.login = "boss", .administrator = true});
    gRequireLogin = true;
    LogIn("boss");
    FakeBrowserWindow& w = Open();
    w.control.Hover("http://popup.com");
    for (int i = 0; i < kMaxPageOpenedWindows; ++i) ASSERT_TRUE(w.control.AskNewWindow());
    EXPECT_EQ(BrowserController::PageOpenedWindows(), kMaxPageOpenedWindows);
    EXPECT_EQ(w.controller.BrowserIndex, kMaxPageOpenedWindows);
    w.control.AskNewWindow();
    EXPECT_EQ(pool.size(), 1u + kMaxPageOpenedWindows);
    EXPECT_EQ(w.LastStatus(), Status(423));
    // One closes: one more may open.
    pool[1]->CloseWindow();
    w.control.AskNewWindow();
    EXPECT_EQ(pool.size(), 2u + kMaxPageOpenedWindows);

    // A window whose user has no record is not exempt: the rule refuses the child's address.
    gAuthenticatedUser = "ghost";
    FakeBrowserWindow& lost = Open();
    lost.control.Hover("http://x.com");
    EXPECT_TRUE(lost.control.AskNewWindow());
    EXPECT_EQ(lost.LastStatus(), Status(165));
}

TEST_F(BrowserTest, ClosingAWindowClosesItsOpenChildrenAndTheirChildren) {
    AddBrowserUser({.login = "boss", .administrator = true, .lock = true});
    LogIn("boss");
    FakeBrowserWindow& root = Open();
    root.control.Hover("http://a.com");
    root.control.AskNewWindow();
    root.control.AskNewWindow();
    FakeBrowserWindow& first = *pool[1];
    FakeBrowserWindow& second = *pool[2];
    EXPECT_TRUE(first.controller.LockAddressBar());
    first.control.Hover("http://b.com");
    first.control.AskNewWindow();
    FakeBrowserWindow& grandchild = *pool[3];

    second.CloseWindow();
    EXPECT_EQ(root.controller.ChildCount(), 2);  // a closed child stays in the collection
    EXPECT_FALSE(BrowserController::IsOpen(&second.controller));
    const int secondSaves = second.metricsSaves;

    root.CloseWindow();
    EXPECT_TRUE(first.closed);
    EXPECT_TRUE(grandchild.closed);
    EXPECT_EQ(second.metricsSaves, secondSaves);  // not closed twice
    EXPECT_EQ(first.controller.ParentBrowser, nullptr);
    EXPECT_EQ(root.metricsSaves, 1);
    EXPECT_EQ(root.controller.ChildCount(), 0);
}

TEST_F(BrowserTest, AWindowClosedWhileTheProbeWaitsOpensNoChild) {
    AddBrowserUser({.login = "boss", .administrator = true});
    LogIn("boss");
    FakeBrowserWindow& w = Open();
    BrowserController::SetURLProbe([&](const std::string&) {
        w.CloseWindow();
        return true;
    });
    w.control.Hover("http://a.com");
    EXPECT_TRUE(w.control.AskNewWindow());
    EXPECT_EQ(pool.size(), 1u);
}

// The rule first, for a user whose websites are enforced: a refused address is never contacted.
TEST_F(BrowserTest, AnEnforcedUsersNewWindowPassesTheRuleBeforeTheProbe) {
    AddWebsites({"http://popup.com", "http://popup.com/in/", "http://other.com"});
    AddBrowserUser({.login = "ann", .newWindows = true});
    AddBrowserUser({.login = "free", .enforceWebsites = false, .newWindows = true});
    Assign("ann", {"http://popup.com"});
    struct Row {
        const char* login;
        const char* hovered;
        bool opens;
    } const rows[] = {
        {"ann", "http://popup.com/in/", true},
        {"ann", "http://other.com/", false},
        {"ann", "http://unlisted.com/", false},
        {"free", "http://unlisted.com/", true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.login) + " " + r.hovered);
        std::filesystem::remove(Path("websiteslog.sec"));
        pool.clear();
        probed.clear();
        LogIn(r.login);
        auto box = ScriptedMsgBox::Install();
        FakeBrowserWindow& w = Open();
        w.control.Hover(r.hovered);
        EXPECT_TRUE(w.control.AskNewWindow());
        ASSERT_EQ(pool.size(), r.opens ? 2u : 1u);
        if (r.opens) {
            EXPECT_EQ(probed, (std::vector<std::string>{r.hovered}));  // unchanged, final "/" kept
            EXPECT_EQ(pool[1]->controller.StartingAddress, r.hovered);
            continue;
        }
        EXPECT_TRUE(probed.empty());
        EXPECT_EQ(w.LastStatus(), Status(165));
        EXPECT_EQ(LogLines(), (std::vector<LogLine>{{"ann", r.hovered, "URL DENIED"}}));
        EXPECT_EQ(box->Count(), 1);
    }
}

// The engine's request returns before anything waits; the window may close meanwhile.
TEST_F(BrowserTest, ANewWindowIsDecidedAfterThePagesRequestHasReturned) {
    AddBrowserUser({.login = "boss", .administrator = true});
    LogIn("boss");
    for (bool closeFirst : {false, true}) {
        SCOPED_TRACE(closeFirst);
        pool.clear();
        probed.clear();
        FakeBrowserWindow& w = Open();
        w.holdLater = true;
        w.control.Hover("http://popup.com/");
        EXPECT_TRUE(w.control.AskNewWindow());
        EXPECT_TRUE(probed.empty());
        w.control.Hover("http://elsewhere.com/");
        if (closeFirst) w.CloseWindow();
        w.RunHeld();
        EXPECT_EQ(probed.size(), closeFirst ? 0u : 1u);
        ASSERT_EQ(pool.size(), closeFirst ? 1u : 2u);
        if (!closeFirst) EXPECT_EQ(pool[1]->controller.StartingAddress, "http://popup.com/");
    }
}

TEST_F(BrowserTest, AChildStartsAtTheProbedAddressWhateverWasHoveredMeanwhile) {
    AddBrowserUser({.login = "boss", .administrator = true});
    LogIn("boss");
    FakeBrowserWindow& w = Open();
    BrowserController::SetURLProbe([&](const std::string& address) {
        probed.push_back(address);
        w.control.Hover("http://elsewhere.com/");
        return true;
    });
    w.control.Hover("http://popup.com/");
    EXPECT_TRUE(w.control.AskNewWindow());
    ASSERT_EQ(pool.size(), 2u);
    EXPECT_EQ(pool[1]->controller.StartingAddress, probed.at(0));
    EXPECT_EQ(pool[1]->control.navigations.back(), probed.at(0));
}

// Every page-level navigation of an enforced user passes the rule; frames follow their page.
TEST_F(BrowserTest, PageNavigationsOfEnforcedUsersPassTheRule) {
    AddWebsites({"http://a.com", "http://a.com/docs", "http://b.com", "c.com"});
    AddBrowserUser({.login = "ann"});
    AddBrowserUser({.login = "boss", .administrator = true});
    AddBrowserUser({.login = "free", .enforceWebsites = false});
    Assign("ann", {"http://a.com", "c.com"});
    struct Row {
        const char* login;
        const char* url;
        NavigationKind kind;
        bool mainFrame;
        bool goes;
    } const rows[] = {
        {"ann", "http://a.com/", NavigationKind::Typed, true, true},          // the root slash the engine adds
        {"ann", "HTTP://A.COM/docs/", NavigationKind::Link, true, true},
        {"ann", "http://c.com/", NavigationKind::Redirect, true, true},       // the catalogue's own spelling
        {"ann", "http://b.com/", NavigationKind::Link, true, false},
        {"ann", "http://a.com/unlisted", NavigationKind::Form, true, false},
        {"ann", "http://evil.com/", NavigationKind::Redirect, true, false},
        {"ann", "http://b.com/", NavigationKind::Reload, true, false},
        {"ann", "about:blank", NavigationKind::Other, true, true},
        {"boss", "http://evil.com/", NavigationKind::Link, true, true},
        {"free", "http://evil.com/", NavigationKind::Link, true, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.login) + " " + r.url);
        std::filesystem::remove(Path("websiteslog.sec"));
        pool.clear();
        LogIn(r.login);
        auto box = ScriptedMsgBox::Install();
        FakeBrowserWindow& w = Open();
        EXPECT_EQ(w.control.PageNavigates(r.url, r.kind, r.mainFrame), r.goes);
        ExpectNavigationOutcome(w, box, r.login, r.url, r.goes);
    }
}

// An address the engine gives that does not read as one (empty, or a host the URL class
// rejects) is refused wherever it comes from, even when the catalogue and the assignments
// hold its very text: main frame with the message and one record, frame quietly, new window
// before any probe.
TEST_F(BrowserTest, AnAddressThatDoesNotReadIsRefusedInEveryFrameAndWindow) {
    const std::string longLabel = "http://" + std::string(64, 'a') + ".localhost/secret/";
    AddWebsites({"http://a.com", "http://x-.localhost/secret/", "http://-x.localhost/secret/",
                 "http://a..localhost/secret/", longLabel.c_str()});
    AddBrowserUser({.login = "ann", .newWindows = true});
    Assign("ann", {"http://a.com", "http://x-.localhost", "http://-x.localhost", "http://a..localhost",
                   longLabel.c_str()});
    LogIn("ann");
    probeAnswer = true;
    for (const std::string url : {std::string(), std::string("  "), std::string("http://"), std::string("http:///"),
                                  std::string("http://x-.localhost/secret/"), std::string("http://-x.localhost/secret/"),
                                  std::string("http://a..localhost/secret/"), longLabel}) {
        SCOPED_TRACE("'" + url + "'");
        std::filesystem::remove(Path("websiteslog.sec"));
        pool.clear();
        probed.clear();
        auto box = ScriptedMsgBox::Install();
        FakeBrowserWindow& w = Open();
        ASSERT_TRUE(w.control.PageNavigates("http://a.com/", NavigationKind::Typed));
        EXPECT_FALSE(w.control.PageNavigates(url, NavigationKind::Other, false));
        EXPECT_EQ(box->Count(), 0);
        EXPECT_FALSE(w.control.PageNavigates(url, NavigationKind::Redirect));
        ASSERT_EQ(box->Count(), 1);
        EXPECT_EQ(box->Last().prompt, Denied425(std::string(text::TrimSpaces(url))));
        // One record for the frame, one for the page.
        const std::string logged(text::TrimSpaces(url));
        EXPECT_EQ(LogLines(), (std::vector<LogLine>{{"ann", "http://a.com", "URL ACCEPTED"},
                                                    {"ann", logged, "URL DENIED"},
                                                    {"ann", logged, "URL DENIED"}}));
        ASSERT_TRUE(w.control.PageNavigates("http://a.com/", NavigationKind::Link));
        EXPECT_TRUE(w.control.AskNewWindow(url));
        EXPECT_TRUE(probed.empty());
        EXPECT_EQ(pool.size(), 1u);
        EXPECT_EQ(box->Count(), 2);
    }
}

// A refused frame stays empty: no message, one record per page load however many frames.
TEST_F(BrowserTest, FramesOfEnforcedUsersPassTheRuleAndRefusalsAreQuiet) {
    AddWebsites({"http://a.com", "http://a.com/docs", "http://b.com"});
    AddBrowserUser({.login = "ann"});
    AddBrowserUser({.login = "boss", .administrator = true});
    AddBrowserUser({.login = "free", .enforceWebsites = false});
    Assign("ann", {"http://a.com"});
    for (const char* login : {"ann", "boss", "free"}) {
        SCOPED_TRACE(login);
        const bool enforced = std::string(login) == "ann";
        std::filesystem::remove(Path("websiteslog.sec"));
        pool.clear();
        LogIn(login);
        auto box = ScriptedMsgBox::Install();
        FakeBrowserWindow& w = Open();
        ASSERT_TRUE(w.control.PageNavigates("http://a.com/", NavigationKind::Typed));
        EXPECT_TRUE(w.control.PageNavigates("http://a.com/docs/", NavigationKind::Other, false));
        EXPECT_TRUE(w.control.PageNavigates("about:blank", NavigationKind::Other, false));
        EXPECT_EQ(w.control.PageNavigates("http://b.com/", NavigationKind::Other, false), !enforced);
        EXPECT_EQ(w.control.PageNavigates("http://evil.com/frame", NavigationKind::Link, false), !enforced);
        EXPECT_EQ(box->Count(), 0);
        auto denied = [] {
            const auto lines = LogLines();
            return std::count_if(lines.begin(), lines.end(), [](const LogLine& l) { return l.status == "URL DENIED"; });
        };
        if (!enforced) {
            EXPECT_EQ(denied(), 0);
            continue;
        }
        EXPECT_EQ(w.LastStatus(), Status(165));
        EXPECT_EQ(LogLines(), (std::vector<LogLine>{{"ann", "http://a.com", "URL ACCEPTED"},
                                                    {"ann", "http://a.com/docs", "URL ACCEPTED"},
                                                    {"ann", "http://b.com/", "URL DENIED"}}));
        // The next page load may record one more.
        ASSERT_TRUE(w.control.PageNavigates("http://a.com/docs/", NavigationKind::Link));
        EXPECT_FALSE(w.control.PageNavigates("http://evil.com/frame", NavigationKind::Other, false));
        EXPECT_FALSE(w.control.PageNavigates("http://b.com/", NavigationKind::Other, false));
        EXPECT_EQ(denied(), 2);
        EXPECT_EQ(box->Count(), 0);
    }
}

// A user whose record the window could not read is not exempt: every page goes to the rule,
// which refuses while the record cannot be read, whatever the error window answers.
TEST_F(BrowserTest, WithoutItsUsersRecordTheWindowLetsNoPageThroughUntested) {
    AddWebsites({"http://a.com"});
    AddBrowserUser({.login = "free", .enforceWebsites = false});
    LogIn("free");
    std::filesystem::rename(UsersPath(), Path("users.aside"));
    std::filesystem::create_directory(UsersPath());
    for (int answer : {kErrorLeave, kErrorResume}) {
        SCOPED_TRACE(answer);
        std::vector<std::string> places;
        SetErrorHandler([&](const RaisedError&, const std::string& place, int, int) {
            places.push_back(place);
            return answer;
        });
        pool.clear();
        auto box = ScriptedMsgBox::Install();
        FakeBrowserWindow& w = Open();
        EXPECT_FALSE(w.control.PageNavigates("http://a.com/", NavigationKind::Link));
        EXPECT_NE(std::find(places.begin(), places.end(), "frmWebBrowser.IsWebsiteAllowable"), places.end());
        SetErrorHandler(nullptr);
    }
}

TEST_F(BrowserTest, RefusalsShowOneMessagePerPageLoadAndBackToARefusedPageIsCancelled) {
    AddWebsites({"http://a.com", "http://b.com"});
    AddBrowserUser({.login = "ann"});
    Assign("ann", {"http://a.com"});
    LogIn("ann");
    auto box = ScriptedMsgBox::Install();
    FakeBrowserWindow& w = Open();
    ASSERT_TRUE(w.control.PageNavigates("http://a.com", NavigationKind::Link));
    EXPECT_FALSE(w.control.PageNavigates("http://b.com", NavigationKind::Link));
    EXPECT_FALSE(w.control.PageNavigates("http://b.com/x", NavigationKind::Redirect));
    EXPECT_EQ(box->Count(), 1);
    ASSERT_TRUE(w.control.PageNavigates("http://a.com/", NavigationKind::Link));
    EXPECT_FALSE(w.control.PageNavigates("http://b.com", NavigationKind::Link));
    EXPECT_EQ(box->Count(), 2);
    const auto lines = LogLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const LogLine& l) { return l.status == "URL DENIED"; }), 3);

    // Back to a refused page is cancelled like any other way there.
    bool cancel = false;
    w.controller.brwWebBrowser_BeforeNavigate2("http://b.com/", NavigationKind::BackForward, true, cancel);
    EXPECT_TRUE(cancel);
}

// A page load begins when an allowed main-frame navigation starts, whether or not it ever
// completes (another navigation may abort it).
TEST_F(BrowserTest, ARefusedLoadAfterARefusedLoadWithNoPageBetweenShowsItsMessage) {
    AddWebsites({"http://a.com", "http://a.com/next", "http://b.com"});
    AddBrowserUser({.login = "ann"});
    Assign("ann", {"http://a.com"});
    LogIn("ann");
    auto box = ScriptedMsgBox::Install();
    FakeBrowserWindow& w = Open({}, true);
    w.control.Navigate("http://a.com");
    EXPECT_FALSE(w.control.PageNavigates("http://b.com", NavigationKind::Link));
    EXPECT_FALSE(w.control.PageNavigates("http://b.com/again", NavigationKind::Link));
    ASSERT_EQ(box->Count(), 1);
    w.control.Navigate("http://a.com/next");
    EXPECT_FALSE(w.control.PageNavigates("http://b.com/x", NavigationKind::Redirect));
    ASSERT_EQ(box->Count(), 2);
    EXPECT_EQ(box->Last().prompt, GetMessageText(425, 0, std::string("http://b.com/x")));
    const auto lines = LogLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const LogLine& l) { return l.status == "URL DENIED"; }), 3);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const LogLine& l) { return l.status == "URL ACCEPTED"; }), 0);
}

TEST_F(BrowserTest, TheBusyTimerShowsLoadingThenDoneAndPutsTheCurrentPageBack) {
    AddWebsites({"http://a.com"});
    AddBrowserUser({.login = "ann"});
    Assign("ann", {"http://a.com"});
    LogIn("ann");
    auto box = ScriptedMsgBox::Install();
    FakeBrowserWindow& w = Open();
    w.control.holdLoads = true;
    w.control.titles["http://a.com"] = "Page A";
    w.addressText = "http://a.com";
    w.controller.cboAddress_Click();
    EXPECT_TRUE(w.timer);
    w.controller.timTimer_Timer();
    EXPECT_EQ(w.LastStatus(), kLoadingText);
    EXPECT_EQ(w.caption, GetMessageText(168));
    w.control.Finish();
    // A refused address meanwhile: the box returns to the current page once idle.
    w.addressText = "http://nowhere.com";
    w.controller.cboAddress_Click();
    w.controller.timTimer_Timer();
    EXPECT_FALSE(w.timer);
    EXPECT_EQ(w.LastStatus(), kDoneText);
    EXPECT_EQ(w.caption, "Page A");
    EXPECT_EQ(w.addressText, "http://a.com");

    // Stop ends the busy display and leaves the status text as it was.
    w.controller.ToolBar_ButtonClick("Refresh");
    EXPECT_TRUE(w.timer);
    w.controller.timTimer_Timer();
    const std::size_t statuses = w.statuses.size();
    w.controller.ToolBar_ButtonClick("STOP");
    EXPECT_FALSE(w.timer);
    EXPECT_EQ(w.statuses.size(), statuses);
    EXPECT_EQ(w.control.calls.back(), "Stop");
}

TEST_F(BrowserTest, TheToolBarCommandsReachTheControlUntested) {
    AddBrowserUser({.login = "ann"});
    LogIn("ann");
    FakeBrowserWindow& w = Open();
    w.controller.ToolBar_ButtonClick("print");
    ASSERT_EQ(w.control.commands.size(), 1u);
    EXPECT_EQ(w.control.commands[0], std::make_pair(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER));
    for (const char* key : {"Back", "Forward", "Refresh"}) w.controller.ToolBar_ButtonClick(key);
    EXPECT_EQ(w.control.calls, (std::vector<std::string>{"GoBack", "GoForward", "Refresh"}));
    w.controller.ToolBar_ButtonClick("Exit");
    EXPECT_TRUE(w.closed);
}

TEST_F(BrowserTest, TheLockDropsANonAdministratorsKeysButEnter) {
    AddBrowserUser({.login = "ann", .lock = true});
    AddBrowserUser({.login = "boss", .administrator = true, .lock = true});
    AddBrowserUser({.login = "open"});
    struct Row {
        const char* login;
        bool keeps;
    } const rows[] = {{"ann", false}, {"boss", true}, {"open", true}};
    for (const auto& r : rows) {
        LogIn(r.login);
        FakeBrowserWindow& w = Open();
        EXPECT_EQ(w.controller.cboAddress_KeyPress('a'), r.keeps) << r.login;
        auto box = ScriptedMsgBox::Install();
        w.addressText = "http://typed.com";
        EXPECT_TRUE(w.controller.cboAddress_KeyPress(13)) << r.login;
        EXPECT_EQ(box->Count(), r.keeps && std::string(r.login) == "boss" ? 0 : 1) << r.login;
    }
}

TEST(BrowserStatus, PanelsAndBlankAddresses) {
    gAuthenticatedUser = "ann";
    ::setenv("CORVANE_COMPUTER_NAME", "WS-7", 1);
    const auto panels = BrowserStatusPanels("");
    EXPECT_EQ(panels[0], GetMessageText(105) + ": ");
    EXPECT_EQ(panels[1], GetMessageText(154) + ": ann");
    EXPECT_EQ(panels[2], GetMessageText(65) + ": WS-7");
    gAuthenticatedUser.clear();
    ::unsetenv("CORVANE_COMPUTER_NAME");
    for (const char* blank : {"", "  ", "About:Blank", " http:// ", "HTTP:///"})
        EXPECT_TRUE(BrowserController::BlankURL(blank)) << blank;
    for (const char* page : {"http://a", "https://", "about:blank#x"})
        EXPECT_FALSE(BrowserController::BlankURL(page)) << page;
}

}  // namespace
}  // namespace corvane::testing

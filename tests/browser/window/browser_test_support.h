#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "browser/rule/website_rule_fixture.h"
#include "browser/window/browser_controller.h"
#include "fake_browser_window.h"
#include "logs/current_user.h"
#include "logs/website_log.h"
#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {

struct LogLine {
    std::string user, url, status;
    bool operator==(const LogLine&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const LogLine& l) {
    return os << "{" << l.user << ", " << l.url << ", " << l.status << "}";
}

// A data folder with users, websites and assignments; website logging on, "Require Login" on,
// nobody logged in, every address answering the probe.
class BrowserTest : public WebsiteRuleTest {
protected:
    void SetUp() override {
        WebsiteRuleTest::SetUp();
        gEnableWebsiteLogging = true;
        gEXEAppName = "Corvane Standard";
        UseComputerName("WS-7");
        previousProbe_ = BrowserController::SetURLProbe([this](const std::string& a) {
            probed.push_back(a);
            return probeAnswer;
        });
    }
    void TearDown() override {
        BrowserController::SetURLProbe(previousProbe_);
        pool.clear();
        gAuthenticatedUser.clear();
        gEnableWebsiteLogging = false;
        WebsiteRuleTest::TearDown();
    }

public:
    struct Rights {
        const char* login;
        bool administrator = false;
        bool internet = true;
        bool enforceWebsites = true;
        bool newWindows = false;
        bool lock = false;
        const char* homePage = "";
    };
    static void AddBrowserUser(const Rights& r) {
        User u;
        u.SetLogin(r.login);
        u.SetIsAdministrator(Flag(r.administrator));
        u.SetEnableInternetAccess(Flag(r.internet));
        u.SetEnforceWebsites(Flag(r.enforceWebsites));
        u.SetAllowNewInternetWindows(Flag(r.newWindows));
        u.SetLockAddressBar(Flag(r.lock));
        u.SetHomePage(r.homePage);
        u.AddNew();
    }
    static void LogIn(const std::string& login) { gAuthenticatedUser = login; }

    // A window loaded and shown, as the launchers open it.
    FakeBrowserWindow& Open(const std::string& startingAddress = {}, bool holdLoads = false) {
        pool.push_back(std::make_unique<FakeBrowserWindow>(pool));
        FakeBrowserWindow& w = *pool.back();
        w.controller.StartingAddress = startingAddress;
        w.control.holdLoads = holdLoads;
        w.ShowWindow();
        return w;
    }

    // A window for the login alone: no earlier window, probe or website-log record left.
    FakeBrowserWindow& OpenAfresh(const std::string& login) {
        std::filesystem::remove(Path("websiteslog.sec"));
        pool.clear();
        probed.clear();
        LogIn(login);
        return Open();
    }

    static std::vector<LogLine> LogLines() {
        std::vector<LogLine> lines;
        WebsiteLog log;
        const std::int32_t count = log.RecordCount();
        for (std::int32_t i = 1; i <= count; ++i)
            if (log.Load(i)) lines.push_back({log.UserLogin(), log.URL(), log.Status()});
        log.CloseTable();
        return lines;
    }

    // What one navigation left: when it went ahead, no message and only "URL ACCEPTED" records;
    // when refused, one "URL DENIED" record of the address, status 165 and, unless it was a
    // frame's, message 425 naming it.
    static void ExpectNavigationOutcome(const FakeBrowserWindow& w, const ScriptedMsgBox::Guard& box,
                                        const std::string& login, const std::string& url, bool went,
                                        bool message = true) {
        const auto lines = LogLines();
        if (went) {
            EXPECT_EQ(box->Count(), 0);
            for (const auto& line : lines) EXPECT_EQ(line.status, "URL ACCEPTED");
            return;
        }
        EXPECT_EQ(lines, (std::vector<LogLine>{{login, url, "URL DENIED"}}));
        EXPECT_EQ(w.LastStatus(), GetMessageText(165));
        ASSERT_EQ(box->Count(), message ? 1 : 0);
        if (message) {
            EXPECT_EQ(box->Last().prompt, GetMessageText(425, 0, url));
        }
    }

    FakeWindowPool pool;
    std::vector<std::string> probed;
    bool probeAnswer = true;

private:
    BrowserController::URLProbe previousProbe_;
};

}  // namespace corvane::testing

#pragma once

#include <string>
#include <vector>

#include "browser/rule/website_rule_fixture.h"
#include "browser/window/browser_controller.h"
#include "fake_browser_window.h"
#include "logs/current_user.h"
#include "logs/website_log.h"
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

    static std::vector<LogLine> LogLines() {
        std::vector<LogLine> lines;
        WebsiteLog log;
        const std::int32_t count = log.RecordCount();
        for (std::int32_t i = 1; i <= count; ++i)
            if (log.Load(i)) lines.push_back({log.UserLogin(), log.URL(), log.Status()});
        log.CloseTable();
        return lines;
    }

    FakeWindowPool pool;
    std::vector<std::string> probed;
    bool probeAnswer = true;

private:
    BrowserController::URLProbe previousProbe_;
};

}  // namespace corvane::testing

// No page opens a file: address into Corvane's folders, whoever uses the browser: typed, by a
// link, a redirect, in a frame, in a new window, behind view-source:. Other file: addresses open
// for a user whose websites are not enforced.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser_test_support.h"

namespace corvane::testing {
namespace {

TEST_F(BrowserTest, FileAddressesIntoCorvanesFoldersAreRefusedForEveryUserOthersFollowTheRule) {
    AddBrowserUser({.login = "boss", .administrator = true});
    AddBrowserUser({.login = "free", .enforceWebsites = false, .newWindows = true});
    const std::string users = "file://" + UsersPath();
    const std::string other = "file://" + OutsidePath("page.html");
    enum class Way { Typed, Link, Redirect, Frame, NewWindow };
    struct Row { const char* login; Way way; std::string url; bool opens; };
    const Row rows[] = {
        {"boss", Way::Typed, users, false},
        {"boss", Way::Link, users, false},
        {"boss", Way::Typed, "view-source:" + users, false},
        {"boss", Way::Frame, "file://" + folder_ + "/", false},
        {"boss", Way::NewWindow, users, false},
        {"free", Way::Typed, "file://" + folder_, false},
        {"free", Way::Redirect, users, false},
        {"free", Way::Link, "view-source:" + users, false},
        {"free", Way::Frame, users, false},
        {"free", Way::NewWindow, "file://localhost" + folder_ + "/userlog.sec", false},
        {"free", Way::Typed, other, true},
        {"free", Way::Link, other, true},
        {"free", Way::Frame, other, true},
        {"free", Way::NewWindow, other, true},
        {"boss", Way::Link, other, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.login) + " " + r.url + " way " + std::to_string(static_cast<int>(r.way)));
        auto box = ScriptedMsgBox::Install();
        FakeBrowserWindow& w = OpenAfresh(r.login);
        switch (r.way) {
        case Way::Typed:
            w.SetAddressText(r.url);
            w.controller.cboAddress_Click();
            EXPECT_EQ(w.control.LocationURL() == r.url, r.opens);
            break;
        case Way::Link: EXPECT_EQ(w.control.PageNavigates(r.url, NavigationKind::Link), r.opens); break;
        case Way::Redirect: EXPECT_EQ(w.control.PageNavigates(r.url, NavigationKind::Redirect), r.opens); break;
        case Way::Frame: EXPECT_EQ(w.control.PageNavigates(r.url, NavigationKind::Other, false), r.opens); break;
        case Way::NewWindow:
            w.control.AskNewWindow(r.url);
            EXPECT_EQ(pool.size(), r.opens ? 2u : 1u);
            EXPECT_EQ(probed.empty(), !r.opens);
            break;
        }
        // A refused frame stays empty without a message.
        ExpectNavigationOutcome(w, box, r.login, r.url, r.opens, r.way != Way::Frame);
    }
}

}  // namespace
}  // namespace corvane::testing

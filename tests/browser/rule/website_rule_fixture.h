#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/settings/global_settings.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"

namespace corvane::testing {

// A data folder with users, a website catalogue and assignments, and "Require Login" on.
class WebsiteRuleTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        gRequireLogin = true;
    }
    void TearDown() override {
        gRequireLogin = false;
        DataFolderTest::TearDown();
    }

public:
    struct UserSpec {
        const char* login;
        bool administrator = false;
        bool enforceWebsites = true;
        bool enforceLevels = false;
        std::int32_t level = 1;
        const char* otherAccess = "";
    };

    static void AddUser(const UserSpec& s) {
        User u;
        u.SetLogin(s.login);
        u.SetIsAdministrator(Flag(s.administrator));
        u.SetEnforceWebsites(Flag(s.enforceWebsites));
        u.SetEnforceUserAccessOnWebsites(Flag(s.enforceLevels));
        u.SetAccessLevel(s.level);
        u.SetOtherAccess(s.otherAccess);
        u.AddNew();
    }

    static void AddWebsite(const std::string& url, std::int32_t level = 1, const std::string& otherAccess = "") {
        Website w;
        w.SetURL(url);
        w.SetAccessLevel(level);
        w.SetOtherAccess(otherAccess);
        w.AddNew();
    }
    static void AddWebsites(std::initializer_list<const char*> urls) {
        for (const char* url : urls) AddWebsite(url);
    }

    static void Assign(const std::string& login, std::initializer_list<const char*> urls) {
        for (const char* url : urls) {
            UserWebsite link;
            link.SetUserLogin(login);
            link.SetURL(url);
            link.AddNew();
        }
    }
};

}  // namespace corvane::testing

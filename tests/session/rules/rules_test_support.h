#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "logs/current_user.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"
#include "support/own_registry.h"

namespace corvane::testing {

struct ReportedError {
    std::int32_t number;
    std::string place;
};

// A data folder and a registry of their own, login required, nobody logged in, and an
// error handler that records each error and answers as the test says (leave by default).
class RulesTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        registry_.emplace(folder_, test_support::OwnRegistry::kRegistryOnly);
        gRequireLogin = true;
        gLanguage = 0;
        gAuthenticated = false;
        gAuthenticatedUser.clear();
        gAuthenticatedGroup.clear();
        SetErrorHandler([this](const RaisedError& e, const std::string& place, int, int) {
            errors.push_back({e.Number(), place});
            return answer;
        });
    }
    void TearDown() override {
        SetErrorHandler(nullptr);
        registry_.reset();
        gRequireLogin = false;
        gAuthenticatedUser.clear();
        gAuthenticatedGroup.clear();
        DataFolderTest::TearDown();
    }

    struct Account {
        std::string login;
        bool administrator = false;
        std::int32_t level = 1;
        std::string otherAccess;
        bool enforce = true;  // EnforceUserAccessOnPrograms
    };
    static void AddUser(std::string login, bool administrator, std::int32_t level, std::string otherAccess = "",
                        bool enforce = true) {
        AddUser(Account{std::move(login), administrator, level, std::move(otherAccess), enforce});
    }
    static void AddUser(const Account& a) {
        User user;
        user.SetLogin(a.login);
        user.SetIsAdministrator(a.administrator ? -1 : 0);
        user.SetAccessLevel(a.level);
        user.SetOtherAccess(a.otherAccess);
        user.SetEnforceUserAccessOnPrograms(a.enforce ? -1 : 0);
        user.AddNew();
    }
    static void AddProgram(const std::string& path, std::int32_t level = 1, const std::string& otherAccess = "") {
        Program program;
        program.SetProgramPathName(path);
        program.SetAccessLevel(level);
        program.SetOtherAccess(otherAccess);
        program.AddNew();
    }
    static void Assign(const std::string& login, const std::string& path) {
        UserProgram link;
        link.SetUserLogin(login);
        link.SetProgram(path);
        link.SetActive(-1);
        link.AddNew();
    }
    // A table file replaced by a folder, so that opening it fails.
    void Block(const std::string& file) const { std::filesystem::create_directories(Path(file)); }

    std::vector<ReportedError> errors;
    int answer = kErrorLeave;

private:
    std::optional<test_support::OwnRegistry> registry_;
};

}  // namespace corvane::testing

#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/settings/global_settings.h"
#include "platform/system/process_spawn.h"
#include "session/rules/rules_test_support.h"

namespace corvane::testing {

// A data folder with the program rule's tables, login required, nobody
// logged in, and every program start recorded instead of made.
class ConsoleTest : public RulesTest {
protected:
    void SetUp() override {
        RulesTest::SetUp();
        SetSpawnFunction([this](const std::vector<std::string>& argv, const std::string&) {
            starts.push_back(argv);
            return 4242;
        });
    }
    void TearDown() override {
        SetSpawnFunction(nullptr);
        gAuthenticated = false;
        RulesTest::TearDown();
    }

    struct Rights {
        bool administrator = false;
        bool internet = false;
        bool passwordCannotChange = false;
        bool programs = false;  // AddProgramsToSecureConsoleAfterLogin
    };
    static void AddAccount(const std::string& login, Rights r) {
        User user;
        user.SetLogin(login);
        user.SetIsAdministrator(r.administrator ? -1 : 0);
        user.SetAccessLevel(1);
        user.SetEnableInternetAccess(r.internet ? -1 : 0);
        user.SetPasswordCannotChange(r.passwordCannotChange ? -1 : 0);
        user.SetAddProgramsToSecureConsoleAfterLogin(r.programs ? -1 : 0);
        user.AddNew();
    }
    static void AddCatalogueProgram(const std::string& path, const std::string& description) {
        Program program;
        program.SetProgramPathName(path);
        program.SetDescription(description);
        program.SetAccessLevel(1);
        program.AddNew();
    }
    static void LogIn(const std::string& login) {
        gAuthenticated = true;
        gAuthenticatedUser = login;
    }
    // An executable file in the data folder; its path.
    std::string Executable(const std::string& name) const {
        WriteFile(Path(name), "#!/bin/sh\n");
        std::filesystem::permissions(Path(name), std::filesystem::perms::owner_all);
        return Path(name);
    }

    std::vector<std::vector<std::string>> starts;
};

}  // namespace corvane::testing

#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "admin/users/editor/user_editor_model.h"
#include "catalogue/program.h"
#include "catalogue/user_permission.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/error_trap.h"
#include "platform/core/program_globals.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"
#include "recordstore/user_member.h"

namespace corvane::test {

// A data folder with this computer named "WS01", and an error handler that records every
// report and answers as the test says (leave, unless told otherwise).
class EditorTest : public corvane::testing::DataFolderTest {
protected:
    struct Report {
        std::string place;
        RaisedError error;
    };

    void SetUp() override {
        DataFolderTest::SetUp();
        UseComputerName("WS01");
        gDisableFileLocking = false;
        SetErrorHandler([this](const RaisedError& e, const std::string& place, int, int) {
            reports.push_back({place, e});
            return handlerAnswer;
        });
    }
    void TearDown() override {
        SetErrorHandler(nullptr);
        gDisableFileLocking = false;
        DataFolderTest::TearDown();
    }

    static std::int32_t AddWebsite(const std::string& url) {
        Website w;
        w.SetURL(url);
        w.AddNew();
        return w.WebsiteID();
    }
    static std::int32_t AddProgram(const std::string& path) {
        Program p;
        p.SetProgramPathName(path);
        p.AddNew();
        return p.ProgramID();
    }
    template <typename Link>
    static std::int32_t AddLink(const std::string& login, const std::string& key) {
        Link link;
        link.SetUserLogin(login);
        if constexpr (std::is_same_v<Link, UserWebsite>) link.SetURL(key);
        else if constexpr (std::is_same_v<Link, UserProgram>) link.SetProgram(key);
        else if constexpr (std::is_same_v<Link, UserPermission>) link.SetPermission(key);
        else link.SetGroup(key);
        link.AddNew();
        return link.Loc();
    }
    // (login, key) of every valid link record, in record order.
    template <typename Link>
    static std::vector<std::pair<std::string, std::string>> Links() {
        std::vector<std::pair<std::string, std::string>> found;
        Link link;
        if (link.IsEmpty()) return found;
        for (link.MoveFirst(); !link.IsEOF(); link.MoveNext()) {
            if constexpr (std::is_same_v<Link, UserWebsite>) found.emplace_back(link.UserLogin(), link.URL());
            else if constexpr (std::is_same_v<Link, UserProgram>) found.emplace_back(link.UserLogin(), link.Program());
            else if constexpr (std::is_same_v<Link, UserPermission>) found.emplace_back(link.UserLogin(), link.Permission());
            else found.emplace_back(link.UserLogin(), link.Group());
        }
        return found;
    }

    static void AddUser(const std::string& login, std::int32_t level = 1) {
        User u;
        u.SetLogin(login);
        u.SetName(login + " Name");
        u.SetAccessLevel(level);
        u.AddNew();
    }
    static void DeleteUser(const std::string& login) {
        User u;
        ASSERT_TRUE(u.Load(login));
        u.Delete();
    }

    // users.sec bytes at a user record's lock fields: locked by bob on the computer given.
    void LockUser(int record, const std::string& computer, bool locked = true) {
        std::string bytes = ReadFile(UsersPath());
        corvane::testing::RawRecord lock(80);
        lock.Int16(0, locked ? -1 : 0).Text(2, 20, "bob").Text(22, 50, computer).Double(72, 46000.5);
        bytes.replace((record - 1) * corvane::testing::kUserSlot + 2080, 80, lock.Data());
        WriteFile(UsersPath(), bytes);
    }

    // "alice" with every field set to a value the editor writes back unchanged, except the
    // three it always sets True; the reserved bytes carry a pattern and the record is locked
    // from this computer. Its record number is 1.
    void WriteFixtureUser() {
        User u;
        u.SetName("Alice Example");
        u.SetLogin("alice");
        u.SetDescription("Accounts, second floor");
        u.SetEMail("alice@example.org");
        u.SetPassword("k3yK3y");
        u.SetPasswordLength(8);
        u.SetPasswordExpiry(30);
        u.SetPasswordStamp(46000.25);
        u.SetPasswordChangeNextLogin(kFlagTrue);
        u.SetPasswordCannotChange(kFlagTrue);
        u.SetIsAdministrator(kFlagFalse);
        u.SetAccessLevel(1);
        u.SetOtherAccess("Clerks");
        u.SetFailedLogins(2);
        u.SetLockout(kFlagTrue);
        u.SetMaxFailedLogins(5);
        u.SetLocked(kFlagTrue);
        u.SetDisabled(kFlagTrue);
        u.SetStartProgramsAfterLogin(kFlagTrue);
        u.SetAddProgramsToSecureConsoleAfterLogin(kFlagFalse);
        u.SetHomePage("http://intranet.example/");
        u.SetDisplayMessageAfterLogin(kFlagTrue);
        u.SetDisplayMessage("Welcome back");
        u.SetEnforceGroups(kFlagTrue);
        u.SetEnforcePermissions(kFlagTrue);
        u.SetEnableInternetAccess(kFlagTrue);
        u.SetEnforceWebsites(kFlagTrue);
        u.SetEnforceUserAccessOnPermissions(kFlagTrue);
        u.SetEnforceUserAccessOnPrograms(kFlagFalse);
        u.SetEnforceUserAccessOnWebsites(kFlagFalse);
        u.SetLockAddressBar(kFlagTrue);
        u.SetEnableSessionInfo(kFlagTrue);
        u.SetAllowNewInternetWindows(kFlagTrue);
        u.SetAllowRemoteAdmin(kFlagTrue);
        u.SetAllowRemoteDelete(kFlagTrue);
        u.SetAllowRemoteMove(kFlagTrue);
        u.SetAllowRemoteRename(kFlagTrue);
        u.SetAllowRemoteProcessTerminate(kFlagTrue);
        u.SetAllowRemoteExecute(kFlagTrue);
        u.SetAllowRemoteShutdown(kFlagTrue);
        u.SetAllowRemoteRebootRestart(kFlagTrue);
        u.SetAllowRemoteLogOff(kFlagTrue);
        u.SetAllowRemoteFileTransfer(kFlagTrue);
        u.SetAllowRemoteFileAttributes(kFlagTrue);
        u.AddNew();
        std::string bytes = ReadFile(UsersPath());
        for (std::size_t offset : {1802, 1808, 1810, 1818, 1820, 1842, 1844, 1856, 1858, 1860, 1862, 1864, 1866, 1868})
            bytes[offset] = static_cast<char>(0x5A);
        for (std::size_t offset = 1872; offset < 2078; ++offset) bytes[offset] = static_cast<char>('a' + offset % 26);
        WriteFile(UsersPath(), bytes);
        LockUser(1, "WS01");
    }

    // An editor opened on the login as the window's first activation opens it.
    UserEditorModel Open(const std::string& login) {
        UserEditorModel editor;
        editor.UserLogin = login;
        editor.Activate();
        return editor;
    }

    // Marks the rows with the given texts selected, the first of them current.
    static void Pick(AssignmentList& list, std::initializer_list<std::string> texts) {
        std::vector<bool> selected(list.Rows().size());
        int current = -1;
        for (std::size_t i = 0; i < list.Rows().size(); ++i)
            for (const auto& t : texts)
                if (list.Rows()[i].text == t) {
                    selected[i] = true;
                    if (current < 0) current = static_cast<int>(i);
                }
        list.SetSelection(selected, current);
    }
    static std::vector<std::string> Texts(const AssignmentList& list) {
        std::vector<std::string> texts;
        for (const auto& row : list.Rows()) texts.push_back(row.text);
        return texts;
    }

    std::vector<Report> reports;
    int handlerAnswer = kErrorLeave;
};

}  // namespace corvane::test

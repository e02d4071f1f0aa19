#include <gtest/gtest.h>

#include "login_test_support.h"
#include "messages/message_catalogue.h"
#include "platform/core/text.h"
#include "session/login/password_change.h"
#include "support/faulty_record_io.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

using Kind = PasswordChange::Kind;
using Focus = PasswordChange::Focus;

struct Row {
    const char* name;
    Kind kind;
    std::int16_t minLength;
    std::string oldPassword, newPassword, confirm;
    std::string message;  // "" when valid
    Focus focus;
};

class PasswordChangeTest : public LoginTest {};

TEST_F(PasswordChangeTest, ChecksInTheirOrder) {
    const std::string tooShort = "Password must be at least 6 character(s) on this account.";
    const std::string noMatch = GetMessageText(434), wrongOld = GetMessageText(435);
    const std::vector<Row> rows = {
        {"wrong old and too short: only the first", Kind::kChange, 6, "nope", "abc", "abc", wrongOld, Focus::kOldPassword},
        {"old in other case", Kind::kChange, 0, "SECRET", "new", "new", wrongOld, Focus::kOldPassword},
        {"old with spaces around", Kind::kChange, 0, "  secret ", "new", "new", "", Focus::kNone},
        {"five letters in spaces", Kind::kChange, 6, "secret", " abcde ", " abcde ", tooShort, Focus::kNewPassword},
        {"spaces only", Kind::kSet, 6, "", "      ", "      ", tooShort, Focus::kNewPassword},
        {"exactly the minimum", Kind::kSet, 6, "", "abcdef", "abcdef", "", Focus::kNone},
        {"confirmation in other case", Kind::kChange, 0, "secret", "fresh", "FRESH", noMatch, Focus::kNewPassword},
        {"confirmation with spaces", Kind::kSet, 0, "", "fresh", " fresh ", "", Focus::kNone},
        {"set: no old password asked", Kind::kSet, 0, "whatever", "a", "a", "", Focus::kNone},
        {"set: minimum 0 takes empty", Kind::kSet, 0, "", "", "", "", Focus::kNone},
        {"change: minimum 0 takes empty", Kind::kChange, 0, "secret", "", "", "", Focus::kNone},
        {"non-ASCII counts by character", Kind::kSet, 6, "", "ñandú1", "ñandú1", "", Focus::kNone},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(Path("users.sec"));
        AddUser({.minLength = row.minLength});
        auto box = ScriptedMsgBox::Install();
        PasswordChange change(row.kind, "frmX");
        change.UserLogin = "ANN";
        change.LoadData();
        ASSERT_TRUE(change.Loaded());
        EXPECT_EQ(change.StoredLogin(), "ann");
        EXPECT_EQ(change.ValidateData(row.oldPassword, row.newPassword, row.confirm), row.message.empty());
        if (row.message.empty()) {
            EXPECT_EQ(box->Count(), 0);
        } else {
            ASSERT_EQ(box->Count(), 1);
            EXPECT_EQ(box->Last().prompt, row.message);
            EXPECT_EQ(box->Last().buttons, 48);
            EXPECT_EQ(box->Last().title, "Corvane");
        }
        EXPECT_EQ(change.FocusAfterRefusal(), row.focus);
    }
}

TEST_F(PasswordChangeTest, SaveStoresTheTrimmedPasswordHashedAndStamped) {
    AddUser({.password = "old"});
    SetNow({2024, 7, 1, 9, 30, 0});
    for (const std::string& typed : {std::string("  twenty-characters!!!  "), std::string()}) {
        PasswordChange change(Kind::kSet, "frmSetPassword");
        change.UserLogin = "ann";
        change.LoadData();
        ASSERT_TRUE(change.SaveData(typed));
        const auto u = Stored("ann");
        EXPECT_TRUE(IsHashOf(u->Password(), text::Trim(typed)));
        if (!typed.empty()) {
            EXPECT_FALSE(IsHashOf(u->Password(), typed));  // spaces dropped first
        }
        EXPECT_EQ(u->PasswordStamp(), *FromParts({2024, 7, 1, 9, 30, 0}));
    }
    EXPECT_TRUE(errors.empty());
}

// A disk that fails while the new password is written: the dialog reports the failure and
// the old password still opens the account, as read afresh by the next login.
TEST_F(PasswordChangeTest, FailedWriteReportsAndTheOldPasswordStillWorks) {
    using test_support::FaultyRecordIo;
    for (auto [kind, form] : {std::pair{Kind::kChange, "frmChangePassword"}, std::pair{Kind::kSet, "frmSetPassword"}}) {
        for (const auto& fault : test_support::DiskFaults()) {
            SCOPED_TRACE(std::string(form) + ", " + fault.what);
            std::filesystem::remove(Path("users.sec"));
            AddUser({});
            errors.clear();
            PasswordChange change(kind, form);
            change.UserLogin = "ann";
            change.LoadData();
            ASSERT_TRUE(change.Loaded());
            FaultyRecordIo io;
            fault.arm(io);
            bool saved = true;
            {
                test_support::RecordIoScope scope(io);
                saved = change.SaveData("fresh");
            }
            EXPECT_FALSE(saved);
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_EQ(errors[0].place, std::string(form) + ".SaveData");
            EXPECT_EQ(Decode(Stored("ann")->Password()), "secret");
            EXPECT_FALSE(std::filesystem::exists(Path("users.sec-journal")));
        }
    }
}

TEST_F(PasswordChangeTest, MissingAccountGoesToTheTrapAndStoresNothing) {
    AddUser({});
    for (auto [kind, form] : {std::pair{Kind::kChange, "frmChangePassword"}, std::pair{Kind::kSet, "frmSetPassword"}}) {
        SCOPED_TRACE(form);
        errors.clear();
        PasswordChange missing(kind, form);
        missing.UserLogin = "ghost";
        missing.LoadData();
        EXPECT_FALSE(missing.Loaded());
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].place, std::string(form) + ".LoadData");
        EXPECT_NE(errors[0].description.find("ghost"), std::string::npos);

        // The account goes while the dialog is open.
        PasswordChange gone(kind, form);
        gone.UserLogin = "ann";
        gone.LoadData();
        ASSERT_TRUE(gone.Loaded());
        std::filesystem::rename(Path("users.sec"), Path("users.bak"));
        EXPECT_FALSE(gone.SaveData("fresh"));
        ASSERT_EQ(errors.size(), 2u);
        EXPECT_EQ(errors[1].place, std::string(form) + ".SaveData");
        EXPECT_NE(errors[1].description.find("ann"), std::string::npos);
        std::filesystem::rename(Path("users.bak"), Path("users.sec"));
        EXPECT_EQ(Decode(Stored("ann")->Password()), "secret");
    }
}

TEST_F(PasswordChangeTest, OldPasswordIsCheckedAgainstEitherFormAndAHashIsStored) {
    const std::pair<const char*, bool> typedOld[] = {
        {"secret", true}, {"  secret ", true}, {"Secret", false}, {"secre", false}, {"", false}};
    for (const bool hashed : {false, true})
    for (const auto& [old, right] : typedOld) {
        SCOPED_TRACE(std::string(hashed ? "hashed, " : "old form, ") + "typed \"" + old + "\"");
        std::filesystem::remove(Path("users.sec"));
        AddUser({.hashed = hashed});
        const std::string before = Stored("ann")->Password();
        auto box = ScriptedMsgBox::Install();
        PasswordChange change(Kind::kChange, "frmChangePassword");
        change.UserLogin = "ann";
        change.LoadData();
        ASSERT_TRUE(change.Loaded());
        EXPECT_EQ(change.ValidateData(old, "fresh", "fresh"), right);
        if (right) {
            EXPECT_EQ(box->Count(), 0);
            ASSERT_TRUE(change.SaveData("fresh"));
            EXPECT_TRUE(IsHashOf(Stored("ann")->Password(), "fresh"));
        } else {
            ASSERT_EQ(box->Count(), 1);
            EXPECT_EQ(box->Last().prompt, GetMessageText(435));
            EXPECT_EQ(change.FocusAfterRefusal(), Focus::kOldPassword);
            EXPECT_EQ(Stored("ann")->Password(), before);
        }
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(PasswordChangeTest, StoredPasswordThatCanMatchNothingKeepsTheChangeClosed) {
    for (const std::string damaged : {"abc", "$s$", "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb", "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7F!!",
                                      // costs beyond twice the default's work
                                      "$s$15.8.2$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA",
                                      "$s$20.32.8$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA"}) {
        SCOPED_TRACE(damaged);
        std::filesystem::remove(Path("users.sec"));
        AddUser({.storedPassword = damaged});
        errors.clear();
        PasswordChange change(Kind::kChange, "frmChangePassword");
        change.UserLogin = "ann";
        change.LoadData();
        EXPECT_FALSE(change.Loaded());
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].place, "frmChangePassword.LoadData");
        // Even asked, it takes no old password.
        auto box = ScriptedMsgBox::Install();
        for (const char* old : {"", "secret", "abc"}) EXPECT_FALSE(change.ValidateData(old, "n", "n"));

        PasswordChange set(Kind::kSet, "frmSetPassword");
        set.UserLogin = "ann";
        set.LoadData();
        EXPECT_TRUE(set.Loaded());  // setting needs no old password
    }
}

}  // namespace
}  // namespace corvane::testing

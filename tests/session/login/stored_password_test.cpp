#include <gtest/gtest.h>

#include "login_test_support.h"
#include "session/login/stored_password.h"

namespace corvane::testing {
namespace {

class StoredPassword : public LoginTest {};

TEST_F(StoredPassword, BothFormsMatchOnlyTheirPassword) {
    struct Row {
        const char* name;
        std::string stored;
        std::string typed;
        bool trimDecoded;
        bool matches;
    };
    const std::string oldSpaced = Encode(" pw ");  // never written by the program, but readable
    const std::vector<Row> rows = {
        {"old form", Encode("secret"), "secret", false, true},
        {"old form, other case", Encode("secret"), "Secret", false, false},
        {"old form, one more", Encode("secret"), "secrets", false, false},
        {"old form, empty", Encode(""), "", false, true},
        {"old form decoded with spaces, trimmed", oldSpaced, "pw", true, true},
        {"old form decoded with spaces, as decoded", oldSpaced, "pw", false, false},
        {"old form decoded with spaces, typed so", oldSpaced, " pw ", false, true},
        {"hash", MakePasswordHash("secret"), "secret", false, true},
        {"hash, other case", MakePasswordHash("secret"), "SECRET", true, false},
        {"hash, spaces typed", MakePasswordHash("secret"), " secret", true, false},
        {"hash of empty", MakePasswordHash(""), "", false, true},
        {"hash of empty, one typed", MakePasswordHash(""), "x", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(StoredPasswordMatches(row.stored, row.typed, row.trimDecoded), row.matches);
        EXPECT_EQ(IsOldPasswordForm(row.stored), row.stored[0] != '$');
        EXPECT_NO_THROW(CheckStoredPassword(row.stored));
    }
    for (const std::string damaged : {"abc", "$s$", "$s$1.1.1$AAECAwQFBgcICQoL$"}) {
        SCOPED_TRACE(damaged);
        EXPECT_THROW(CheckStoredPassword(damaged), RaisedError);
        EXPECT_THROW(StoredPasswordMatches(damaged, "", true), RaisedError);
    }
}

// The rewrite after a login changes the field only while it still holds the
// form the login checked.
TEST_F(StoredPassword, UpgradeNeverUndoesAChangeMadeMeanwhile) {
    struct Row {
        const char* name;
        std::function<void()> meanwhile;
        bool upgraded;
        std::string expected;  // the password the field holds afterwards
        bool disabled = false;  // the other workstation's change survives
    };
    const std::vector<Row> rows = {
        {"nothing", [] {}, true, "secret"},
        {"the password set elsewhere",
         [] {
             auto other = Stored("ann");
             other->SetPassword(MakePasswordHash("admins"));
             other->SaveChanges();
         },
         false, "admins"},
        {"set elsewhere by an older build",
         [] {
             auto other = Stored("ann");
             other->SetPassword(Encode("older"));
             other->SaveChanges();
         },
         false, "older"},
        {"another field changed elsewhere",
         [] {
             auto other = Stored("ann");
             other->SetDisabled(kFlagTrue);
             other->SaveChanges();
         },
         true, "secret", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(Path("users.sec"));
        AddUser({});
        User user;
        ASSERT_TRUE(user.Load("ann"));
        const std::string checked = user.Password();
        row.meanwhile();
        EXPECT_EQ(UpgradeStoredPassword(user, checked, "secret"), row.upgraded);
        const auto stored = Stored("ann");
        EXPECT_TRUE(StoredPasswordMatches(stored->Password(), row.expected, false));
        EXPECT_EQ(IsOldPasswordForm(stored->Password()), row.expected == "older");
        EXPECT_EQ(stored->Disabled() != 0, row.disabled);
    }

    // Deleted or renamed since the login loaded it: nothing is written.
    for (const bool rename : {false, true}) {
        std::filesystem::remove(Path("users.sec"));
        AddUser({});
        User user;
        ASSERT_TRUE(user.Load("ann"));
        auto other = Stored("ann");
        if (rename) {
            other->SetLogin("anna");
            other->SaveChanges();
        } else {
            other->Delete();
        }
        EXPECT_FALSE(UpgradeStoredPassword(user, user.Password(), "secret"));
        User after;
        if (rename) {
            ASSERT_TRUE(after.Load("anna"));
            EXPECT_TRUE(IsOldPasswordForm(after.Password()));
        } else {
            EXPECT_FALSE(after.Load("ann"));
        }
    }

    // A hash is never rewritten.
    std::filesystem::remove(Path("users.sec"));
    AddUser({.hashed = true});
    User user;
    ASSERT_TRUE(user.Load("ann"));
    const std::string hash = user.Password();
    EXPECT_FALSE(UpgradeStoredPassword(user, hash, "secret"));
    EXPECT_EQ(Stored("ann")->Password(), hash);
}

}  // namespace
}  // namespace corvane::testing

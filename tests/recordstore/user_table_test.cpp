// The user table against bytes typed from the users.sec layout.
#include <gtest/gtest.h>

#include <string>

#include "platform/core/raised_error.h"
#include "recordstore/user.h"
#include "recordstore/test_support.h"

namespace corvane {
namespace {

using testing::DataFolderTest;
using testing::Int16At;
using testing::kUserData;
using testing::kUserSlot;
using testing::RawRecord;
using testing::UserRecord;

class UserTable : public DataFolderTest {
protected:
    void WriteUsers(std::initializer_list<RawRecord> records) { testing::WriteUsers(UsersPath(), records); }
    std::string SlotBytes(int n) { return SlotData("users.sec", kUserSlot, kUserData, n); }
};

RawRecord Tombstone() {
    RawRecord r(kUserData);
    r.Fill(0, 50, ' ').Fill(50, 20, ' ').Fill(70, 255, ' ').Fill(425, 50, ' ').Int16(2078, -1);
    return r;
}

struct FlagCase {
    std::int16_t (User::*get)() const;
    void (User::*set)(std::int16_t);
    std::size_t offset;
};

// Every 16-bit property beside its offset, typed from the layout.
const FlagCase kInt16Fields[] = {
    {&User::PasswordLength, &User::SetPasswordLength, 475},
    {&User::PasswordExpiry, &User::SetPasswordExpiry, 477},
    {&User::PasswordChangeNextLogin, &User::SetPasswordChangeNextLogin, 487},
    {&User::PasswordCannotChange, &User::SetPasswordCannotChange, 489},
    {&User::IsAdministrator, &User::SetIsAdministrator, 491},
    {&User::Lockout, &User::SetLockout, 519},
    {&User::MaxFailedLogins, &User::SetMaxFailedLogins, 521},
    {&User::Locked, &User::SetLocked, 523},
    {&User::Disabled, &User::SetDisabled, 525},
    {&User::StartProgramsAfterLogin, &User::SetStartProgramsAfterLogin, 527},
    {&User::AddProgramsToSecureConsoleAfterLogin, &User::SetAddProgramsToSecureConsoleAfterLogin, 529},
    {&User::DisplayMessageAfterLogin, &User::SetDisplayMessageAfterLogin, 786},
    {&User::EnforceGroups, &User::SetEnforceGroups, 1788},
    {&User::EnforcePermissions, &User::SetEnforcePermissions, 1790},
    {&User::EnableInternetAccess, &User::SetEnableInternetAccess, 1792},
    {&User::EnforceWebsites, &User::SetEnforceWebsites, 1794},
    {&User::EnforceUserAccessOnPermissions, &User::SetEnforceUserAccessOnPermissions, 1796},
    {&User::EnforceUserAccessOnPrograms, &User::SetEnforceUserAccessOnPrograms, 1798},
    {&User::EnforceUserAccessOnWebsites, &User::SetEnforceUserAccessOnWebsites, 1800},
    {&User::LockAddressBar, &User::SetLockAddressBar, 1804},
    {&User::EnableSessionInfo, &User::SetEnableSessionInfo, 1806},
    {&User::AllowNewInternetWindows, &User::SetAllowNewInternetWindows, 1828},
    {&User::AllowRemoteAdmin, &User::SetAllowRemoteAdmin, 1830},
    {&User::AllowRemoteDelete, &User::SetAllowRemoteDelete, 1832},
    {&User::AllowRemoteMove, &User::SetAllowRemoteMove, 1834},
    {&User::AllowRemoteRename, &User::SetAllowRemoteRename, 1836},
    {&User::AllowRemoteProcessTerminate, &User::SetAllowRemoteProcessTerminate, 1838},
    {&User::AllowRemoteExecute, &User::SetAllowRemoteExecute, 1840},
    {&User::AllowRemoteShutdown, &User::SetAllowRemoteShutdown, 1846},
    {&User::AllowRemoteRebootRestart, &User::SetAllowRemoteRebootRestart, 1848},
    {&User::AllowRemoteLogOff, &User::SetAllowRemoteLogOff, 1850},
    {&User::AllowRemoteFileTransfer, &User::SetAllowRemoteFileTransfer, 1852},
    {&User::AllowRemoteFileAttributes, &User::SetAllowRemoteFileAttributes, 1854},
};

struct TextCase {
    std::string (User::*get)() const;
    void (User::*set)(std::string);
    std::size_t offset, width;
};

const TextCase kTextFields[] = {
    {&User::Name, &User::SetName, 0, 50},
    {&User::Login, &User::SetLogin, 50, 20},
    {&User::Description, &User::SetDescription, 70, 255},
    {&User::EMail, &User::SetEMail, 325, 100},
    {&User::Password, &User::SetPassword, 425, 50},
    {&User::OtherAccess, &User::SetOtherAccess, 495, 20},
    {&User::HomePage, &User::SetHomePage, 531, 255},
    {&User::DisplayMessage, &User::SetDisplayMessage, 788, 1000},
};

// A distinct value per field so that a field read from a neighbour's offset shows.
std::int16_t ValueFor(std::size_t offset) { return static_cast<std::int16_t>(offset == 491 ? 1 : -static_cast<int>(offset)); }
std::string TextFor(std::size_t offset) { return "t" + std::to_string(offset); }

TEST_F(UserTable, LoadReadsEveryFieldAtItsOffset) {
    RawRecord r = UserRecord("");
    for (const auto& c : kTextFields) r.Text(c.offset, c.width, "  " + TextFor(c.offset) + " ");
    for (const auto& c : kInt16Fields) r.Int16(c.offset, ValueFor(c.offset));
    r.Double(479, 45000.25).Int16(493, -3).Int32(515, 70000);
    WriteUsers({UserRecord("first"), r});

    User user;
    ASSERT_TRUE(user.Load("T50"));
    EXPECT_EQ(user.UserID(), 2);
    for (const auto& c : kTextFields) EXPECT_EQ((user.*c.get)(), TextFor(c.offset)) << c.offset;
    for (const auto& c : kInt16Fields) EXPECT_EQ((user.*c.get)(), ValueFor(c.offset)) << c.offset;
    EXPECT_EQ(user.PasswordStamp(), 45000.25);
    EXPECT_EQ(user.AccessLevel(), -3);  // widened with its sign
    EXPECT_EQ(user.FailedLogins(), 70000);
    EXPECT_TRUE(user.IsSynchronised());
    EXPECT_FALSE(user.IsDirty());
    EXPECT_FALSE(user.NoMatch());
}

TEST_F(UserTable, AddNewWritesEveryFieldAtItsOffset) {
    User user;
    for (const auto& c : kTextFields) (user.*c.set)(TextFor(c.offset));
    for (const auto& c : kInt16Fields) (user.*c.set)(ValueFor(c.offset));
    user.SetPasswordStamp(45000.5);
    user.SetAccessLevel(-2);
    user.SetFailedLogins(-70000);
    EXPECT_TRUE(user.IsDirty());
    user.AddNew();
    EXPECT_FALSE(user.IsDirty());
    EXPECT_EQ(user.UserID(), 1);

    RawRecord want(kUserData);
    for (const auto& c : kTextFields) want.Text(c.offset, c.width, TextFor(c.offset));
    for (const auto& c : kInt16Fields) want.Int16(c.offset, ValueFor(c.offset));
    want.Double(479, 45000.5).Int16(493, -2).Int32(515, -70000);
    const std::string file = ReadFile(UsersPath());
    ASSERT_EQ(file.size(), kUserData);  // a write covers exactly the data part of its slot
    EXPECT_EQ(file, want.Data());
}

TEST_F(UserTable, KeySearchTrimsIgnoresCaseAndSkipsInvalidRecords) {
    WriteUsers({
        UserRecord("bob", "deleted").Int16(2078, -1),  // deleted: never found
        UserRecord("  BOB", "second"),
        UserRecord("bob", "third"),                    // a later duplicate
        RawRecord(kUserData).Text(0, 50, "nul key"),   // key of NUL bytes: valid, matches nothing
        UserRecord("    ", "blank key"),
        UserRecord("carol", "one").Int16(2078, 1),     // Deleted 1 is not deleted
    });
    User user;
    ASSERT_TRUE(user.Load(" bob "));
    EXPECT_EQ(user.Name(), "second");
    EXPECT_EQ(user.UserID(), 2);
    EXPECT_TRUE(user.Load("CAROL"));
    EXPECT_FALSE(user.Load(""));
    EXPECT_TRUE(user.NoMatch());
    EXPECT_FALSE(user.IsSynchronised());
    EXPECT_EQ(user.Name(), "one");  // a failed Load leaves the members
    EXPECT_EQ(user.Loc(), 7);       // the search stops past the last slot

    EXPECT_EQ(user.RecordCount(), 4);
    EXPECT_EQ(user.UserCount(), 5);  // counts keys, deleted or not; the NUL key counts
}

TEST_F(UserTable, ExistsMovesOnlyTheBufferAndPosition) {
    WriteUsers({UserRecord("ann", "Ann"), UserRecord("bob", "Bob")});
    User user;
    ASSERT_TRUE(user.Load("ann"));
    user.SetName("changed");
    EXPECT_TRUE(user.Exists("BOB"));
    EXPECT_EQ(user.Loc(), 2);
    EXPECT_EQ(user.Name(), "changed");
    EXPECT_EQ(user.UserID(), 1);
    EXPECT_TRUE(user.IsDirty());
    EXPECT_FALSE(user.Exists("nobody"));
    EXPECT_TRUE(user.NoMatch());
    EXPECT_TRUE(user.IsSynchronised());
}

TEST_F(UserTable, AddNewRefusesAnEmptyKeyAndWritesNothing) {
    User user;
    user.SetName("no login");
    try {
        user.AddNew();
        FAIL() << "AddNew accepted an empty login";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), vbObjectError + 3);
        EXPECT_EQ(e.Source(), "User.AddNew");
        EXPECT_EQ(e.Description(),
                  "Data Engine Misbehaved on AddNew, Error Number: [-2147221501]\r\n"
                  "Description: Primary Key not specified in AddNew");
    }
    EXPECT_EQ(ReadFile(UsersPath()), "");

    user.SetLogin("   ");  // a key of spaces is accepted, and is blank at once
    user.AddNew();
    EXPECT_EQ(user.UserID(), 1);
    EXPECT_FALSE(user.Load(""));
    EXPECT_EQ(user.RecordCount(), 0);
    EXPECT_EQ(user.UserCount(), 0);
}

TEST_F(UserTable, AddNewCutsTextAndReadsItBackTrimmed) {
    User user;
    user.SetLogin(" abcdefghijklmnopqrstuvwxyz");
    user.SetDisplayMessage(std::string(1200, 'm'));
    user.SetName("Zo\u00EB \u20AC");  // stored as Windows-1252
    user.AddNew();
    EXPECT_EQ(user.Login(), "abcdefghijklmnopqrs");
    EXPECT_EQ(user.DisplayMessage(), std::string(1000, 'm'));
    EXPECT_EQ(user.Name(), "Zo\u00EB \u20AC");
    EXPECT_EQ(SlotBytes(1).substr(0, 6), "Zo\xEB \x80 ");
    EXPECT_EQ(SlotBytes(1).substr(50, 20), " abcdefghijklmnopqrs");
}

TEST_F(UserTable, DeleteWritesTheTombstoneAndAppendsNeverReuse) {
    WriteUsers({UserRecord("ann", "Ann").Text(325, 100, "ann@x").Int16(491, -1).Int16(2080, -1),
                UserRecord("bob")});
    User user;
    user.Delete(1);
    EXPECT_EQ(SlotBytes(1), Tombstone().Data());
    EXPECT_EQ(user.Loc(), 1);
    EXPECT_FALSE(user.Load("ann"));
    EXPECT_EQ(user.RecordCount(), 1);

    user.SetLogin("cat");
    user.AddNew();
    EXPECT_EQ(user.UserID(), 3);
    EXPECT_EQ(ReadFile(UsersPath()).size(), 2 * kUserSlot + kUserData);
}

TEST_F(UserTable, DeleteOutsideTheFileIsRefusedAndWritesNothing) {
    WriteUsers({UserRecord("ann")});
    const std::string before = ReadFile(UsersPath());
    User user;
    for (std::int32_t n : {2, 5, -1}) {
        try {
            user.Delete(n);
            FAIL() << "Delete(" << n << ") was accepted";
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), vbObjectError + 10);
            EXPECT_EQ(e.Source(), "User.Delete");
            EXPECT_EQ(e.Description().rfind("Data Engine Misbehaved on Delete, Error Number: [63]", 0), 0u);
        }
    }
    user.Delete();  // never loaded anything: nothing to delete
    EXPECT_EQ(ReadFile(UsersPath()), before);
}

// Whatever a search, count, lock or NoRefresh step read after the Load, SaveChanges and
// Delete() act on the loaded record, with the bytes the plain Load-then-save flow writes.
TEST_F(UserTable, SaveChangesAndDeleteActOnTheLoadedRecord) {
    const auto fixture = [&] {
        WriteUsers({UserRecord("ann", "Ann").Int16(1802, 77).Int16(2080, 1),
                    UserRecord("bob", "Bob").Int16(1802, 88)});
    };
    fixture();
    {
        User plain;
        ASSERT_TRUE(plain.Load("ann"));
        plain.SetName("Anne");
        plain.SaveChanges();
    }
    const std::string expected = ReadFile(UsersPath());

    const std::function<void(User&)> detours[] = {
        [](User& u) { u.Exists("bob"); },
        [](User& u) { u.Exists("nobody"); },
        [](User& u) { u.UserCount(); },
        [](User& u) { u.LockRecord("bob", "x"); u.ReleaseRecordLock("bob"); },
        [](User& u) { u.MoveNext(true); },
        [](User& u) { u.IsRecordLocked("bob"); },
    };
    for (const auto& detour : detours) {
        fixture();
        User user;
        ASSERT_TRUE(user.Load("ann"));
        detour(user);
        user.SetName("Anne");
        user.SaveChanges();
        EXPECT_EQ(ReadFile(UsersPath()).substr(0, kUserSlot), expected.substr(0, kUserSlot));
        EXPECT_EQ(ReadFile(UsersPath()).substr(kUserSlot, 70), expected.substr(kUserSlot, 70));
    }

    fixture();
    User user;
    ASSERT_TRUE(user.Load("bob"));
    user.Exists("ann");
    user.Delete();
    EXPECT_EQ(SlotBytes(2), Tombstone().Data());
    EXPECT_TRUE(user.Exists("ann"));
}

TEST_F(UserTable, SaveChangesWritesOnlyWhenLoadedAndDirty) {
    WriteUsers({UserRecord("ann", "Ann")});
    const std::string before = ReadFile(UsersPath());
    User user;
    EXPECT_FALSE(user.Load("nobody"));
    user.SetName("x");
    user.SaveChanges();  // not synchronised
    ASSERT_TRUE(user.Load("ann"));
    user.SaveChanges();  // not dirty
    EXPECT_EQ(ReadFile(UsersPath()), before);

    user.SetName("  Spaced name that is far too long for its fifty character field  ");
    user.SaveChanges();
    EXPECT_FALSE(user.IsDirty());
    EXPECT_EQ(user.Name(), "  Spaced name that is far too long for its fifty character field  ");
    EXPECT_EQ(SlotBytes(1).substr(0, 50), "  Spaced name that is far too long for its fifty c");
}

TEST_F(UserTable, ReservedFieldsAreCarriedButNotCopied) {
    RawRecord r = UserRecord("ann", "Ann");
    r.Int16(1802, 11).Double(1810, 2.5).Int16(1842, 7).Int16(1844, -8).Int32(1868, 99);
    r.Text(1872, 50, "reserved").Double(2070, 3.5);
    WriteUsers({r});

    User user;
    ASSERT_TRUE(user.Load("ann"));
    user.SetName("Ann B");
    user.SaveChanges();
    RawRecord saved = r;
    saved.Text(0, 50, "Ann B");
    EXPECT_EQ(SlotBytes(1), saved.Data());

    User copy;
    copy.CopyObject(&user);
    EXPECT_FALSE(copy.IsDirty());
    EXPECT_EQ(copy.UserID(), 1);
    copy.SetLogin("copy");
    copy.AddNew();
    EXPECT_EQ(Int16At(SlotBytes(2), 1842), 0);
    EXPECT_EQ(Int16At(SlotBytes(2), 1802), 0);

    user.Clear();  // the hidden members stay, as does the buffer
    EXPECT_EQ(user.Name(), "");
    EXPECT_EQ(user.UserID(), 0);
    user.SetLogin("cleared");
    user.AddNew();
    EXPECT_EQ(Int16At(SlotBytes(3), 1842), 7);
    EXPECT_EQ(Int16At(SlotBytes(3), 1844), -8);
    EXPECT_EQ(Int16At(SlotBytes(3), 1802), 11);
}

TEST_F(UserTable, AppendedRecordsAreNeverBornDeletedOrLocked) {
    WriteUsers({UserRecord("ann", "Ann").Int16(2080, -1).Text(2082, 20, "admin").Text(2102, 50, "PC1").Double(2152, 5.0)});
    User user;
    ASSERT_TRUE(user.Load("ann"));
    {
        User other;
        other.Delete(1);
    }
    user.RecordCount();  // reads record 1 back: the buffer now holds the tombstone
    user.SetLogin("bea");
    user.AddNew();
    EXPECT_TRUE(user.Load("bea"));
    const std::string bea = SlotBytes(2);
    EXPECT_EQ(Int16At(bea, 2078), 0);
    EXPECT_EQ(bea.substr(2080, 80), std::string(80, '\0'));
}

TEST_F(UserTable, AccessLevelIsNarrowedWithAnOverflowCheck) {
    User user;
    user.SetLogin("wide");
    user.SetAccessLevel(40000);
    try {
        user.AddNew();
        FAIL();
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), vbObjectError + 3);
        EXPECT_EQ(e.Description(),
                  "Data Engine Misbehaved on AddNew, Error Number: [-2147221485]\r\n"
                  "Description: Data Engine Misbehaved on SaveMembers, Error Number: [6]\r\n"
                  "Description: Overflow");
    }
    EXPECT_EQ(ReadFile(UsersPath()), "");

    user.SetAccessLevel(-32768);
    user.AddNew();
    EXPECT_EQ(user.AccessLevel(), -32768);
    user.SetAccessLevel(32768);
    try {
        user.SaveChanges();
        FAIL();
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), vbObjectError + 4);
        EXPECT_EQ(e.Source(), "User.SaveChanges");
    }
    EXPECT_TRUE(user.IsDirty());
    EXPECT_EQ(Int16At(SlotBytes(1), 493), -32768);
}

TEST_F(UserTable, AccessLevelExistsMatchesOtherAccess) {
    WriteUsers({UserRecord("ann").Text(495, 20, "Auditors"), UserRecord("bob").Text(495, 20, "Ops").Int16(2078, -1)});
    User user;
    EXPECT_TRUE(user.AccessLevelExists("  auditors "));
    EXPECT_FALSE(user.NoMatch());
    EXPECT_EQ(user.Login(), "");  // nothing loaded
    EXPECT_FALSE(user.AccessLevelExists("ops"));
    EXPECT_TRUE(user.NoMatch());
}

TEST_F(UserTable, NewObjectIsEmptyAndOpensNothing) {
    User user;
    EXPECT_EQ(user.TableName(), "Users");
    EXPECT_EQ(user.TablePathName(), "");
    EXPECT_FALSE(user.IsDirty());
    EXPECT_FALSE(user.IsSynchronised());
    EXPECT_FALSE(user.NoMatch());
    EXPECT_EQ(user.Login(), "");
    EXPECT_EQ(user.PasswordStamp(), 0.0);
    EXPECT_TRUE(user.ValidRecord());  // a zero buffer: NUL key, not deleted
    EXPECT_EQ(user.RecordLocked(), 0);
    user.SetUserID(9);
    EXPECT_TRUE(user.IsDirty());
    user.SetNoMatch(true);
    EXPECT_TRUE(user.NoMatch());
    EXPECT_FALSE(std::filesystem::exists(UsersPath()));
}

}  // namespace
}  // namespace corvane

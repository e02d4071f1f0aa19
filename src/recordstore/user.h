#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "recordstore/keyed_table.h"

namespace corvane {

// The user accounts table, users.sec: slot 4,176 bytes, data 2,160, key Login, identity
// UserID (the record number), TableName "Users". Flags are raw int16_t (see Flag()); texts
// are UTF-8, trimmed when loaded and cut to their width when written.
class User : public KeyedTable {
public:
    // Field ids in file order (offsets in user.cpp and docs/record-files.md).
    enum Field : int {
        kName, kLogin, kDescription, kEMail, kPassword, kPasswordLength, kPasswordExpiry,
        kPasswordStamp, kPasswordChangeNextLogin, kPasswordCannotChange, kIsAdministrator,
        kAccessLevel, kOtherAccess, kFailedLogins, kLockout, kMaxFailedLogins, kLocked, kDisabled,
        kStartProgramsAfterLogin, kAddProgramsToSecureConsoleAfterLogin, kHomePage,
        kDisplayMessageAfterLogin, kDisplayMessage, kEnforceGroups, kEnforcePermissions,
        kEnableInternetAccess, kEnforceWebsites, kEnforceUserAccessOnPermissions,
        kEnforceUserAccessOnPrograms, kEnforceUserAccessOnWebsites, kReserved1802,
        kLockAddressBar, kEnableSessionInfo, kReserved1808, kReserved1810, kReserved1818,
        kReserved1820, kAllowNewInternetWindows, kAllowRemoteAdmin, kAllowRemoteDelete,
        kAllowRemoteMove, kAllowRemoteRename, kAllowRemoteProcessTerminate, kAllowRemoteExecute,
        kReserved1842, kReserved1844, kAllowRemoteShutdown, kAllowRemoteRebootRestart,
        kAllowRemoteLogOff, kAllowRemoteFileTransfer, kAllowRemoteFileAttributes, kReserved1856,
        kReserved1858, kReserved1860, kReserved1862, kReserved1864, kReserved1866, kReserved1868,
        kReserved1872, kReserved1922, kReserved1972, kReserved2022, kReserved2042, kReserved2062,
        kReserved2070, kDeleted, kRecordLocked, kRecordLockedBy, kRecordLockedOn, kRecordLockedAt,
    };

    User();
    static const RecordDescription& Table();

    std::int32_t UserID() const { return Identity(); }
    void SetUserID(std::int32_t v) { SetIdentity(v); }
    std::int16_t IsAdministrator() const { return Int16Field(kIsAdministrator); }
    void SetIsAdministrator(std::int16_t v) { SetInt16Field(kIsAdministrator, v); }
    std::string Login() const { return TextField(kLogin); }
    void SetLogin(std::string v) { SetTextField(kLogin, std::move(v)); }
    std::string Password() const { return TextField(kPassword); }
    void SetPassword(std::string v) { SetTextField(kPassword, std::move(v)); }
    std::int16_t PasswordLength() const { return Int16Field(kPasswordLength); }
    void SetPasswordLength(std::int16_t v) { SetInt16Field(kPasswordLength, v); }
    std::int16_t PasswordExpiry() const { return Int16Field(kPasswordExpiry); }
    void SetPasswordExpiry(std::int16_t v) { SetInt16Field(kPasswordExpiry, v); }
    OleDate PasswordStamp() const { return DateField(kPasswordStamp); }
    void SetPasswordStamp(OleDate v) { SetDateField(kPasswordStamp, v); }
    std::int16_t PasswordChangeNextLogin() const { return Int16Field(kPasswordChangeNextLogin); }
    void SetPasswordChangeNextLogin(std::int16_t v) { SetInt16Field(kPasswordChangeNextLogin, v); }
    std::int16_t PasswordCannotChange() const { return Int16Field(kPasswordCannotChange); }
    void SetPasswordCannotChange(std::int16_t v) { SetInt16Field(kPasswordCannotChange, v); }
    std::string Name() const { return TextField(kName); }
    void SetName(std::string v) { SetTextField(kName, std::move(v)); }
    std::string Description() const { return TextField(kDescription); }
    void SetDescription(std::string v) { SetTextField(kDescription, std::move(v)); }
    std::string EMail() const { return TextField(kEMail); }
    void SetEMail(std::string v) { SetTextField(kEMail, std::move(v)); }
    std::string OtherAccess() const { return TextField(kOtherAccess); }
    void SetOtherAccess(std::string v) { SetTextField(kOtherAccess, std::move(v)); }
    std::int32_t AccessLevel() const { return Int32Field(kAccessLevel); }
    void SetAccessLevel(std::int32_t v) { SetInt32Field(kAccessLevel, v); }
    std::int32_t FailedLogins() const { return Int32Field(kFailedLogins); }
    void SetFailedLogins(std::int32_t v) { SetInt32Field(kFailedLogins, v); }
    std::int16_t Lockout() const { return Int16Field(kLockout); }
    void SetLockout(std::int16_t v) { SetInt16Field(kLockout, v); }
    std::int16_t MaxFailedLogins() const { return Int16Field(kMaxFailedLogins); }
    void SetMaxFailedLogins(std::int16_t v) { SetInt16Field(kMaxFailedLogins, v); }
    std::int16_t Locked() const { return Int16Field(kLocked); }
    void SetLocked(std::int16_t v) { SetInt16Field(kLocked, v); }
    std::int16_t Disabled() const { return Int16Field(kDisabled); }
    void SetDisabled(std::int16_t v) { SetInt16Field(kDisabled, v); }
    std::int16_t DisplayMessageAfterLogin() const { return Int16Field(kDisplayMessageAfterLogin); }
    void SetDisplayMessageAfterLogin(std::int16_t v) { SetInt16Field(kDisplayMessageAfterLogin, v); }
    std::string DisplayMessage() const { return TextField(kDisplayMessage); }
    void SetDisplayMessage(std::string v) { SetTextField(kDisplayMessage, std::move(v)); }
    std::int16_t EnforceGroups() const { return Int16Field(kEnforceGroups); }
    void SetEnforceGroups(std::int16_t v) { SetInt16Field(kEnforceGroups, v); }
    std::int16_t EnforcePermissions() const { return Int16Field(kEnforcePermissions); }
    void SetEnforcePermissions(std::int16_t v) { SetInt16Field(kEnforcePermissions, v); }
    std::int16_t EnforceUserAccessOnPermissions() const { return Int16Field(kEnforceUserAccessOnPermissions); }
    void SetEnforceUserAccessOnPermissions(std::int16_t v) { SetInt16Field(kEnforceUserAccessOnPermissions, v); }
    std::int16_t StartProgramsAfterLogin() const { return Int16Field(kStartProgramsAfterLogin); }
    void SetStartProgramsAfterLogin(std::int16_t v) { SetInt16Field(kStartProgramsAfterLogin, v); }
    std::int16_t AddProgramsToSecureConsoleAfterLogin() const { return Int16Field(kAddProgramsToSecureConsoleAfterLogin); }
    void SetAddProgramsToSecureConsoleAfterLogin(std::int16_t v) { SetInt16Field(kAddProgramsToSecureConsoleAfterLogin, v); }
    std::int16_t EnforceUserAccessOnPrograms() const { return Int16Field(kEnforceUserAccessOnPrograms); }
    void SetEnforceUserAccessOnPrograms(std::int16_t v) { SetInt16Field(kEnforceUserAccessOnPrograms, v); }
    std::int16_t EnableInternetAccess() const { return Int16Field(kEnableInternetAccess); }
    void SetEnableInternetAccess(std::int16_t v) { SetInt16Field(kEnableInternetAccess, v); }
    std::int16_t EnforceWebsites() const { return Int16Field(kEnforceWebsites); }
    void SetEnforceWebsites(std::int16_t v) { SetInt16Field(kEnforceWebsites, v); }
    std::string HomePage() const { return TextField(kHomePage); }
    void SetHomePage(std::string v) { SetTextField(kHomePage, std::move(v)); }
    std::int16_t EnforceUserAccessOnWebsites() const { return Int16Field(kEnforceUserAccessOnWebsites); }
    void SetEnforceUserAccessOnWebsites(std::int16_t v) { SetInt16Field(kEnforceUserAccessOnWebsites, v); }
    std::int16_t LockAddressBar() const { return Int16Field(kLockAddressBar); }
    void SetLockAddressBar(std::int16_t v) { SetInt16Field(kLockAddressBar, v); }
    std::int16_t AllowNewInternetWindows() const { return Int16Field(kAllowNewInternetWindows); }
    void SetAllowNewInternetWindows(std::int16_t v) { SetInt16Field(kAllowNewInternetWindows, v); }
    std::int16_t EnableSessionInfo() const { return Int16Field(kEnableSessionInfo); }
    void SetEnableSessionInfo(std::int16_t v) { SetInt16Field(kEnableSessionInfo, v); }
    std::int16_t AllowRemoteAdmin() const { return Int16Field(kAllowRemoteAdmin); }
    void SetAllowRemoteAdmin(std::int16_t v) { SetInt16Field(kAllowRemoteAdmin, v); }
    std::int16_t AllowRemoteDelete() const { return Int16Field(kAllowRemoteDelete); }
    void SetAllowRemoteDelete(std::int16_t v) { SetInt16Field(kAllowRemoteDelete, v); }
    std::int16_t AllowRemoteMove() const { return Int16Field(kAllowRemoteMove); }
    void SetAllowRemoteMove(std::int16_t v) { SetInt16Field(kAllowRemoteMove, v); }
    std::int16_t AllowRemoteRename() const { return Int16Field(kAllowRemoteRename); }
    void SetAllowRemoteRename(std::int16_t v) { SetInt16Field(kAllowRemoteRename, v); }
    std::int16_t AllowRemoteProcessTerminate() const { return Int16Field(kAllowRemoteProcessTerminate); }
    void SetAllowRemoteProcessTerminate(std::int16_t v) { SetInt16Field(kAllowRemoteProcessTerminate, v); }
    std::int16_t AllowRemoteExecute() const { return Int16Field(kAllowRemoteExecute); }
    void SetAllowRemoteExecute(std::int16_t v) { SetInt16Field(kAllowRemoteExecute, v); }
    std::int16_t AllowRemoteShutdown() const { return Int16Field(kAllowRemoteShutdown); }
    void SetAllowRemoteShutdown(std::int16_t v) { SetInt16Field(kAllowRemoteShutdown, v); }
    std::int16_t AllowRemoteRebootRestart() const { return Int16Field(kAllowRemoteRebootRestart); }
    void SetAllowRemoteRebootRestart(std::int16_t v) { SetInt16Field(kAllowRemoteRebootRestart, v); }
    std::int16_t AllowRemoteLogOff() const { return Int16Field(kAllowRemoteLogOff); }
    void SetAllowRemoteLogOff(std::int16_t v) { SetInt16Field(kAllowRemoteLogOff, v); }
    std::int16_t AllowRemoteFileTransfer() const { return Int16Field(kAllowRemoteFileTransfer); }
    void SetAllowRemoteFileTransfer(std::int16_t v) { SetInt16Field(kAllowRemoteFileTransfer, v); }
    std::int16_t AllowRemoteFileAttributes() const { return Int16Field(kAllowRemoteFileAttributes); }
    void SetAllowRemoteFileAttributes(std::int16_t v) { SetInt16Field(kAllowRemoteFileAttributes, v); }

    // Changes the fields change sets on the account this object loaded, under the file's
    // lock, never writing a stale copy of the rest (see UpdateLoadedRecord): change receives
    // this object holding the record as it stands now. False when the account was deleted or
    // renamed since it was loaded; nothing is written then.
    bool UpdateFields(const std::function<void(User&)>& change) {
        return UpdateLoadedRecord([&] {
            change(*this);
            return true;
        });
    }

    // UpdateFields for a login's booking (the failed-login count and the Locked flag it
    // sets): a count or lock left standing by a write reported failed is harmless, so a
    // booking within one 512-byte block is written in place without a journal
    // (UpdateLoadedRecordInPlace). Every other change of an account uses UpdateFields.
    bool BookFields(const std::function<void(User&)>& change) {
        return UpdateLoadedRecordInPlace([&] {
            change(*this);
            return true;
        });
    }

    // BookFields for a booking that locks the account (change sets Locked with the rest, such
    // as the count started again): Locked goes first in a write and flush of its own, the rest
    // after it in a second. A write cut short, torn or failed anywhere therefore leaves the
    // account locked, never the rest of the booking without Locked. False as BookFields; the
    // rest is not written when the first step wrote nothing.
    bool BookLocking(const std::function<void(User&)>& change) {
        return BookFields([](User& account) { account.SetLocked(kFlagTrue); }) && BookFields(change);
    }

    // A valid record whose OtherAccess equals strAccessLevel (trimmed, without letter case);
    // sets NoMatch, loads nothing. Error +18 with Exists' text (+11), source User.AccessLevelExists.
    bool AccessLevelExists(std::string_view strAccessLevel);
    // Slots whose trimmed Login is not empty (the count of keyed records).
    std::int32_t UserCount() { return CountKeyed(); }
};

}  // namespace corvane

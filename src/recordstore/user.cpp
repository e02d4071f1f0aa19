#include "recordstore/user.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& User::Table() {
    using K = FieldKind;
    constexpr FieldRole kBuffer = FieldRole::BufferOnly;
    static const RecordDescription description = RecordDescription::Build({
        .className = "User",
        .tableName = "Users",
        .defaultFileName = "users.sec",
        .fileNameOverride = &gUserFile,
        .slotLength = 4176,
        .dataLength = 2160,
        .fields = {
            {kName, "Name", K::Text, 0, 50},
            {kLogin, "Login", K::Text, 50, 20},
            {kDescription, "Description", K::Text, 70, 255},
            {kEMail, "EMail", K::Text, 325, 100},
            {kPassword, "Password", K::Text, 425, 50},
            {kPasswordLength, "PasswordLength", K::Integer, 475, 2},
            {kPasswordExpiry, "PasswordExpiry", K::Integer, 477, 2},
            {kPasswordStamp, "PasswordStamp", K::Date, 479, 8},
            {kPasswordChangeNextLogin, "PasswordChangeNextLogin", K::Flag, 487, 2},
            {kPasswordCannotChange, "PasswordCannotChange", K::Flag, 489, 2},
            {kIsAdministrator, "IsAdministrator", K::Flag, 491, 2},
            {kAccessLevel, "AccessLevel", K::WideInteger, 493, 2},
            {kOtherAccess, "OtherAccess", K::Text, 495, 20},
            {kFailedLogins, "FailedLogins", K::Long, 515, 4},
            {kLockout, "Lockout", K::Flag, 519, 2},
            {kMaxFailedLogins, "MaxFailedLogins", K::Integer, 521, 2},
            {kLocked, "Locked", K::Flag, 523, 2},
            {kDisabled, "Disabled", K::Flag, 525, 2},
            {kStartProgramsAfterLogin, "StartProgramsAfterLogin", K::Flag, 527, 2},
            {kAddProgramsToSecureConsoleAfterLogin, "AddProgramsToSecureConsoleAfterLogin", K::Flag, 529, 2},
            {kHomePage, "HomePage", K::Text, 531, 255},
            {kDisplayMessageAfterLogin, "DisplayMessageAfterLogin", K::Flag, 786, 2},
            {kDisplayMessage, "DisplayMessage", K::Text, 788, 1000},
            {kEnforceGroups, "EnforceGroups", K::Flag, 1788, 2},
            {kEnforcePermissions, "EnforcePermissions", K::Flag, 1790, 2},
            {kEnableInternetAccess, "EnableInternetAccess", K::Flag, 1792, 2},
            {kEnforceWebsites, "EnforceWebsites", K::Flag, 1794, 2},
            {kEnforceUserAccessOnPermissions, "EnforceUserAccessOnPermissions", K::Flag, 1796, 2},
            {kEnforceUserAccessOnPrograms, "EnforceUserAccessOnPrograms", K::Flag, 1798, 2},
            {kEnforceUserAccessOnWebsites, "EnforceUserAccessOnWebsites", K::Flag, 1800, 2},
            {kReserved1802, "Reserved1802", K::Integer, 1802, 2, kBuffer},
            {kLockAddressBar, "LockAddressBar", K::Flag, 1804, 2},
            {kEnableSessionInfo, "EnableSessionInfo", K::Flag, 1806, 2},
            {kReserved1808, "Reserved1808", K::Integer, 1808, 2, kBuffer},
            {kReserved1810, "Reserved1810", K::Bytes, 1810, 8, kBuffer},
            {kReserved1818, "Reserved1818", K::Integer, 1818, 2, kBuffer},
            {kReserved1820, "Reserved1820", K::Bytes, 1820, 8, kBuffer},
            {kAllowNewInternetWindows, "AllowNewInternetWindows", K::Flag, 1828, 2},
            {kAllowRemoteAdmin, "AllowRemoteAdmin", K::Flag, 1830, 2},
            {kAllowRemoteDelete, "AllowRemoteDelete", K::Flag, 1832, 2},
            {kAllowRemoteMove, "AllowRemoteMove", K::Flag, 1834, 2},
            {kAllowRemoteRename, "AllowRemoteRename", K::Flag, 1836, 2},
            {kAllowRemoteProcessTerminate, "AllowRemoteProcessTerminate", K::Flag, 1838, 2},
            {kAllowRemoteExecute, "AllowRemoteExecute", K::Flag, 1840, 2},
            // Loaded and saved through hidden members, but never copied or cleared.
            {kReserved1842, "Reserved1842", K::Integer, 1842, 2, FieldRole::Carried},
            {kReserved1844, "Reserved1844", K::Integer, 1844, 2, FieldRole::Carried},
            {kAllowRemoteShutdown, "AllowRemoteShutdown", K::Flag, 1846, 2},
            {kAllowRemoteRebootRestart, "AllowRemoteRebootRestart", K::Flag, 1848, 2},
            {kAllowRemoteLogOff, "AllowRemoteLogOff", K::Flag, 1850, 2},
            {kAllowRemoteFileTransfer, "AllowRemoteFileTransfer", K::Flag, 1852, 2},
            {kAllowRemoteFileAttributes, "AllowRemoteFileAttributes", K::Flag, 1854, 2},
            {kReserved1856, "Reserved1856", K::Integer, 1856, 2, kBuffer},
            {kReserved1858, "Reserved1858", K::Integer, 1858, 2, kBuffer},
            {kReserved1860, "Reserved1860", K::Integer, 1860, 2, kBuffer},
            {kReserved1862, "Reserved1862", K::Integer, 1862, 2, kBuffer},
            {kReserved1864, "Reserved1864", K::Integer, 1864, 2, kBuffer},
            {kReserved1866, "Reserved1866", K::Integer, 1866, 2, kBuffer},
            {kReserved1868, "Reserved1868", K::Long, 1868, 4, kBuffer},
            {kReserved1872, "Reserved1872", K::Text, 1872, 50, kBuffer},
            {kReserved1922, "Reserved1922", K::Text, 1922, 50, kBuffer},
            {kReserved1972, "Reserved1972", K::Text, 1972, 50, kBuffer},
            {kReserved2022, "Reserved2022", K::Text, 2022, 20, kBuffer},
            {kReserved2042, "Reserved2042", K::Text, 2042, 20, kBuffer},
            {kReserved2062, "Reserved2062", K::Bytes, 2062, 8, kBuffer},
            {kReserved2070, "Reserved2070", K::Bytes, 2070, 8, kBuffer},
            {kDeleted, "Deleted", K::Flag, 2078, 2, kBuffer},
            {kRecordLocked, "RecordLocked", K::Flag, 2080, 2, kBuffer},
            {kRecordLockedBy, "RecordLockedBy", K::Text, 2082, 20, kBuffer},
            {kRecordLockedOn, "RecordLockedOn", K::Text, 2102, 50, kBuffer},
            {kRecordLockedAt, "RecordLockedAt", K::Date, 2152, 8, kBuffer},
        },
        .keyFields = {"Login"},
        .identityName = "UserID",
        .deleteSpaceFields = {"Name", "Login", "Description", "Password"},
        .addNewKeyField = "Login",
    });
    return description;
}

User::User() : KeyedTable(Table()) {}

bool User::AccessLevelExists(std::string_view strAccessLevel) {
    return ExistsByField("AccessLevelExists", kOtherAccess, strAccessLevel);
}

}  // namespace corvane

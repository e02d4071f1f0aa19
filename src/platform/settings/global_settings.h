#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/core/program_globals.h"

namespace corvane {

// The 80 global settings, held for the whole run. Each is stored under the
// name in its comment, as a registry value of section "Global" or as a key of
// the INI file's "Global Settings" section. "Disable File Locking" and
// "Data Path" are gDisableFileLocking and gDataPath of program_globals.h.
// Their values in memory start as False, 0 or empty.

//  1 "Disable File Locking": gDisableFileLocking (program_globals.h)
extern bool gShowLoginLogo;                             //  2 "Show Login Logo"
extern std::string gLoginLogoPathName;                  //  3 "Login Logo PathName"
extern bool gCannotCancelSecureConsole;                 //  4 "Cannot Cancel Secure Console"
extern bool gAlwaysShowSecureConsole;                   //  5 "Always Show Secure Console"
extern bool gStartUpWithWindows;                        //  6 "Start Up With Windows"
extern bool gActionAfterLogout;                         //  7 "Action After Logout"
extern std::int32_t gLogoutAction;                      //  8 "Logout Action"
//  9 "Data Path": gDataPath (program_globals.h)
extern std::string gEXEAppName;                         // 10 "EXE App Name"
extern std::string gLoginCaption;                       // 11 "Login Caption"
extern std::int32_t gLanguage;                          // 12 "Language"
extern bool gRequireLogin;                              // 13 "Require Login"
extern bool gRememberLastLogin;                         // 14 "Remember Last Login"
extern bool gDisableUserLogging;                        // 15 "Disable User Logging"
extern bool gEnableFileTransferLogging;                 // 16 "Enable File Transfer Logging"
extern bool gEnableActivityLogging;                     // 17 "Enable Activity Logging"
extern bool gEnableRemoteActivityLogging;               // 18 "Enable Remote Activity Logging"
extern bool gEnableWebsiteLogging;                      // 19 "Enable Website Logging"
extern std::int32_t gMaxUserLogFileSize;                // 20 "Max User Log File Size"
extern std::int32_t gMaxUserLogFileSizeAction;          // 21 "Max User Log File Size Action"
extern std::int32_t gMaxFileTransferLogFileSize;        // 22 "Max File Transfer Log File Size"
extern std::int32_t gMaxFileTransferLogFileSizeAction;  // 23 "Max File Transfer Log File Size Action"
extern std::int32_t gMaxActivityLogFileSize;            // 24 "Max Activity Log File Size"
extern std::int32_t gMaxActivityLogFileSizeAction;      // 25 "Max Activity Log File Size Action"
extern std::int32_t gMaxRemoteActivityLogFileSize;      // 26 "Max Remote Activity Log File Size"
extern std::int32_t gMaxRemoteActivityLogFileSizeAction;// 27 "Max Remote Activity Log File Size Action"
extern std::int32_t gMaxWebsiteLogFileSize;             // 28 "Max Website Log File Size"
extern std::int32_t gMaxWebsiteLogFileSizeAction;       // 29 "Max Website Log File Size Action"
extern bool gShowInvalidLoginMessage;                   // 30 "Show Invalid Login Message"
extern std::string gInvalidLoginMessage;                // 31 "Invalid Login Message"
extern bool gBroadcastInvalidLogin;                     // 32 "Broadcast Invalid Login"
extern std::string gBroadcastInvalidLoginMessage;       // 33 "Broadcast Invalid Login Message"
extern bool gNotifyAdminsForInvalidLogin;               // 34 "Notify Admins For Invalid Login"
extern std::string gNotifyAdminsForInvalidLoginMessage; // 35 "Notify Admins For Invalid Login Message"
extern bool gLoginAlwaysOnTop;                          // 36 "Login Always On Top"
extern bool gHideDesktopDuringLogin;                    // 37 "Hide Desktop During Login"
extern bool gLockTaskManagerDuringLogin;                // 38 "Lock Task Manager During Login"
extern bool gCloseDownloadWindowAfterComplete;          // 39 "Close Download Window After Complete"
extern bool gCloseUploadWindowAfterComplete;            // 40 "Close Upload Window After Complete"
extern std::int32_t gPortsSelection;                    // 41 "Ports Selection"
extern std::int32_t gClientPort;                        // 42 "Client Port"
extern std::int32_t gServerPort;                        // 43 "Server Port"
extern std::int32_t gUploadPort;                        // 44 "Upload Port"
extern std::int32_t gDownloadPort;                      // 45 "Download Port"
extern bool gAllowRemoteAdmin;                          // 46 "Allow Remote Admin"
extern bool gAllowRemoteDelete;                         // 47 "Allow Remote Delete"
extern bool gAllowRemoteMove;                           // 48 "Allow Remote Move"
extern bool gAllowRemoteRename;                         // 49 "Allow Remote Rename"
extern bool gAllowRemoteProcessTerminate;               // 50 "Allow Remote Process Terminate"
extern bool gAllowRemoteExecution;                      // 51 "Allow Remote Execution"
extern bool gAllowRemoteRegistry;                       // 52 "Allow Remote Registry"
extern bool gAllowRemoteDesktop;                        // 53 "Allow Remote Desktop"
extern bool gAllowRemoteShutdown;                       // 54 "Allow Remote Shutdown"
extern bool gAllowRemoteRebootRestart;                  // 55 "Allow Remote Reboot Restart"
extern bool gAllowRemoteLogOff;                         // 56 "Allow Remote LogOff"
extern bool gAllowRemoteFileTransfer;                   // 57 "Allow Remote File Transfer"
extern bool gAllowRemoteFileAttributes;                 // 58 "Allow Remote File Attributes"
extern bool gDisplayServerErrors;                       // 59 "Display Server Errors"
extern bool gDisplayServerStatusMessages;               // 60 "Display Server Status Messages"
extern bool gEnableAutoDisconnect;                      // 61 "Enable Auto Disconnect"
extern std::int16_t gInactivityMins;                    // 62 "Inactivity Mins"
extern bool gWarnBeforeAutoDisconnect;                  // 63 "Warn Before Auto Disconnect"
extern bool gCannotCancelLogin;                         // 64 "Cannot Cancel Login"
extern bool gClipMouseToLogin;                          // 65 "Clip Mouse To Login"
extern bool gHideTaskBarDuringLogin;                    // 66 "Hide TaskBar During Login"
extern bool gShowCorvaneAtNextLogin;                    // 67 "Show Corvane At Next Login"
extern bool gResetLockdownOptionsAtNextLogin;           // 68 "Reset Lockdown Options At Next Login"
extern bool gEnableBackupWarning;                       // 69 "Enable Backup Warning"
extern std::int32_t gBackupWarningDays;                 // 70 "Backup Warning Days"
extern bool gShowTipsOfTheDay;                          // 71 "Show Tips Of The Day"
extern std::string gTipsOfTheDayPathName;               // 72 "Tips Of The Day PathName"
extern bool gShowToolTips;                              // 73 "Show Tool Tips"
extern std::int32_t gRemoteConsoleBackColor;            // 74 "Remote Console Back Color"
extern std::int32_t gRemoteConsoleStatusColor;          // 75 "Remote Console Status Color"
extern std::int32_t gRemoteConsoleErrorColor;           // 76 "Remote Console Error Color"
extern std::string gRemoteConsoleFontName;              // 77 "Remote Console Font Name"
extern float gRemoteConsoleFontSize;                    // 78 "Remote Console Font Size"
extern bool gApplySecuritySettingsOnStartup;            // 79 "Apply Security Settings On Startup"
extern std::int32_t gSecurityLevel;                     // 80 "Security Level"

// One global setting: its stored name, its variable, and the text the
// registry load takes when the value cannot be read (nullptr: the program
// folder).
struct GlobalSetting {
    const char* name;
    std::variant<bool*, std::int32_t*, std::int16_t*, float*, std::string*> variable;
    const char* registryDefault;
};

// All 80 in their fixed load and save order.
const std::vector<GlobalSetting>& GlobalSettings();

// Move all 80 between the variables and a store. Each runs under its own
// error trap and acts on the handler's answer value by value: leave stops
// there, retry reads or writes the value again, resume skips it.
void LoadGlobalSettingsFromRegistry();
void SaveGlobalSettingsToRegistry();
// Reads the file once (never one above 1 MiB) and takes all 80 values from
// that one read; loads nothing when the path is not a file that can be read.
void LoadGlobalSettingsFromINIFile(const std::string& pathName);
// What the last LoadGlobalSettingsFromINIFile found wrong: the file missing,
// not a file, unreadable, above 1 MiB, without the "Global Settings" section,
// or cut short (a value missing, which Corvane's own save never leaves). ""
// when every value was there.
const std::string& GlobalSettingsINIProblem();
void SaveGlobalSetttingsToINIFile(const std::string& pathName);

}  // namespace corvane

#include "platform/settings/global_settings.h"

#include "platform/core/cp1252.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/ini_profile.h"
#include "platform/settings/ini_snapshot.h"
#include "platform/settings/settings_store.h"
#include "platform/settings/value_text.h"

namespace corvane {

bool gShowLoginLogo = false;
std::string gLoginLogoPathName;
bool gCannotCancelSecureConsole = false;
bool gAlwaysShowSecureConsole = false;
bool gStartUpWithWindows = false;
bool gActionAfterLogout = false;
std::int32_t gLogoutAction = 0;
std::string gEXEAppName;
std::string gLoginCaption;
std::int32_t gLanguage = 0;
bool gRequireLogin = false;
bool gRememberLastLogin = false;
bool gDisableUserLogging = false;
bool gEnableFileTransferLogging = false;
bool gEnableActivityLogging = false;
bool gEnableRemoteActivityLogging = false;
bool gEnableWebsiteLogging = false;
std::int32_t gMaxUserLogFileSize = 0;
std::int32_t gMaxUserLogFileSizeAction = 0;
std::int32_t gMaxFileTransferLogFileSize = 0;
std::int32_t gMaxFileTransferLogFileSizeAction = 0;
std::int32_t gMaxActivityLogFileSize = 0;
std::int32_t gMaxActivityLogFileSizeAction = 0;
std::int32_t gMaxRemoteActivityLogFileSize = 0;
std::int32_t gMaxRemoteActivityLogFileSizeAction = 0;
std::int32_t gMaxWebsiteLogFileSize = 0;
std::int32_t gMaxWebsiteLogFileSizeAction = 0;
bool gShowInvalidLoginMessage = false;
std::string gInvalidLoginMessage;
bool gBroadcastInvalidLogin = false;
std::string gBroadcastInvalidLoginMessage;
bool gNotifyAdminsForInvalidLogin = false;
std::string gNotifyAdminsForInvalidLoginMessage;
bool gLoginAlwaysOnTop = false;
bool gHideDesktopDuringLogin = false;
bool gLockTaskManagerDuringLogin = false;
bool gCloseDownloadWindowAfterComplete = false;
bool gCloseUploadWindowAfterComplete = false;
std::int32_t gPortsSelection = 0;
std::int32_t gClientPort = 0;
std::int32_t gServerPort = 0;
std::int32_t gUploadPort = 0;
std::int32_t gDownloadPort = 0;
bool gAllowRemoteAdmin = false;
bool gAllowRemoteDelete = false;
bool gAllowRemoteMove = false;
bool gAllowRemoteRename = false;
bool gAllowRemoteProcessTerminate = false;
bool gAllowRemoteExecution = false;
bool gAllowRemoteRegistry = false;
bool gAllowRemoteDesktop = false;
bool gAllowRemoteShutdown = false;
bool gAllowRemoteRebootRestart = false;
bool gAllowRemoteLogOff = false;
bool gAllowRemoteFileTransfer = false;
bool gAllowRemoteFileAttributes = false;
bool gDisplayServerErrors = false;
bool gDisplayServerStatusMessages = false;
bool gEnableAutoDisconnect = false;
std::int16_t gInactivityMins = 0;
bool gWarnBeforeAutoDisconnect = false;
bool gCannotCancelLogin = false;
bool gClipMouseToLogin = false;
bool gHideTaskBarDuringLogin = false;
bool gShowCorvaneAtNextLogin = false;
bool gResetLockdownOptionsAtNextLogin = false;
bool gEnableBackupWarning = false;
std::int32_t gBackupWarningDays = 0;
bool gShowTipsOfTheDay = false;
std::string gTipsOfTheDayPathName;
bool gShowToolTips = false;
std::int32_t gRemoteConsoleBackColor = 0;
std::int32_t gRemoteConsoleStatusColor = 0;
std::int32_t gRemoteConsoleErrorColor = 0;
std::string gRemoteConsoleFontName;
float gRemoteConsoleFontSize = 0;
bool gApplySecuritySettingsOnStartup = false;
std::int32_t gSecurityLevel = 0;

namespace {

const char* const kGlobalSection = "Global";
const char* const kINISection = "Global Settings";

// Converts the text first, so that a value that cannot be read (an
// overflow) leaves the variable as it was.
void Assign(const GlobalSetting& setting, const std::string& text) {
    struct Visitor {
        const std::string& text;
        void operator()(bool* v) const { *v = TextIsTrue(text); }
        void operator()(std::int32_t* v) const { *v = TextToLong(text); }
        void operator()(std::int16_t* v) const { *v = TextToInteger(text); }
        void operator()(float* v) const { *v = TextToSingle(text); }
        void operator()(std::string* v) const { *v = text; }
    };
    std::visit(Visitor{text}, setting.variable);
}

std::string TextOf(const GlobalSetting& setting) {
    struct Visitor {
        std::string operator()(bool* v) const { return BoolToText(*v); }
        std::string operator()(std::int32_t* v) const { return std::to_string(*v); }
        std::string operator()(std::int16_t* v) const { return std::to_string(*v); }
        std::string operator()(float* v) const { return SingleToText(*v); }
        std::string operator()(std::string* v) const { return *v; }
    };
    return std::visit(Visitor{}, setting.variable);
}

std::string gINIProblem = "the global settings INI file was not read";

}  // namespace

const std::vector<GlobalSetting>& GlobalSettings() {
    static const std::vector<GlobalSetting> settings = {
        {"Disable File Locking", &gDisableFileLocking, "False"},
        {"Show Login Logo", &gShowLoginLogo, "False"},
        {"Login Logo PathName", &gLoginLogoPathName, ""},
        {"Cannot Cancel Secure Console", &gCannotCancelSecureConsole, "False"},
        {"Always Show Secure Console", &gAlwaysShowSecureConsole, "False"},
        {"Start Up With Windows", &gStartUpWithWindows, "False"},
        {"Action After Logout", &gActionAfterLogout, "False"},
        {"Logout Action", &gLogoutAction, "0"},
        {"Data Path", &gDataPath, nullptr},
        {"EXE App Name", &gEXEAppName, ""},
        {"Login Caption", &gLoginCaption, ""},
        {"Language", &gLanguage, "0"},
        {"Require Login", &gRequireLogin, "False"},
        {"Remember Last Login", &gRememberLastLogin, "False"},
        {"Disable User Logging", &gDisableUserLogging, "False"},
        {"Enable File Transfer Logging", &gEnableFileTransferLogging, "False"},
        {"Enable Activity Logging", &gEnableActivityLogging, "False"},
        {"Enable Remote Activity Logging", &gEnableRemoteActivityLogging, "False"},
        {"Enable Website Logging", &gEnableWebsiteLogging, "False"},
        {"Max User Log File Size", &gMaxUserLogFileSize, "32767"},
        {"Max User Log File Size Action", &gMaxUserLogFileSizeAction, "0"},
        {"Max File Transfer Log File Size", &gMaxFileTransferLogFileSize, "32767"},
        {"Max File Transfer Log File Size Action", &gMaxFileTransferLogFileSizeAction, "0"},
        {"Max Activity Log File Size", &gMaxActivityLogFileSize, "32767"},
        {"Max Activity Log File Size Action", &gMaxActivityLogFileSizeAction, "0"},
        {"Max Remote Activity Log File Size", &gMaxRemoteActivityLogFileSize, "32767"},
        {"Max Remote Activity Log File Size Action", &gMaxRemoteActivityLogFileSizeAction, "0"},
        {"Max Website Log File Size", &gMaxWebsiteLogFileSize, "32767"},
        {"Max Website Log File Size Action", &gMaxWebsiteLogFileSizeAction, "0"},
        {"Show Invalid Login Message", &gShowInvalidLoginMessage, "False"},
        {"Invalid Login Message", &gInvalidLoginMessage, ""},
        {"Broadcast Invalid Login", &gBroadcastInvalidLogin, "False"},
        {"Broadcast Invalid Login Message", &gBroadcastInvalidLoginMessage, ""},
        {"Notify Admins For Invalid Login", &gNotifyAdminsForInvalidLogin, "False"},
        {"Notify Admins For Invalid Login Message", &gNotifyAdminsForInvalidLoginMessage, ""},
        {"Login Always On Top", &gLoginAlwaysOnTop, "False"},
        {"Hide Desktop During Login", &gHideDesktopDuringLogin, "False"},
        {"Lock Task Manager During Login", &gLockTaskManagerDuringLogin, "False"},
        {"Close Download Window After Complete", &gCloseDownloadWindowAfterComplete, "False"},
        {"Close Upload Window After Complete", &gCloseUploadWindowAfterComplete, "False"},
        {"Ports Selection", &gPortsSelection, "0"},
        {"Client Port", &gClientPort, "1001"},
        {"Server Port", &gServerPort, "1001"},
        {"Upload Port", &gUploadPort, "6971"},
        {"Download Port", &gDownloadPort, "109"},
        {"Allow Remote Admin", &gAllowRemoteAdmin, "False"},
        {"Allow Remote Delete", &gAllowRemoteDelete, "False"},
        {"Allow Remote Move", &gAllowRemoteMove, "False"},
        {"Allow Remote Rename", &gAllowRemoteRename, "False"},
        {"Allow Remote Process Terminate", &gAllowRemoteProcessTerminate, "False"},
        {"Allow Remote Execution", &gAllowRemoteExecution, "False"},
        {"Allow Remote Registry", &gAllowRemoteRegistry, "False"},
        {"Allow Remote Desktop", &gAllowRemoteDesktop, "False"},
        {"Allow Remote Shutdown", &gAllowRemoteShutdown, "False"},
        {"Allow Remote Reboot Restart", &gAllowRemoteRebootRestart, "False"},
        {"Allow Remote LogOff", &gAllowRemoteLogOff, "False"},
        {"Allow Remote File Transfer", &gAllowRemoteFileTransfer, "False"},
        {"Allow Remote File Attributes", &gAllowRemoteFileAttributes, "False"},
        {"Display Server Errors", &gDisplayServerErrors, "False"},
        {"Display Server Status Messages", &gDisplayServerStatusMessages, "False"},
        {"Enable Auto Disconnect", &gEnableAutoDisconnect, "False"},
        {"Inactivity Mins", &gInactivityMins, "300"},
        {"Warn Before Auto Disconnect", &gWarnBeforeAutoDisconnect, "False"},
        {"Cannot Cancel Login", &gCannotCancelLogin, "False"},
        {"Clip Mouse To Login", &gClipMouseToLogin, "False"},
        {"Hide TaskBar During Login", &gHideTaskBarDuringLogin, "False"},
        {"Show Corvane At Next Login", &gShowCorvaneAtNextLogin, "False"},
        {"Reset Lockdown Options At Next Login", &gResetLockdownOptionsAtNextLogin, "False"},
        {"Enable Backup Warning", &gEnableBackupWarning, "False"},
        {"Backup Warning Days", &gBackupWarningDays, "1"},
        {"Show Tips Of The Day", &gShowTipsOfTheDay, "False"},
        {"Tips Of The Day PathName", &gTipsOfTheDayPathName, ""},
        {"Show Tool Tips", &gShowToolTips, "False"},
        {"Remote Console Back Color", &gRemoteConsoleBackColor, "0"},
        {"Remote Console Status Color", &gRemoteConsoleStatusColor, "65280"},
        {"Remote Console Error Color", &gRemoteConsoleErrorColor, "255"},
        {"Remote Console Font Name", &gRemoteConsoleFontName, "Tahoma"},
        {"Remote Console Font Size", &gRemoteConsoleFontSize, "8"},
        {"Apply Security Settings On Startup", &gApplySecuritySettingsOnStartup, "False"},
        {"Security Level", &gSecurityLevel, "0"},
    };
    return settings;
}

void LoadGlobalSettingsFromRegistry() {
    const std::string place = "SettingsMod.LoadGlobalSettingsFromRegistry";
    for (const auto& setting : GlobalSettings()) {
        const bool carriedOn = RunTrapped(place, {[&] {
            const std::string fallback = setting.registryDefault ? setting.registryDefault : environment::ProgramFolder();
            Assign(setting, GetMachineSetting(kGlobalSection, setting.name, fallback));
        }});
        if (!carriedOn) return;
    }
}

void SaveGlobalSettingsToRegistry() {
    const std::string place = "SettinsMod.SaveGlobalSettingsToRegistry";
    SettingsSaveBatch batch;
    for (const auto& setting : GlobalSettings()) {
        if (!RunTrapped(place, {[&] { SaveMachineSetting(kGlobalSection, setting.name, TextOf(setting)); }})) return;
    }
}

void LoadGlobalSettingsFromINIFile(const std::string& pathName) {
    const std::string place = "SettingsMod.LoadGlobalSettingsFromINIFile";
    // One read of the file for all 80 values.
    const profile::Snapshot file = profile::Snapshot::Read(pathName);
    if (file.Status() != profile::Snapshot::State::kRead) {
        gINIProblem = pathName + " " + file.Problem();
        return;
    }
    const auto keys = file.Keys(kINISection);
    gINIProblem = keys ? "" : pathName + " holds no [" + std::string(kINISection) + "] section (empty or cut short)";
    for (const auto& setting : GlobalSettings()) {
        const std::string* found = nullptr;
        if (keys)
            for (const auto& [name, value] : *keys)
                if (text::EqualsBytes(name, setting.name)) {
                    found = &value;
                    break;
                }
        // Corvane writes every value: a file without one was cut short.
        if (!found && gINIProblem.empty())
            gINIProblem = pathName + " is cut short: it holds no \"" + std::string(setting.name) + "\" setting";
        const bool carriedOn = RunTrapped(place, {[&] { Assign(setting, found ? cp1252::ToUtf8(*found) : ""); }});
        if (!carriedOn) return;
    }
}

const std::string& GlobalSettingsINIProblem() { return gINIProblem; }

void SaveGlobalSetttingsToINIFile(const std::string& pathName) {
    const std::string place = "SettinsMod.SaveGlobalSetttingsToINIFile";
    // One rewrite of the file for the whole save, so that another workstation
    // reads all of it or none; the values gathered before a leave are written.
    std::vector<std::pair<std::string, std::string>> values;
    for (const auto& setting : GlobalSettings()) {
        const bool carriedOn = RunTrapped(place, {[&] {
            std::string text = TextOf(setting);
            std::erase(text, '\0');  // as the accessor writes a value
            values.emplace_back(setting.name, std::move(text));
        }});
        if (!carriedOn) break;
    }
    (void)profile::WriteStrings(kINISection, values, pathName);
}

}  // namespace corvane

#include "app/app_main.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "errors/error_log_file.h"
#include "lockdown/lockdown_options.h"
#include "messages/message_catalogue.h"
#include "platform/core/creation_mode.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/set_up_record.h"
#include "platform/settings/settings_store.h"
#include "platform/system/workstation.h"
#include "recordstore/data_connection.h"
#include "recordstore/data_paths.h"
#include "session/login/account_table_check.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

StartupServices& Services() {
    static StartupServices services;
    return services;
}

void SetPointer(bool starting) {
    if (Services().setStartingPointer) Services().setStartingPointer(starting);
}

}  // namespace

StartupServices SetStartupServices(StartupServices services) {
    StartupServices previous = Services();
    Services() = std::move(services);
    return previous;
}

void HideFromTaskList() {
    // Only Windows 95/98/Me needed a service process to stay off the task
    // list; here the program's lasting windows are tool windows, which the
    // task bar does not list.
}

void ApplyStartupLockdown() {
    if (gResetLockdownOptionsAtNextLogin) ResetAllLockdownOptions();
    if (GetLockdownOption(kNoTaskbar)) HideTaskbar();
    else ShowTaskbar();
    if (GetLockdownOption(kNoStartButton)) RemoveStartButton();
}

void ReportStartupProblem(std::int32_t number, const std::string& description) {
    std::string place = "AppMain.Main";
    WriteErrorLog(FormatErrorLine(RaisedError(number, "AppMain", description), place), ErrorLogPath());
}

namespace {

// A machine hive that is gone from a data folder in use (deleted, or its
// folder renamed) is no fresh install: read as defaults, "Require Login"
// would be off. The set-up record outside the data folder remembers it.
std::string VanishedMachineHive() {
    const std::string hive = registry_store::HivePath(HKEY_LOCAL_MACHINE);
    struct stat st {};
    if (::stat(hive.c_str(), &st) == 0 || errno != ENOENT) return {};  // a link to nothing too
    if (SetUpRecorded(hive)) return hive + " is missing, and it was set up";
    const std::string users = GetUserPathName();
    if (::stat(users.c_str(), &st) != 0 || st.st_size == 0) return {};
    return hive + " is missing while " + users + " holds accounts";
}

// One report of a problem that holds the run: the error log, then a message.
void ReportHeld(std::int32_t number, const std::string& problem, const std::string& consequence) {
    RunIgnoringErrors({
        [&] { ReportStartupProblem(number, problem); },
        [&] {
            ShowMsgBox(problem + ".\r\n" + consequence, kMsgExclamation,
                       GetMessageText(kMessageProgramName, gLanguage));
        },
    });
}

void ReportDamagedAccountTable(const AccountTableCheck& check) {
    ReportAccountTableDamage(check, "AppMain", "AppMain.Main");
}

}  // namespace

void HoldUnreadableSettings() {
    std::string problem = UnreadableSettingsStore();
    const bool vanished = problem.empty();
    if (vanished) problem = VanishedMachineHive();
    if (problem.empty()) return;
    // Read as defaults, "Require Login" would be off and with it every rule.
    gSettingsStoreUnreadable = true;
    gRequireLogin = true;
    // A data folder renamed or deleted with its hive inside: the missing
    // account table is the report that names it.
    if (vanished) {
        if (const AccountTableCheck check = CheckAccountTable(); check.state == AccountTableState::kDamaged) {
            ReportDamagedAccountTable(check);
            return;
        }
    }
    ReportHeld(ERROR_REGISTRY_IO_FAILED, "The settings cannot be read: " + problem,
               "Corvane requires a login and changes no setting until they can be read.");
}

void HoldDamagedAccountTable() {
    // Settings that could not be read already hold the run (and no wizard
    // opens): one report is enough.
    if (gSettingsStoreUnreadable) return;
    const AccountTableCheck check = CheckAccountTable();
    if (check.state == AccountTableState::kFreshInstall) return;
    if (check.state == AccountTableState::kHoldsAccounts) {
        // A folder set up by an earlier build is named now.
        RecordDataFolderSetUp();
        return;
    }
    // Nobody can log in against it; without a login every rule would be off.
    gRequireLogin = true;
    ReportDamagedAccountTable(check);
}

void SetEditionTitles() {
    gEXEAppName = "Corvane Standard";
    gLoginCaption = "Corvane Standard";
}

void Main() {
    // Nothing the program creates, from the runtime folder on, is for other accounts.
    UsePrivateCreationMask();
    // A second copy ends before it shows or writes anything.
    if (Services().claimSingleInstance && !Services().claimSingleInstance()) {
        if (Services().endProcess) Services().endProcess();
        else std::exit(0);
        return;
    }
    RunTrapped("AppMain.Main", {
        // What an earlier run in this process saw (tests run several) counts for nothing.
        [] { ForgetSeenSetUps(); },
        [] { SetPointer(true); },
        [] { if (Services().showSplash) Services().showSplash(); },
        [] { HideFromTaskList(); },
        [] { SetProductInfo(); },
        [] { LoadSettingsSource(); },
        [] { LoadLocalSettings(); },
        [] { LoadGlobalSettings(); },
        // The data folder is known now: a group-shared one shares what is created with its group.
        [] { ShareCreationsWithGroupOf(GetDataPath()); },
        [] { HoldUnreadableSettings(); },
        [] { ApplyStartupLockdown(); },
        [] { SetEditionTitles(); },
        [] { TestDataConnection(); },
        [] { HoldDamagedAccountTable(); },
        [] { SetPointer(false); },
        [] { if (Services().loadMainForm) Services().loadMainForm(); },
    });
    // The exit path: whatever happened, the default pointer.
    RunIgnoringErrors({[] { SetPointer(false); }});
}

}  // namespace corvane

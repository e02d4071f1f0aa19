#include "app/app_main.h"

#include <cstdlib>

#include "errors/error_log_file.h"
#include "lockdown/lockdown_options.h"
#include "messages/message_catalogue.h"
#include "platform/core/creation_mode.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "platform/settings/settings_store.h"
#include "platform/system/workstation.h"
#include "recordstore/data_connection.h"
#include "recordstore/data_paths.h"
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

void HoldUnreadableSettings() {
    const std::string problem = UnreadableSettingsStore();
    if (problem.empty()) return;
    // Read as defaults, "Require Login" would be off and with it every rule.
    gSettingsStoreUnreadable = true;
    gRequireLogin = true;
    RunIgnoringErrors({
        [&] { ReportStartupProblem(ERROR_REGISTRY_IO_FAILED, "The settings cannot be read: " + problem); },
        [&] {
            ShowMsgBox("The settings cannot be read: " + problem +
                           ".\r\nCorvane requires a login and changes no setting until they can be read.",
                       kMsgExclamation, GetMessageText(kMessageProgramName, gLanguage));
        },
    });
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
        [] { SetPointer(false); },
        [] { if (Services().loadMainForm) Services().loadMainForm(); },
    });
    // The exit path: whatever happened, the default pointer.
    RunIgnoringErrors({[] { SetPointer(false); }});
}

}  // namespace corvane

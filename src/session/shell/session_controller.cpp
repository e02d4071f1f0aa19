#include "session/shell/session_controller.h"

#include <chrono>

#include "logs/user_log.h"
#include "messages/message_catalogue.h"
#include "platform/core/clock.h"
#include "platform/core/error_trap.h"
#include "platform/core/program_title.h"
#include "platform/settings/global_settings.h"
#include "platform/system/workstation.h"
#include "recordstore/user.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr const char* kForm = "frmMain";

std::string Place(const char* procedure) { return std::string(kForm) + "." + procedure; }

}  // namespace

SessionController::SessionController(SessionSecurity& security, SessionHost& host)
    : security_(security), host_(host) {}

void SessionController::Form_Load() {
    RunTrapped(Place("Form_Load"), {
        [&] {
            if (security_.RequireLogin()) {
                Authenticate();
                return;
            }
            if (gAlwaysShowSecureConsole) host_.ShowSecureConsole();
            host_.ShowTipOfTheDay();
            ShowConsoleWhereNoIcon();
        },
    });
}

void SessionController::Authenticate() {
    // Tray and menu commands arrive whatever modal window is open: a login
    // never starts inside another one.
    if (loginRunning_) return;
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(loginRunning_);
    User user;
    bool rightsRead = false;
    RunTrapped(Place("Authenticate"), {
        [&] { UnloadAllForms(false); },
        // Only a fresh install; after set-up an empty or damaged account
        // table is reported at start-up and nobody logs in.
        [&] { if (security_.OffersFirstAdministrator()) host_.ShowNewUserWizard(true, true); },
        [&] { m_Authenticated = security_.Login(); },
        [&] { m_UserLogin = security_.AuthenticatedUser(); },
        [&] {
            if (!m_Authenticated) return;
            // The session's rights come from its record: none while it cannot be read.
            m_Administrator = false;
            bool found = false;
            rightsRead = RunDecision(Place("Authenticate"), {[&] { found = user.Load(m_UserLogin); }}) && found;
            if (rightsRead) m_Administrator = user.IsAdministrator() != 0;
        },
        [&] { if (m_Authenticated) m_LogID = security_.LogID(); },
        [&] {
            if (!m_Authenticated) return;
            // A new session is watched from its start, also after a forced log-off.
            ++session_;
            sessionLogin_ = m_UserLogin;
            sessionRecord_.reset();
            UserLog record;
            if (m_LogID != 0 && record.Load(m_LogID)) {
                sessionLogin_ = record.UserLogin();
                sessionRecord_ = EntryOf(record);
            }
            host_.SetWatchdogRunning(true);
        },
        [&] {
            if (!m_Authenticated) return;
            if (rightsRead) LoadSessionOptions(user.EnableSessionInfo(), user.PasswordCannotChange());
            else LoadSessionOptions(kFlagFalse, kFlagTrue);
        },
        [&] { if (m_Authenticated && gAlwaysShowSecureConsole) host_.ShowSecureConsole(); },
        [&] { if (m_Authenticated) host_.ShowTipOfTheDay(); },
        [&] { ShowConsoleWhereNoIcon(); },
    });
}

void SessionController::LoadSessionOptions(std::int16_t enableSessionInfo,
                                           std::int16_t passwordCannotChange) {
    EnableSessionInfo = enableSessionInfo != 0;
    PasswordCannotChange = passwordCannotChange == 0;
    AllowCorvane = m_Administrator;
}

void SessionController::LogOFF() {
    if (!securityLoaded_) return;
    RunIgnoringErrors({
        [&] { host_.SetBusyPointer(true); },
        [&] {
            if (!m_Authenticated) return;
            RunIgnoringErrors({
                [&] { host_.ShowLogoutNotice(); },
                [&] { clock::Sleep(std::chrono::milliseconds(1000)); },
                [&] { security_.Logout(); },
                [&] { host_.HideLogoutNotice(); },
            });
        },
        [&] { m_Authenticated = false; },
        [&] { m_Administrator = false; },
        [&] { host_.MenuLoggedOff(); },
        [&] { if (host_.IsConsoleLoaded()) host_.UnloadConsole(); },
        [&] { host_.SetBusyPointer(false); },
        [&] {
            if (!gRequireLogin || !gActionAfterLogout || m_Exiting) return;
            if (gLogoutAction == 1) Authenticate();
            else if (gLogoutAction == 2) ShutdownComputer();
        },
        [&] { if (!m_Exiting) ShowConsoleWhereNoIcon(); },
    });
}

void SessionController::tmrSession_Timer() {
    if (!m_Authenticated || m_LogID == 0) return;
    // A tick that comes while this session's end, or an earlier tick's error
    // report, is under way (both run the event loop) leaves it to the first.
    if (endedSession_ == session_ || watching_) return;
    watching_ = true;
    bool ended = false;
    UserLog record;
    // A session whose record cannot be read is not known to go on: it ends.
    const bool read = RunDecision(Place("tmrSession_Timer"), {[&] {
        if (!record.Load(m_LogID)) return;
        // After a clear the number may name another attempt's record.
        // Known by the same four values Logout closes it by.
        if (record.UserLogin() != sessionLogin_) return;
        if (sessionRecord_ && EntryOf(record) != *sessionRecord_) return;
        ended = record.Active() == 0;
    }});
    watching_ = false;
    if (read && !ended) return;
    if (endedSession_ == session_) return;
    endedSession_ = session_;
    RunIgnoringErrors({
        [&] { if (ended) ShowMessage(0, kMsgExclamation); },
        [&] { host_.SetWatchdogRunning(false); },
        [&] { LogOFF(); },
    });
}

void SessionController::Selected(int index) {
    if (loginRunning_) return;
    switch (index) {
    case 0: Authenticate(); break;
    case 1: LogOFF(); break;
    case 2: OpenSecureConsole(); break;
    case 3: OpenCorvane(); break;
    case 4: ChangePassword(); break;
    case 5: OpenSecurity(); break;
    case 6: OpenOptions(); break;
    case 7:
        m_Exiting = true;
        host_.UnloadMainForm();
        break;
    default: break;
    }
}

void SessionController::OpenSecureConsole() {
    if (loginRunning_) return;
    if (security_.RequireLogin()) {
        if (!m_Authenticated) Authenticate();
        if (!m_Authenticated) return;
    }
    host_.ShowSecureConsole();
}

bool SessionController::SessionFor(bool mustBeAdministrator) {
    if (!security_.RequireLogin()) return true;
    if (!m_Authenticated) Authenticate();
    return m_Authenticated && (!mustBeAdministrator || m_Administrator);
}

void SessionController::OpenCorvane() {
    if (SessionFor(true)) host_.ShowUserManagement();
}

void SessionController::OpenSecurity() {
    if (!SessionFor(true)) return;
    host_.SetTrayEnabled(false);
    host_.ShowSecurity();
    host_.SetTrayEnabled(true);
}

void SessionController::OpenOptions() {
    if (!SessionFor(true)) return;
    host_.SetTrayEnabled(false);
    host_.ShowMainOptions();
    host_.SetTrayEnabled(true);
}

void SessionController::ChangePassword() {
    User user;
    RunTrapped(Place("ChangePassword"), {
        [&] { if (security_.RequireLogin() && !m_Authenticated) Authenticate(); },
        [&] {
            // Only a live session has a login whose password may be changed.
            if (!m_Authenticated) return;
            bool found = false;
            // A record that cannot be read grants nothing; its error was reported.
            if (!RunDecision(Place("ChangePassword"), {[&] { found = user.Load(m_UserLogin); }})) return;
            const bool allowed = found && (user.IsAdministrator() != 0 || user.PasswordCannotChange() == 0);
            if (allowed) {
                host_.SetTrayEnabled(false);
                host_.ShowChangePassword(m_UserLogin);
                host_.SetTrayEnabled(true);
            } else {
                ShowMsgBox(GetMessageText(425, gLanguage, std::string()), kMsgExclamation, kProgramTitle);
            }
        },
    });
}

void SessionController::Form_Unload() {
    RunIgnoringErrors({
        [&] { host_.SetTrayEnabled(false); },
        [&] { host_.RemoveTrayIcon(); },
        [&] { host_.SetWatchdogRunning(false); },
        [&] { if (m_Authenticated) security_.Logout(); },
        [&] { m_Authenticated = false; },
        [&] { securityLoaded_ = false; },
    });
}

int SessionController::ShowMessage(int mode, std::int32_t buttons) {
    const int number = mode == 0 ? 510 : 0;
    if (number == 0) return 0;
    return ShowMsgBox(GetMessageText(number, gLanguage), buttons,
                      GetMessageText(kMessageProgramName, gLanguage));
}

void SessionController::ShowConsoleWhereNoIcon() {
    if (host_.ConsoleStandsInForIcon() && !host_.IsConsoleLoaded()) host_.ShowSecureConsole();
}

}  // namespace corvane

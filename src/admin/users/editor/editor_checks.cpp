// The user editor's checks, captions, button enabling and message box.
#include <exception>

#include "admin/users/editor/user_editor_model.h"
#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "recordstore/user.h"
#include "ui_core/msgbox/msgbox_seam.h"
#include "ui_core/ui_services.h"

namespace corvane {

namespace {

constexpr int kModeNameBlank = 0;
constexpr int kModeAccountExists = 1;

int Language() { return ui::Services().language(); }

std::string Text(int number, int format = kCaseAsIs) {
    return GetMessageText(number, Language(), std::nullopt, format);
}

}  // namespace

bool UserEditorModel::DataIsValid() {
    User user;
    const std::string wanted = text::Trim(login);
    bool taken = false;
    bool answer = false;
    const bool ranToEnd = RunTrapped(
        "frmUserDetails.DataIsValid",
        {
            [&] { user.OpenTable(OpenTablePathname); },
            [&] {
                // Only a changed login is looked up: a change of letter case alone is the same account.
                if (!text::Equals(wanted, text::Trim(UserLogin)))
                    taken = user.Load(wanted) || text::Equals(wanted, "Anonymous");
            },
            [&] {
                if (!taken) return;
                ShowMessage(kModeAccountExists, kMsgOkOnly + kMsgExclamation);
                focusRequest = Focus::Login;
            },
            [&] {
                if (taken) return;
                if (!wanted.empty()) {
                    answer = true;
                    return;
                }
                ShowMessage(kModeNameBlank, kMsgOkCancel + kMsgExclamation);
                focusRequest = Focus::Login;
            },
        },
        Language());
    return ranToEnd && answer;
}

std::string UserEditorModel::MessageText(int mode, const std::string& parameter) {
    switch (mode) {
        case 0: return Text(452);
        case 1: return Text(440);
        case 2: return GetMessageText(438, Language(), std::string("1 - 999"));
        case 3: return GetMessageText(436, Language(), std::string("1 - 20"));
        case 4: return GetMessageText(437, Language(), std::string("1 - 99"));
        case 5: return "Are you sure you want to clear the failed logins counter?";
        case 6: return GetMessageText(kMessageRecordLocked, Language(), parameter);
        default: return {};
    }
}

int UserEditorModel::ShowMessage(int mode, std::int32_t buttons, const std::string& parameter) {
    return ShowMsgBox(MessageText(mode, parameter), buttons, Text(kMessageProgramName));
}

std::vector<std::pair<std::string, std::string>> UserEditorModel::Captions() {
    const std::string add = Text(24) + " >";
    const std::string remove = "< " + Text(36);
    return {
        {"", Text(46)},
        {"cmdOK", Text(33, kCaseUpper)},
        {"cmdCancel", Text(25)},
        {"cmdAddProgram", add},
        {"cmdRemoveProgram", remove},
        {"cmdAddWebsite", add},
        {"cmdRemoveWebsite", remove},
        {"tabDetails:0", Text(45)},
        {"tabDetails:1", Text(300)},
        {"tabDetails:2", Text(151)},
        {"tabDetails:3", Text(163)},
        {"lblBasicInformation", Text(326)},
        {"lblUserLogin", Text(308) + ":"},
        {"lblUserName", Text(307) + ":"},
        {"lblDescription", Text(49) + ":"},
        {"fraAccountOptions", Text(646)},
        {"chkCannotChgPwd", Text(638)},
        {"chkDisabled", Text(640)},
        {"lblWhatAccess", Text(561)},
        {"lblAdmin", Text(449)},
        {"optAccess0", Text(60)},
        {"optAccess1", Text(61)},
        {"lblUserPrograms", Text(378)},
        {"lblSelectWhichPrograms", Text(634)},
        {"chkStartProgramAfterLogin", Text(635)},
        {"fraHomePage", Text(382)},
        {"lblInternetAccess", Text(380)},
        {"lblSelectWhichWebsites", Text(641)},
        {"chkEnableInternetAccess", Text(642)},
        {"chkEnforceWebsites", Text(688)},
        {"chkLockAddressBar", Text(644)},
        {"chkAllowNewWindows", Text(645)},
        {"cmdBlankHomePage", Text(381)},
    };
}

void UserEditorModel::SetLanguage() {
    captions = Captions();
    caption = captions.front().second;
    // The column headers: each statement on its own, so one failure skips only itself.
    const std::pair<AssignmentList*, int> headers[] = {
        {&definedPrograms, 316}, {&selectedPrograms, 317}, {&definedWebsites, 316}, {&selectedWebsites, 379}};
    for (const auto& [list, number] : headers) {
        list->headerVisible = true;
        try {
            list->header = Text(number);
        } catch (const std::exception&) {
        }
    }
}

void UserEditorModel::EnableListButtons() {
    addWebsiteEnabled = definedWebsites.Count() > 0;
    removeWebsiteEnabled = selectedWebsites.Count() > 0;
    addProgramEnabled = definedPrograms.Count() > 0;
    removeProgramEnabled = selectedPrograms.Count() > 0;
}

}  // namespace corvane

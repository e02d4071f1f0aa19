#include "admin/users/editor/user_editor_model.h"

#include <exception>
#include <initializer_list>
#include <memory>

#include "admin/users/editor/login_links.h"
#include "catalogue/user_permission.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "platform/core/error_trap.h"
#include "platform/core/raised_error.h"
#include "platform/core/text.h"
#include "recordstore/data_connection.h"
#include "recordstore/record_table.h"
#include "recordstore/tables_change.h"
#include "recordstore/user_member.h"
#include "recordstore/user.h"
#include "ui_core/date_text.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {

namespace {

constexpr const char* kLoadPlace = "frmUserDetails.LoadData";
constexpr const char* kSavePlace = "frmUserDetails.SaveData";
constexpr int kModeRecordLocked = 6;
constexpr std::int32_t kRetryCancelExclamation = kMsgRetryCancel + kMsgExclamation;

bool IsSet(std::int16_t flag) { return flag != 0; }

}  // namespace

void UserEditorModel::Activate() {
    if (!FormLoad) return;
    FormLoad = false;
    // Each step runs whatever the one before did.
    try {
        SetLanguage();
    } catch (const std::exception&) {
    }
    try {
        LoadData();
    } catch (const std::exception&) {
    }
    focusRequest = Focus::Login;
}

void UserEditorModel::LoadData() {
    std::string lockedBy, lockedOn;
    OleDate lockedAt = 0;
    bool locked = false;
    bool refused = false;
    User user;
    if (!RunTrapped(kLoadPlace, {
            [&] { user.OpenTable(OpenTablePathname); },
            [&] { locked = IsUserRecordLocked(UserLogin, lockedBy, lockedOn, lockedAt, OpenTablePathname); },
            [&] {
                // Asks again at once for as long as the lock stands; the box keeps the
                // event loop running meanwhile.
                while (locked) {
                    const std::string holder = lockedBy + "\\" + lockedOn + "=" + ui::GeneralDateText(lockedAt);
                    if (ShowMessage(kModeRecordLocked, kRetryCancelExclamation, holder) != kMsgRetry) {
                        refused = true;
                        return;
                    }
                    locked = IsUserRecordLocked(UserLogin, lockedBy, lockedOn, lockedAt, OpenTablePathname);
                }
            },
        }))
        return;
    if (refused) {
        Cancelled = true;
        hideRequested = true;
        return;
    }
    bool found = false;
    Busy(true);
    // Each side's two lists come from one reading of its link file.
    linksRead.sharing = true;
    RunTrapped(kLoadPlace, {
                               [&] { LoadDefinedWebsites(); },
                               [&] { LoadWebsites(); },
                               [&] { LoadDefinedPrograms(); },
                               [&] { LoadPrograms(); },
                               [&] { found = user.Load(UserLogin); },
                               [&] {
                                   if (!found) return;
                                   UserID = user.UserID();
                                   GetData(user);
                               },
                           });
    linksRead = {};
    Busy(false);
}

void UserEditorModel::GetData(const User& user) {
    caption = caption + " - " + user.Login();
    SetLoginText(user.Login());
    name = user.Name();
    description = user.Description();
    homePage = user.HomePage();
    SetCheck(kStartProgramAfterLogin, IsSet(user.StartProgramsAfterLogin()));
    SetCheck(kEnableInternetAccess, IsSet(user.EnableInternetAccess()));
    SetCheck(kEnforceWebsites, IsSet(user.EnforceWebsites()));
    SetCheck(kLockAddressBar, IsSet(user.LockAddressBar()));
    SetCheck(kAllowNewWindows, IsSet(user.AllowNewInternetWindows()));
    EnableInternetControls();
    const bool showMessage = IsSet(user.DisplayMessageAfterLogin());
    displayMessageEnabled = showMessage;
    SetCheck(kDisplayMessageAfterLogin, showMessage);
    displayMessageWindowColour = showMessage;
    displayMessage = user.DisplayMessage();
    SetCheck(kDisabled, IsSet(user.Disabled()));
    access = user.AccessLevel() == 0 || user.AccessLevel() == 1 ? user.AccessLevel() : -1;
    if (IsSet(user.PasswordCannotChange())) SetCheck(kCannotChgPwd, true);
}

void UserEditorModel::SetData(User& user) const {
    user.SetLogin(text::Trim(login));
    user.SetName(text::Trim(name));
    user.SetDescription(description);
    user.SetHomePage(text::Trim(homePage));
    user.SetStartProgramsAfterLogin(Flag(checks[kStartProgramAfterLogin]));
    user.SetEnableInternetAccess(Flag(checks[kEnableInternetAccess]));
    user.SetEnforceWebsites(Flag(checks[kEnforceWebsites]));
    user.SetEnforceUserAccessOnPrograms(kFlagTrue);
    user.SetEnforceUserAccessOnWebsites(kFlagTrue);
    user.SetLockAddressBar(Flag(checks[kLockAddressBar]));
    user.SetAllowNewInternetWindows(Flag(checks[kAllowNewWindows]));
    user.SetAddProgramsToSecureConsoleAfterLogin(kFlagTrue);
    user.SetDisplayMessageAfterLogin(Flag(checks[kDisplayMessageAfterLogin]));
    user.SetDisplayMessage(text::Trim(displayMessage));
    user.SetDisabled(Flag(checks[kDisabled]));
    // Levels 2 and 3 have no option button: without a choice the stored level stays.
    if (access >= 0) user.SetAccessLevel(access);
    user.SetIsAdministrator(Flag(user.AccessLevel() == 0));
    user.SetPasswordCannotChange(Flag(checks[kCannotChgPwd]));
}

UserEditorModel::SaveResult UserEditorModel::SaveData() {
    User user;
    bool searched = false;
    bool found = false;
    bool written = false;
    bool saved = false;
    const std::string oldLogin = UserLogin;
    const std::string newLogin = text::Trim(login);
    Busy(true);
    // The account, its assignments and the links its login moves are one commit: a failure
    // or a crash anywhere leaves all of them as they were, and an error ends the change (its
    // locks given back) before it is shown.
    std::unique_ptr<TablesChange> change;
    const auto live = [&] { return change && !change->Failed(); };
    RunTrapped(kSavePlace, {
                               [&] { user.OpenTable(OpenTablePathname); },
                               [&] {
                                   UserWebsite websites;
                                   UserProgram programs;
                                   UserPermission permissions;
                                   UserMember members;
                                   change = std::make_unique<TablesChange>(
                                       std::initializer_list<RecordTable*>{&user, &websites, &programs, &permissions, &members});
                               },
                               [&] {
                                   if (!live()) return;
                                   found = user.Load(UserLogin);
                                   searched = true;
                                   if (!found) UserMissing(kSavePlace);
                               },
                               [&] {
                                   if (!found || !live()) return;
                                   // Only the editor's fields, over the record as it stands now:
                                   // a password changed or upgraded meanwhile stays.
                                   if (!user.UpdateFields([&](User& current) { SetData(current); }))
                                       UserMissing(kSavePlace);
                                   written = true;
                                   UserID = user.UserID();
                               },
                               [&] {
                                   if (written && live()) SaveWebsites();
                               },
                               [&] {
                                   if (written && live()) SavePrograms();
                               },
                               [&] {
                                   if (written && live()) MoveLoginLinks(oldLogin, newLogin, kSavePlace);
                               },
                               [&] {
                                   if (!written || !change) return;
                                   change->Commit();
                                   saved = true;
                                   UserLogin = user.Login();
                               },
                           });
    change.reset();
    Busy(false);
    if (saved) return SaveResult::Saved;
    return searched && !found ? SaveResult::UserMissing : SaveResult::Failed;
}

void UserEditorModel::UserMissing(const char* place) {
    Cancelled = true;
    hideRequested = true;
    throw RaisedError(vbObjectError + 8, place, "The user \"" + UserLogin + "\" no longer exists.");
}

void UserEditorModel::OK() {
    IsDirty = true;
    if (!DataIsValid()) return;
    switch (SaveData()) {
        case SaveResult::Saved: hideRequested = true; break;
        case SaveResult::UserMissing:
            Cancelled = true;
            hideRequested = true;
            break;
        case SaveResult::Failed: break;  // stays open so nothing typed is lost
    }
}

void UserEditorModel::Cancel() {
    Cancelled = true;
    hideRequested = true;
}

void UserEditorModel::SetLoginText(std::string text) {
    login = std::move(text);
    okEnabled = !login.empty();
}

void UserEditorModel::SetCheck(Check box, bool ticked) {
    if (checks[box] == ticked) return;
    checks[box] = ticked;
    OnCheckClick(box);
}

void UserEditorModel::OnCheckClick(Check box) {
    switch (box) {
        case kEnableInternetAccess:
            EnableInternetControls();
            IsDirty = true;
            break;
        case kEnforceWebsites:
        case kLockAddressBar:
        case kStartProgramAfterLogin: IsDirty = true; break;
        case kDisplayMessageAfterLogin: {
            const bool ticked = checks[kDisplayMessageAfterLogin];
            displayMessageEnabled = ticked;
            displayMessageWindowColour = ticked;
            if (ticked) focusRequest = Focus::DisplayMessage;
            break;
        }
        default: break;
    }
}

void UserEditorModel::TabClick(int tab) {
    if (tab == 0) focusRequest = Focus::Login;
}

void UserEditorModel::EnableInternetControls() {
    const bool on = checks[kEnableInternetAccess];
    internetControlsEnabled = on;
    addWebsiteEnabled = removeWebsiteEnabled = on;
    for (AssignmentList* list : {&definedWebsites, &selectedWebsites}) {
        list->enabled = on;
        list->windowColour = on;
    }
}

}  // namespace corvane

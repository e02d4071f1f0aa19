#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "admin/users/editor/assignment_list.h"

namespace corvane {

class User;
class UserProgram;
class UserWebsite;
template <typename Link>
class LinkCollection;

// The user editor without its window: the state of every control of frmUserDetails, the
// loading and saving of one account, its program and website links, and the editor's checks.
// The window mirrors this state and hands every user action to it; it holds no record, and
// each operation opens its own tables.
class UserEditorModel {
public:
    // The check boxes, in the order of their fields on the General, Programs and Internet tabs.
    enum Check : int {
        kCannotChgPwd, kDisabled, kDisplayMessageAfterLogin, kStartProgramAfterLogin,
        kEnableInternetAccess, kEnforceWebsites, kLockAddressBar, kAllowNewWindows, kCheckCount,
    };
    enum class Focus { None, Login, DisplayMessage };
    enum class SaveResult { Saved, UserMissing, Failed };

    // Path of the user table; "" the standard one. Nothing in the program sets it.
    std::string OpenTablePathname;
    // In: the login to edit. Out, after a save: the login as saved.
    std::string UserLogin;
    // The account's record number, found when the window loaded it (0: none found).
    std::int32_t UserID = 0;
    // Set by OK before the check and by four check boxes; never cleared.
    bool IsDirty = false;
    bool Cancelled = false;
    bool FormLoad = true;
    bool IsNew = false;
    std::int32_t Response = 0;

    // The controls.
    std::string caption;
    // Every caption SetLanguage set, by object name (see Captions).
    std::vector<std::pair<std::string, std::string>> captions;
    std::string login, name, description, displayMessage, homePage;
    std::array<bool, kCheckCount> checks{};
    int access = -1;  // the selected access option (0 Administrator, 1 Standard), -1 none
    bool okEnabled = false;
    bool displayMessageEnabled = true;
    bool displayMessageWindowColour = true;
    bool internetControlsEnabled = true;  // browser options, website lists, home page
    bool addWebsiteEnabled = true, removeWebsiteEnabled = true;
    bool addProgramEnabled = true, removeProgramEnabled = true;
    AssignmentList definedWebsites, selectedWebsites, definedPrograms, selectedPrograms;

    // What the window does next: focus a box, hide itself.
    Focus focusRequest = Focus::None;
    bool hideRequested = false;
    // A record as the lists need it: its key (trimmed UTF-8) and its record number.
    struct KeyedRecord {
        std::string key;
        std::int32_t number = 0;
    };
    // One side's catalogue and the user's links there, each read in one pass.
    struct SideRead {
        std::shared_ptr<const std::vector<KeyedRecord>> catalogue;
        std::shared_ptr<const std::vector<KeyedRecord>> links;
    };
    // While LoadData fills the lists, what each side read, read once for both of its lists;
    // empty at any other time.
    struct LinksRead {
        bool sharing = false;
        SideRead websites;
        SideRead programs;
    } linksRead;

    // Shows or takes away the hourglass pointer.
    std::function<void(bool busy)> onBusy;

    // --- the window's life ---
    // The first activation: captions, then the account (the window hides and shows its tabs
    // around it). Does nothing once FormLoad is False.
    void Activate();
    // Fills the lists and the controls unless the record is locked from another computer and
    // the administrator gives up (Cancelled, hidden).
    void LoadData();
    // The user into the controls.
    void GetData(const User& user);
    // The controls into the user; a level no option stands for is kept.
    void SetData(User& user) const;
    // Writes the record, then the links and a renamed login's other links, so a record that
    // cannot be written leaves every link as it was.
    SaveResult SaveData();
    // The account is gone (deleted or renamed elsewhere): reported under place, the window
    // closes as cancelled.
    [[noreturn]] void UserMissing(const char* place);
    // OK: dirty, checked, saved; hidden only once the record is written. A user gone since
    // the window opened is reported and the window closes as cancelled.
    void OK();
    // Cancel, Esc and the close box.
    void Cancel();

    // --- user actions on controls ---
    void SetLoginText(std::string text);
    // Ticks or clears a box; a change runs the box's click handling as a user's click would.
    void SetCheck(Check box, bool ticked);
    void BlankHomePage() { homePage.clear(); }
    // Tab click: the General tab selects the login and focuses it.
    void TabClick(int tab);
    void EnableInternetControls();

    // --- checks and captions ---
    bool DataIsValid();
    // The editor's message box: the mode's text under message 290.
    int ShowMessage(int mode, std::int32_t buttons, const std::string& parameter = {});
    static std::string MessageText(int mode, const std::string& parameter);
    // Captions of every control by object name ("tabDetails:N" for the tabs, "" the window),
    // in the order they are set.
    static std::vector<std::pair<std::string, std::string>> Captions();
    void SetLanguage();
    void EnableListButtons();

    // --- the assignment lists ---
    void LoadWebsites();
    void LoadDefinedWebsites();
    void LoadPrograms();
    void LoadDefinedPrograms();
    void SaveWebsites();
    void SavePrograms();
    void AddWebsites();     // cmdAddWebsite and a double click on a Defined website
    void RemoveWebsites();  // cmdRemoveWebsite and a double click on an Allowed website
    void AddPrograms();
    void RemovePrograms();

    void Busy(bool busy) const {
        if (onBusy) onBusy(busy);
    }

private:
    void OnCheckClick(Check box);
};

}  // namespace corvane

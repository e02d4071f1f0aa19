#pragma once

#include <optional>
#include <string>
#include <vector>

namespace corvane {

// One line of the console: its text, its description, the stock picture it
// shows (programs: "" for the file's own icon), its key (programs: the path)
// and the tag that decides what a launch does.
struct ConsoleItem {
    std::string text;
    std::string description;
    std::string pictureKey;
    std::string key;
    std::string tag;
    bool operator==(const ConsoleItem&) const = default;
};

// The tags of the console's items.
inline constexpr const char* kTagWebBrowser = "Web Browser";
inline constexpr const char* kTagCorvane = "Corvane";
inline constexpr const char* kTagSecurity = "Security";
inline constexpr const char* kTagOptions = "Options";
inline constexpr const char* kTagChangePassword = "Change Password";
inline constexpr const char* kTagProgram = "Program";
inline constexpr const char* kTagLogOff = "Log Off";

// What a launch from the console reaches: the main form's session, the
// notification-area icon and the windows it opens.
class ConsoleHost {
public:
    virtual ~ConsoleHost() = default;
    virtual bool Authenticated() = 0;
    virtual void Authenticate() = 0;
    virtual void LogOFF() = 0;
    virtual void SetTrayEnabled(bool on) = 0;
    virtual void ShowUserManagement() = 0;
    virtual void ShowMainOptions() = 0;
    virtual void ShowSecurity() = 0;
    virtual void ShowWebBrowser() = 0;
    virtual void ShowChangePassword(const std::string& login) = 0;
};

// The console's list and launches without a window.
class ConsoleModel {
public:
    // The items for the session as it stands: the fixed items the current
    // user's rights allow, in their fixed order, then the user's programs
    // (record order, each path once, only catalogue entries), then Log Off.
    // A table that cannot be read leaves its items out.
    static std::vector<ConsoleItem> BuildItems(bool authenticated);

    // Status-bar panels 1, 2 and 4.
    static std::string ItemCountText(int count);
    static std::string UserPanelText();
    static std::string ComputerPanelText();

    // Carries out a launch of the selected item (null: none selected). When
    // a login is needed first, the login runs and the request ends there:
    // the login has closed the console the item came from.
    static void Launch(ConsoleHost& host, const ConsoleItem* selected);

    // Starts the program path when the program rule allows it now and the
    // file exists; a refused program gets message 425, a missing file
    // nothing.
    static void RunSelectedProgram(const std::string& path);

    // Whether the program rule lets the current login start the program path
    // now; a refusal gets message 425. Every start outside the list asks it.
    static bool MayStartProgram(const std::string& path);

    // Whether a document may open with the program the desktop associates
    // with it (its full path; "" when none could be found, always refused).
    // A refusal gets message 425, as the console's own programs do.
    static bool MayOpenDocumentWith(const std::string& program);
};

}  // namespace corvane

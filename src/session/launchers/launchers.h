#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// Every window of the program is opened here, always the same way: load it
// (a new object, or its one shared instance), set its inputs in the order
// given, show it, and after a modal show unload and release it. A step that
// fails is skipped; nothing is reported.

// Windows of the user administration, each on a new object, modal.
void ShowChangePassword(const std::string& login);                 // UserLogin
void ShowNewUserWizard(bool NoCancel, bool PrimaryUser);           // PrimaryUser, NoCancel
// Opens the user editor only for a login the user table holds; the result is
// always empty.
std::string ShowEditUser(const std::string& login);                // UserLogin

// Shared instances, modal.
void ShowAdvancedSecurity();
void ShowPrograms();
void ShowSecurity();
void ShowMainOptions();
// A new browser window at every call, modeless.
void ShowWebBrowser();
void ShowWebBrowserAt(const std::string& address);                 // StartingAddress
// The maker's pages every window opens: the support page and the home page.
inline constexpr const char* kMakerSupportAddress = "https://corvane.example/support";
inline constexpr const char* kMakerHomeAddress = "https://corvane.example/";
// A fresh console every time: an open one is unloaded first. modal: 0
// modeless, 1 modal.
void ShowSecureConsole(std::int32_t modal);
// Unloads and releases the console when one is open.
void UnloadSecureConsole();
// The details windows, modeless, reopened for each record.
void ShowUserLogDetails(std::int32_t logId, const std::string& tablePath);    // OpenTablePathname, LogID
void ShowWebsiteLogDetails(std::int32_t logId, const std::string& tablePath); // as above

// When "Show Tips Of The Day" is on: the tip window, modal; it is left loaded.
void ShowTipOfTheDay();
// Shared instances, modeless: a second call brings the open window forward.
void ShowUserLog();
void ShowWebsiteLog();
// The user administration window: ShowUserManagement (session/login/
// security.h) opens it through the opener that InstallLaunchers installs.
void ShowUserManagement();
// Shared instance, modal.
void ShowWebsites();
// A new dialog at every call, modal.
void ShowSetPassword(const std::string& login);                    // UserLogin

// Installs the launchers that lower layers reach through openers.
void InstallLaunchers();

}  // namespace corvane

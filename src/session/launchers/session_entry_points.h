#pragma once

#include <functional>

namespace corvane {

// The main form's session members that the secure console uses: whether
// somebody is logged in, a login, the log-off, and the tray icon's Enabled.
// The main form installs them when it loads; until then nobody is logged in
// and the others do nothing.
struct SessionEntryPoints {
    std::function<bool()> Authenticated;
    std::function<void()> Authenticate;
    std::function<void()> LogOFF;
    std::function<void(bool on)> SetTrayEnabled;
};
void SetSessionEntryPoints(SessionEntryPoints entryPoints);
const SessionEntryPoints& MainSession();

// Without a notification area the console is the only way in: the user's own
// close of the console then only minimises it.
void SetConsoleIsTheWayIn(bool on);
bool ConsoleIsTheWayIn();

}  // namespace corvane

#pragma once

#include <functional>

namespace corvane {

// The main form's session members that the secure console uses: whether
// somebody is logged in, a login, and the log-off. The main form installs
// them when it loads; until then nobody is logged in and both do nothing.
struct SessionEntryPoints {
    std::function<bool()> Authenticated;
    std::function<void()> Authenticate;
    std::function<void()> LogOFF;
};
void SetSessionEntryPoints(SessionEntryPoints entryPoints);
const SessionEntryPoints& MainSession();

// Without a notification area the console is the only way in: the user's own
// close of the console then only minimises it.
void SetConsoleIsTheWayIn(bool on);
bool ConsoleIsTheWayIn();

}  // namespace corvane

#pragma once

#include <memory>

class QWebEngineProfile;

namespace corvane {

// The web engine's store of the login now published: cookies, cache, local and session storage,
// IndexedDB, service workers, HTTP passwords, permissions, visited links and form data. Off the
// record, so nothing of it is written to disk; shared by every browser window of that login;
// let go when the login ends (log-off, watchdog, the program's end) and deleted once the last of
// its windows has gone. A later login, of the same account too, gets a new one.
std::shared_ptr<QWebEngineProfile> LoginBrowserProfile();

// The program's end, before the application goes: every browser window still there (one whose
// deletion never came, as after the last loop) is deleted, its page before the login's profile,
// while the engine can still take them down in that order.
void EndLoginBrowsers();

}  // namespace corvane

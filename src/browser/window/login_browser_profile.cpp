#include "browser/window/login_browser_profile.h"

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <cstdint>

#include "logs/current_user.h"

namespace corvane {
namespace {

struct Kept {
    std::uint64_t login = 0;
    std::shared_ptr<QWebEngineProfile> profile;
};

Kept& Current() {
    static Kept kept;
    return kept;
}

// The windows that still hold it keep it until they go; the engine must outlive them all, so
// the program's end lets go before the engine shuts down.
void LetGo() { Current().profile.reset(); }

}  // namespace

std::shared_ptr<QWebEngineProfile> LoginBrowserProfile() {
    static const bool watching = [] {
        OnAuthenticationPublished(LetGo);
        qAddPostRoutine(LetGo);
        if (qApp) QObject::connect(qApp, &QCoreApplication::aboutToQuit, LetGo);
        return true;
    }();
    (void)watching;
    Kept& kept = Current();
    if (!kept.profile || kept.login != AuthenticationNumber()) {
        // Without a storage name the profile is off the record: memory only.
        kept.profile = std::make_shared<QWebEngineProfile>();
        kept.profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        kept.profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        kept.login = AuthenticationNumber();
    }
    return kept.profile;
}

}  // namespace corvane

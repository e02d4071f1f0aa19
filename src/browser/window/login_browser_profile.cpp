#include "browser/window/login_browser_profile.h"

#include <QApplication>
#include <QPointer>
#include <QWebEngineProfile>
#include <cstdint>
#include <memory>
#include <vector>

#include "browser/window/engine_browser_control.h"
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

// Past the application's end the engine is gone: a profile is no longer deleted, only
// forgotten (it is off the record, so nothing of it remains with the process).
bool gEngineGone = false;

// The windows that still hold it keep it until they go.
void LetGo() { Current().profile.reset(); }

void LetGoAtTheEnd() {
    gEngineGone = true;
    LetGo();
}

void Delete(QWebEngineProfile* profile) {
    if (!gEngineGone) delete profile;
}

}  // namespace

std::shared_ptr<QWebEngineProfile> LoginBrowserProfile() {
    static const bool watching = [] {
        OnAuthenticationPublished(LetGo);
        qAddPostRoutine(LetGoAtTheEnd);
        if (qApp) QObject::connect(qApp, &QCoreApplication::aboutToQuit, LetGo);
        return true;
    }();
    (void)watching;
    Kept& kept = Current();
    if (!kept.profile || kept.login != AuthenticationNumber()) {
        // Without a storage name the profile is off the record: memory only.
        kept.profile = std::shared_ptr<QWebEngineProfile>(new QWebEngineProfile, Delete);
        kept.profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        kept.profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        kept.login = AuthenticationNumber();
    }
    return kept.profile;
}

void EndLoginBrowsers() {
    if (!qApp) return;
    std::vector<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<EngineBrowserControl*>(w) || w->findChild<EngineBrowserControl*>()) windows.emplace_back(w);
    for (const QPointer<QWidget>& window : windows) delete window.data();
    LetGo();
}

}  // namespace corvane

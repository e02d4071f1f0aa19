#include "browser/window/engine_local_files.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

#include "browser/rule/file_address.h"
#include "browser/window/engine_browser_control.h"

namespace corvane {
namespace {

// Every request of the page, its scripts' and resources' included: none reaches a file
// the write guard keeps, whatever the settings let through.
class GuardedFileRequests : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (IsGuardedFileAddress(EngineAddressText(info.requestUrl()))) info.block(true);
    }
};

}  // namespace

void KeepFilePagesToThemselves(QWebEnginePage& page) {
    for (QWebEngineSettings* settings : {page.settings(), page.profile()->settings()}) {
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    }
    page.setUrlRequestInterceptor(new GuardedFileRequests(&page));
}

}  // namespace corvane

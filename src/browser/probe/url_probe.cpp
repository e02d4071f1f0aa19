#include "browser/probe/url_probe.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace corvane {
namespace {

int StatusOf(QNetworkReply* reply) {
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

}  // namespace

bool IsURLAvailable(const std::string& address, std::chrono::milliseconds timeout) {
    try {
        if (!QCoreApplication::instance()) return false;
        const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        // A page may choose the address: never let it read local files or other schemes.
        if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https")) return false;

        QNetworkAccessManager manager;
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::NoLessSafeRedirectPolicy);
        QPointer<QNetworkReply> reply = manager.get(request);
        bool available = false;
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        // A 200 is never redirected, so it settles the answer as soon as its headers arrive;
        // a page that streams its body for ever is not waited for.
        QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
            if (StatusOf(reply) == 200) {
                available = true;
                loop.quit();
            }
        });
        QObject::connect(reply, &QNetworkReply::finished, &loop, [&] {
            available = reply->error() == QNetworkReply::NoError && StatusOf(reply) == 200;
            loop.quit();
        });
        timer.start(timeout);
        loop.exec(QEventLoop::AllEvents);
        if (reply) {
            QObject::disconnect(reply, nullptr, &loop, nullptr);
            reply->abort();
            delete reply;
        }
        return available;
    } catch (...) {
        return false;
    }
}

}  // namespace corvane

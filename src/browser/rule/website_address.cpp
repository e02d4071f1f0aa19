#include "browser/rule/website_address.h"

#include <QString>
#include <QUrl>

#include "platform/core/text.h"
#include "session/helpers/text_helpers.h"

namespace corvane {
namespace {

std::int32_t DefaultPort(const std::string& scheme) {
    if (scheme == "http") return 80;
    if (scheme == "https") return 443;
    return -1;
}

// As the address box reads what is typed: a text without a scheme, or whose "scheme" is a
// host followed by a port ("a.com:8080/x"), is an http address.
QUrl ReadAsTyped(const QString& text) {
    const QUrl url(text, QUrl::TolerantMode);
    const QUrl asHttp(QStringLiteral("http://") + text, QUrl::TolerantMode);
    if (url.scheme().isEmpty()) return asHttp;
    if (!text.contains(QStringLiteral("://")) && asHttp.isValid() && asHttp.port() != -1) return asHttp;
    return url;
}

// The path a browser asks the server for: a backslash is a slash in a web address, and "."
// and ".." segments are resolved (done here because QUrl's own normalising leaves "/a/./b/../c"
// as "/a//c").
std::string RequestPath(std::string path, bool web) {
    if (web) {
        for (std::size_t at = 0; (at = path.find('%', at)) != std::string::npos;) {
            if (text::Equals(path.substr(at, 3), "%5C"))
                path.replace(at, 3, "/");
            else
                ++at;
        }
    }
    std::string out;
    auto dropLastSegment = [&] {
        const std::size_t slash = out.rfind('/');
        out.erase(slash == std::string::npos ? 0 : slash);
    };
    while (!path.empty()) {
        if (path.starts_with("../")) {
            path.erase(0, 3);
        } else if (path.starts_with("./")) {
            path.erase(0, 2);
        } else if (path.starts_with("/./")) {
            path.replace(0, 3, "/");
        } else if (path == "/.") {
            path = "/";
        } else if (path.starts_with("/../")) {
            path.replace(0, 4, "/");
            dropLastSegment();
        } else if (path == "/..") {
            path = "/";
            dropLastSegment();
        } else if (path == "." || path == "..") {
            path.clear();
        } else {
            const std::size_t end = path.find('/', 1);
            out += path.substr(0, end);
            path.erase(0, end == std::string::npos ? path.size() : end);
        }
    }
    return out;
}

}  // namespace

std::optional<WebsiteAddress> WebsiteAddress::Parse(std::string_view text) {
    if (text.size() > kMaxAddressLength) return std::nullopt;
    std::string trimmed(text);
    const std::string withoutSlash = RemoveTrailingSlash(trimmed);
    if (withoutSlash.empty()) return std::nullopt;

    const QUrl url = ReadAsTyped(QString::fromUtf8(withoutSlash.data(), static_cast<qsizetype>(withoutSlash.size())));
    if (!url.isValid()) return std::nullopt;

    WebsiteAddress a;
    a.scheme = url.scheme().toLower().toStdString();
    QString host = url.host(QUrl::EncodeUnicode).toLower();
    if (host.endsWith(u'.')) host.chop(1);
    a.host = host.toStdString();
    const bool web = a.scheme == "http" || a.scheme == "https";
    if (web && a.host.empty()) return std::nullopt;
    a.port = url.port(DefaultPort(a.scheme));
    a.hasUserInfo = !url.userInfo().isEmpty();
    a.path = RequestPath(url.path(QUrl::FullyEncoded).toStdString(), web);
    if (url.hasQuery()) a.query = url.query(QUrl::FullyEncoded).toStdString();
    return a;
}

bool AddressAdmits(const WebsiteAddress& assigned, const WebsiteAddress& tested) {
    if (assigned.scheme != "http" && assigned.scheme != "https") return false;
    if (tested.scheme != assigned.scheme || tested.hasUserInfo) return false;
    if (tested.host.empty() || tested.host != assigned.host || tested.port != assigned.port) return false;

    if (assigned.query) {
        if (!tested.query || !text::Equals(tested.path, assigned.path)) return false;
        return text::Equals(*tested.query, *assigned.query) ||
               BeginsWith(*assigned.query + "&", *tested.query, kTextCompare);
    }
    if (text::Equals(tested.path, assigned.path)) return true;
    if (assigned.path.empty()) return tested.path.front() == '/';
    if (tested.path.size() <= assigned.path.size() || !BeginsWith(assigned.path, tested.path, kTextCompare))
        return false;
    // Only at a segment boundary: "/shop" admits "/shop/cart", never "/shopping".
    return assigned.path.back() == '/' || tested.path[assigned.path.size()] == '/';
}

bool IsBlankPage(std::string_view text) { return text::Equals(text::TrimSpaces(text), "about:blank"); }

}  // namespace corvane

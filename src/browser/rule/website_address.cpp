#include "browser/rule/website_address.h"

#include <QString>
#include <algorithm>
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

bool IsWeb(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

// "." and ".." segments resolved, as a browser requests the path (done here because QUrl's own
// normalising leaves "/a/./b/../c" as "/a//c").
std::string ResolveDots(std::string path) {
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

// What a server that decodes before resolving makes of a path: "%2F" and "%5C" separate
// segments, "%2E" is a dot.
std::string DecodeSeparators(const std::string& path) {
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const std::string_view escape = std::string_view(path).substr(i, 3);
        if (text::Equals(escape, "%2F") || text::Equals(escape, "%5C")) {
            out += '/';
            i += 2;
        } else if (text::Equals(escape, "%2E")) {
            out += '.';
            i += 2;
        } else {
            out += path[i];
        }
    }
    return out;
}

}  // namespace

std::optional<WebsiteAddress> WebsiteAddress::Parse(std::string_view text) {
    if (text.size() > kMaxAddressLength) return std::nullopt;
    // Browsers drop tabs and line breaks anywhere in an address.
    std::string trimmed;
    for (char c : text)
        if (c != '\t' && c != '\n' && c != '\r') trimmed += c;
    std::string withoutSlash = RemoveTrailingSlash(trimmed);
    if (withoutSlash.empty()) return std::nullopt;

    QUrl url = ReadAsTyped(QString::fromUtf8(withoutSlash.data(), static_cast<qsizetype>(withoutSlash.size())));
    // A backslash before the query of a web address is a "/"; a "%5C" typed as such stays one.
    const std::size_t query = withoutSlash.find_first_of("?#");
    if (IsWeb(url) && withoutSlash.substr(0, query).find('\\') != std::string::npos) {
        std::replace(withoutSlash.begin(), withoutSlash.begin() + static_cast<std::ptrdiff_t>(
                                                                   std::min(query, withoutSlash.size())),
                     '\\', '/');
        url = ReadAsTyped(QString::fromUtf8(withoutSlash.data(), static_cast<qsizetype>(withoutSlash.size())));
    }
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
    a.path = ResolveDots(url.path(QUrl::FullyEncoded).toStdString());
    a.decodedPath = ResolveDots(DecodeSeparators(a.path));
    if (url.hasQuery()) a.query = url.query(QUrl::FullyEncoded).toStdString();
    return a;
}

namespace {

// The tested path equals the assigned one or continues it at a segment boundary: "/shop"
// admits "/shop/cart", never "/shopping".
bool PathAdmits(const std::string& assigned, const std::string& tested) {
    if (text::Equals(tested, assigned)) return true;
    if (assigned.empty()) return tested.front() == '/';
    if (tested.size() <= assigned.size() || !BeginsWith(assigned, tested, kTextCompare)) return false;
    return assigned.back() == '/' || tested[assigned.size()] == '/';
}

}  // namespace

bool AddressAdmits(const WebsiteAddress& assigned, const WebsiteAddress& tested) {
    if (assigned.scheme != "http" && assigned.scheme != "https") return false;
    if (tested.scheme != assigned.scheme || tested.hasUserInfo) return false;
    if (tested.host.empty() || tested.host != assigned.host || tested.port != assigned.port) return false;

    if (assigned.query) {
        if (!tested.query || !text::Equals(tested.path, assigned.path)) return false;
        return text::Equals(*tested.query, *assigned.query) ||
               BeginsWith(*assigned.query + "&", *tested.query, kTextCompare);
    }
    return PathAdmits(assigned.path, tested.path) && PathAdmits(assigned.decodedPath, tested.decodedPath);
}

bool SameAddress(const WebsiteAddress& a, const WebsiteAddress& b) {
    return a.scheme == b.scheme && a.host == b.host && a.port == b.port && a.hasUserInfo == b.hasUserInfo &&
           text::Equals(a.path, b.path) && a.query.has_value() == b.query.has_value() &&
           (!a.query || text::Equals(*a.query, *b.query));
}

std::optional<std::string> PlainHost(std::string_view text) {
    std::string lower(text::TrimSpaces(text));
    for (char& c : lower) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u >= 0x7F || u == '%' || u == '\\') return std::nullopt;
        if (u >= 'A' && u <= 'Z') c = static_cast<char>(u + 32);
    }
    std::string_view rest = lower;
    if (const std::size_t scheme = rest.find("://"); scheme != std::string_view::npos) rest.remove_prefix(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos) rest.remove_prefix(at + 1);
    if (rest.starts_with('[')) return std::nullopt;
    rest = rest.substr(0, rest.find(':'));
    if (rest.ends_with('.')) rest.remove_suffix(1);
    // QUrl writes numbers in any of their forms ("127.1", "0x7f.1") as a dotted quad.
    if (rest.find_first_not_of("0123456789abcdefx.") == std::string_view::npos) return std::nullopt;
    return std::string(rest);
}

bool IsBlankPage(std::string_view text) { return text::Equals(text::TrimSpaces(text), "about:blank"); }

}  // namespace corvane

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// An address taken apart for the assignment test: tabs and line breaks removed, trimmed, one
// final "/" dropped, read as the address box opens it (no scheme means http), the scheme and
// host in lower case, the host in its ASCII (IDN) form without a trailing dot, the port made
// explicit, path and query percent-encoded, and the path as a browser requests it (a backslash
// before the query of a web address read as "/", "." and ".." segments resolved).
struct WebsiteAddress {
    std::string scheme;
    std::string host;
    std::int32_t port = -1;
    bool hasUserInfo = false;
    // Encoded separators ("%2F", "%5C") kept as they are.
    std::string path;
    // The path as a server that decodes before resolving reads it: encoded separators as "/",
    // encoded dots as ".", and the dot segments this makes resolved.
    std::string decodedPath;
    std::optional<std::string> query;

    // Nothing for text that does not parse or is longer than kMaxAddressLength bytes.
    static std::optional<WebsiteAddress> Parse(std::string_view text);
};

// Longer addresses are refused without being read.
inline constexpr std::size_t kMaxAddressLength = 2048;

// True when the assigned address admits the tested one: both http or https with the same
// scheme, no user-info in the tested address, the same host label for label and the same
// port; the tested path equals the assigned one or continues it at a "/" (letter case
// ignored), both as sent and decoded. An assigned address with a query admits only its own
// path with that query, or with that query continued after "&".
bool AddressAdmits(const WebsiteAddress& assigned, const WebsiteAddress& tested);

// The same address: every part equal, path and query letter case ignored.
bool SameAddress(const WebsiteAddress& a, const WebsiteAddress& b);

// The host Parse reads in a plain text (printable ASCII, no "%" or backslash, a host that
// cannot be a number or a bracketed address); nothing where only Parse can tell.
std::optional<std::string> PlainHost(std::string_view text);

// "about:blank", the browser's empty page, which no rule withholds.
bool IsBlankPage(std::string_view text);

}  // namespace corvane

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// An address taken apart for the assignment test: trimmed, one final "/" dropped, read as the
// address box opens it (no scheme means http), the scheme and host in lower case, the host in
// its ASCII (IDN) form without a trailing dot, the port made explicit, path and query
// percent-encoded, and the path as a browser requests it (a backslash of a web address read as
// "/", "." and ".." segments resolved).
struct WebsiteAddress {
    std::string scheme;
    std::string host;
    std::int32_t port = -1;
    bool hasUserInfo = false;
    std::string path;
    std::optional<std::string> query;

    // Nothing for text that does not parse or is longer than kMaxAddressLength bytes.
    static std::optional<WebsiteAddress> Parse(std::string_view text);
};

// Longer addresses are refused without being read.
inline constexpr std::size_t kMaxAddressLength = 2048;

// True when the assigned address admits the tested one: both http or https with the same
// scheme, no user-info in the tested address, the same host label for label and the same
// port; the tested path equals the assigned one or continues it at a "/" (letter case
// ignored). An assigned address with a query admits only its own path with that query, or
// with that query continued after "&".
bool AddressAdmits(const WebsiteAddress& assigned, const WebsiteAddress& tested);

// "about:blank", the browser's empty page, which no rule withholds.
bool IsBlankPage(std::string_view text);

}  // namespace corvane

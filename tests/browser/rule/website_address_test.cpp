#include <gtest/gtest.h>

#include <string>

#include "browser/rule/website_address.h"

namespace corvane {
namespace {

TEST(WebsiteAddress, TextThatDoesNotParseIsNoAddress) {
    const std::string rows[] = {
        "", "   ", "/", "http://", "http://a b.com/", "http://[::1", "http://a.com:99999/", "\xFF\xFE\xFD",
        "http://a.com/" + std::string(kMaxAddressLength, 'x'),
    };
    for (const auto& text : rows) EXPECT_FALSE(WebsiteAddress::Parse(text).has_value()) << text.substr(0, 40);
}

TEST(WebsiteAddress, ReadsAddressesAsTheAddressBoxOpensThem) {
    struct Row {
        const char* text;
        const char* scheme;
        const char* host;
        int port;
        const char* path;
    } const rows[] = {
        {" HTTP://A.COM./Shop/ ", "http", "a.com", 80, "/Shop"},
        {"a.com:8080/x", "http", "a.com", 8080, "/x"},
        {"localhost", "http", "localhost", 80, ""},
        {"https://%61.com:443", "https", "a.com", 443, ""},
        {"http://B\xC3\x9C" "CHER.de/a/./b/../c", "http", "xn--bcher-kva.de", 80, "/a/c"},
        {"http://a.com/a/b/../../../c/./d/..", "http", "a.com", 80, "/c/"},
        {"http://a.com/store\\x\\..\\..\\admin", "http", "a.com", 80, "/admin"},
        {"javascript:alert(1)", "javascript", "", -1, "alert(1)"},
    };
    for (const auto& r : rows) {
        const auto a = WebsiteAddress::Parse(r.text);
        ASSERT_TRUE(a.has_value()) << r.text;
        EXPECT_EQ(a->scheme, r.scheme) << r.text;
        EXPECT_EQ(a->host, r.host) << r.text;
        EXPECT_EQ(a->port, r.port) << r.text;
        EXPECT_EQ(a->path, r.path) << r.text;
    }
}

}  // namespace
}  // namespace corvane

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

TEST(WebsiteAddress, PathsAsSentAndAsADecodingServerReadsThem) {
    struct Row {
        const char* text;
        const char* path;
        const char* decodedPath;
    } const rows[] = {
        {"http://a.com/docs/.\t./ad\r\nmin", "/admin", "/admin"},
        {"http://a.com/ok/..%2Fsecret/x/", "/ok/..%2Fsecret/x", "/secret/x"},
        {"http://a.com/a%5cb", "/a%5Cb", "/a/b"},
        {"http://a.com/a\\b?q=\\", "/a/b", "/a/b"},
        {"http://a.com/ok/%2E%2E/x", "/x", "/x"},
    };
    for (const auto& r : rows) {
        const auto a = WebsiteAddress::Parse(r.text);
        ASSERT_TRUE(a.has_value()) << r.text;
        EXPECT_EQ(a->path, r.path) << r.text;
        EXPECT_EQ(a->decodedPath, r.decodedPath) << r.text;
    }
}

// PlainHost names a host only where Parse reads the same one.
TEST(WebsiteAddress, PlainHostsAreTheHostsParseReads) {
    struct Row {
        const char* text;
        const char* host;  // nullptr: nothing
    } const rows[] = {
        {" HTTP://A.Com./x ", "a.com"}, {"a.com:8080/x", "a.com"}, {"http://u:p@b.com/", "b.com"},
        {"localhost", "localhost"}, {"http://xn--bcher-kva.de", "xn--bcher-kva.de"},
        {"http://127.1/", nullptr}, {"http://0x7f.0.0.1/", nullptr}, {"http://[::1]/", nullptr},
        {"http://%61.com", nullptr}, {"http://b\xC3\xBC" "cher.de", nullptr}, {"http://a.com\\x", nullptr},
        {"http://a.c\tom/", nullptr}, {"http://face.cafe/", nullptr},
    };
    for (const auto& r : rows) {
        const auto host = PlainHost(r.text);
        EXPECT_EQ(host.has_value(), r.host != nullptr) << r.text;
        if (!host || !r.host) continue;
        EXPECT_EQ(*host, r.host) << r.text;
        const auto a = WebsiteAddress::Parse(r.text);
        ASSERT_TRUE(a.has_value()) << r.text;
        EXPECT_EQ(a->host, *host) << r.text;
    }
}

}  // namespace
}  // namespace corvane

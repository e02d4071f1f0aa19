#pragma once

#include <string>
#include <vector>

#include "website_rule_fixture.h"

namespace corvane::testing {

struct RuleRow {
    std::string login;
    std::string url;
    bool allowed;
};

// One world every rule test shares: who is who, what the catalogue holds and what is assigned.
inline void PopulateWorld() {
    using T = WebsiteRuleTest;
    T::AddUser({.login = "admin", .administrator = true});
    T::AddUser({.login = "free", .enforceWebsites = false});
    T::AddUser({.login = "ann"});
    T::AddUser({.login = "nolinks", .level = 0});
    T::AddWebsites({
        "http://a.com", "http://a.com/page", "http://A.com/Page/Sub", "a.com/page", "http://a.com./page",
        "http://%61.com/page", "http://a.com:80/page", "http://a.com:8080/page", "https://a.com/page",
        "http://a.com.evil.org", "http://a.com.evil.org/page", "http://evila.com", "http://www.a.com/page",
        "http://a.community.net", "http://a.com@evil.org", "http://user@a.com/page", "http://a b.com/page",
        "https://shop.example.org/store", "https://shop.example.org/store/cart", "https://shop.example.org/storefront",
        "https://shop.example.org/store/../admin", "https://shop.example.org/store/x\\..\\..\\admin",
        "https://shop.example.org/Store/Cart",
        "https://shop.example.org/store/.\t./admin", "https://shop.example.org/st\tore/ca\nrt",
        "https://shop.example.org/store%5Cevil", "https://shop.example.org/store/a%5Cb",
        "https://shop.example.org/store/..%2Fadmin", "https://shop.example.org/store/..%2fadmin/x/",
        "https://shop.example.org/store/..%5Cadmin", "https://shop.example.org/store/%2E%2E/admin",
        "https://shop.example.org/store/%2e./admin", "https://shop.example.org/store/a%2Fb",
        "http://q.example.com/list?cat=1", "http://q.example.com/list?cat=1&page=2", "http://q.example.com/list?cat=12",
        "http://q.example.com/list?cat=2", "http://q.example.com/list/more?cat=1", "http://q.example.com/list",
        "http://xn--bcher-kva.de/buch", "http://b\xC3\xBC" "cher.de/buch", "http://xn--bcher-kva.de.evil.org/buch",
        "http://ports.example.com:8080/x", "http://ports.example.com/x",
        "file:///etc/passwd", "file:///home/ann/x", "data:text/html,hi", "javascript:alert(1)",
        "view-source:http://a.com/page", "blob:http://a.com/1234", "about:config",
        // A school site with two of its pages, as a site's administrator catalogues it.
        "http://127.0.0.1:8765/", "http://127.0.0.1:8765/school/", "http://127.0.0.1:8765/school/index.html",
        "http://127.0.0.1:8765/school/maths/",
    });
    T::Assign("ann", {"http://a.com/", "bad link ::: %%%", "https://shop.example.org/store", "http://q.example.com/list?cat=1",
                      "http://b\xC3\xBC" "cher.de", "http://ports.example.com:8080", "file:///home/ann",
                      "view-source:http://a.com", "http://127.0.0.1:8765/school/"});
}

// What the rule answers in PopulateWorld with "Require Login" on.
inline std::vector<RuleRow> WorldRows() {
    return {
        // The login and the user's switches.
        {"", "http://a.com/page", false},
        {"ghost", "http://a.com/page", false},
        {"   ", "http://a.com/page", false},
        {"  ANN ", "http://a.com/page", true},
        {"admin", "http://not.in.catalogue/", true},
        {"admin", "javascript:alert(1)", true},
        {"free", "http://not.in.catalogue/", true},
        {"nolinks", "http://a.com/page", false},  // level 0 without the flag still needs assignments
        {"ann", "about:blank", true},
        // The school: the site and its catalogued pages open, a page not catalogued and the
        // server's top (catalogued, but not begun by the assigned site) do not.
        {"ann", "http://127.0.0.1:8765/school/", true},
        {"ann", "http://127.0.0.1:8765/school/index.html", true},
        {"ann", "http://127.0.0.1:8765/school/maths/", true},
        {"ann", "http://127.0.0.1:8765/school/other.html", false},
        {"ann", "http://127.0.0.1:8765/", false},
        {"ann", "127.0.0.1:8765/school/index.html", false},  // typed without its scheme: not the entry's text
        {"ann", " About:Blank ", true},
        // The catalogue: the whole address, trimmed, letter case ignored, no slash removed.
        {"ann", "http://a.com/page/", false},
        {"ann", "  HTTP://A.COM/PAGE  ", true},
        {"ann", "http://a.com/other", false},
        {"ann", "http://a.com/" + std::string(3000, 'x'), false},
        // Prefixes at segment boundaries with the case ignored.
        {"ann", "http://a.com", true},
        {"ann", "http://A.com/Page/Sub", true},
        {"ann", "https://shop.example.org/store", true},
        {"ann", "https://shop.example.org/store/cart", true},
        {"ann", "https://shop.example.org/Store/Cart", true},
        {"ann", "https://shop.example.org/storefront", false},
        {"ann", "https://shop.example.org/store/../admin", false},
        {"ann", "https://shop.example.org/store/x\\..\\..\\admin", false},
        // Tabs and line breaks are dropped; an encoded separator or dot stays inside the
        // assigned path only when it does so both as sent and decoded by the server.
        {"ann", "https://shop.example.org/store/.\t./admin", false},
        {"ann", "https://shop.example.org/st\tore/ca\nrt", true},
        {"ann", "https://shop.example.org/store%5Cevil", false},
        {"ann", "https://shop.example.org/store/a%5Cb", true},
        {"ann", "https://shop.example.org/store/..%2Fadmin", false},
        {"ann", "https://shop.example.org/store/..%2fadmin/x/", false},
        {"ann", "https://shop.example.org/store/..%5Cadmin", false},
        {"ann", "https://shop.example.org/store/%2E%2E/admin", false},
        {"ann", "https://shop.example.org/store/%2e./admin", false},
        {"ann", "https://shop.example.org/store/a%2Fb", true},
        // Hosts equal label for label.
        {"ann", "http://a.com.evil.org", false},
        {"ann", "http://a.com.evil.org/page", false},
        {"ann", "http://evila.com", false},
        {"ann", "http://www.a.com/page", false},
        {"ann", "http://a.community.net", false},
        {"ann", "http://a.com./page", true},
        {"ann", "http://%61.com/page", true},
        {"ann", "a.com/page", true},  // read as http, as the address box opens it
        // User-info, ports and schemes.
        {"ann", "http://a.com@evil.org", false},
        {"ann", "http://user@a.com/page", false},
        {"ann", "http://a.com:80/page", true},
        {"ann", "http://a.com:8080/page", false},
        {"ann", "https://a.com/page", false},
        {"ann", "http://ports.example.com:8080/x", true},
        {"ann", "http://ports.example.com/x", false},
        // Queries.
        {"ann", "http://q.example.com/list?cat=1", true},
        {"ann", "http://q.example.com/list?cat=1&page=2", true},
        {"ann", "http://q.example.com/list?cat=12", false},
        {"ann", "http://q.example.com/list?cat=2", false},
        {"ann", "http://q.example.com/list/more?cat=1", false},
        {"ann", "http://q.example.com/list", false},
        // International hosts in either form.
        {"ann", "http://xn--bcher-kva.de/buch", true},
        {"ann", "http://b\xC3\xBC" "cher.de/buch", true},
        {"ann", "http://xn--bcher-kva.de.evil.org/buch", false},
        // Other schemes, assigned or not, and addresses that do not parse.
        {"ann", "file:///etc/passwd", false},
        {"ann", "file:///home/ann/x", false},
        {"ann", "data:text/html,hi", false},
        {"ann", "javascript:alert(1)", false},
        {"ann", "view-source:http://a.com/page", false},
        {"ann", "blob:http://a.com/1234", false},
        {"ann", "about:config", false},
        {"ann", "http://a b.com/page", false},
    };
}

}  // namespace corvane::testing

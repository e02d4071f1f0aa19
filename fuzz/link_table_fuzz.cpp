// userwebsites.sec (a link table) read from arbitrary bytes, checked against the Oracle: counts,
// both walks, every valid link found by its own pair and by its login's loader, and a file that
// reading leaves untouched.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/user_website.h"
#include "platform/core/text.h"
#include "support/table_oracle.h"
#include "support/table_walks.h"

using namespace corvane;
using namespace corvane::fuzz;

namespace {
// Key fields in the order Load takes them: the address, then the login.
const TableFormat kLinks{"userwebsites.sec", 554, 279, {{20, 255}, {0, 20}}, 277};
constexpr std::size_t kUrl = 0, kLogin = 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = WriteTableFile(kLinks, data, size);
    const Oracle oracle(std::string(reinterpret_cast<const char*>(data), size), kLinks);

    std::map<std::int32_t, std::pair<std::string, std::string>> pairs;
    CheckWalks<UserWebsite>(oracle, [](const UserWebsite& w) { return w.WebsiteID(); }, [&](UserWebsite& w) {
        CheckKeyText(oracle, w.WebsiteID(), kUrl, w.URL());
        CheckKeyText(oracle, w.WebsiteID(), kLogin, w.UserLogin());
        pairs[w.WebsiteID()] = {w.URL(), w.UserLogin()};
    });
    UserWebsite finder;
    for (const auto& [n, pair] : pairs) {
        const auto& [url, login] = pair;
        Require(finder.Load(url, login), "Load finds link " + std::to_string(n));
        const std::int32_t m = finder.WebsiteID();
        Require(m <= n && oracle.Valid(m), "Load finds a valid link no later than its own");
        Require(text::EqualsBytes(oracle.Key(m, kUrl), oracle.Key(n, kUrl)) &&
                    text::EqualsBytes(oracle.Key(m, kLogin), oracle.Key(n, kLogin)),
                "Load finds an equal pair");
        Require(finder.Exists(url, login), "Exists finds link " + std::to_string(n));

        // The login's loader hands out exactly the valid links of an equal login, in order.
        std::vector<std::int32_t> expected;
        for (std::int32_t j : oracle.ValidIds())
            if (text::EqualsBytes(oracle.Key(j, kLogin), cp1252::FromUtf8(text::TrimSpaces(login))))
                expected.push_back(j);
        Require(finder.LoadWebsites(login) == !expected.empty(), "LoadWebsites answers");
        std::vector<std::int32_t> loaded;
        if (finder.UserWebsites())
            for (const auto& link : *finder.UserWebsites()) loaded.push_back(link->WebsiteID());
        Require(loaded == expected, "LoadWebsites hands out the login's links");
    }
    Require(ReadWholeFile(path) == oracle.Bytes(), "reading writes nothing");
    return 0;
}

// users.sec (a keyed table) read from arbitrary bytes, checked against the Oracle: counts, both
// walks, every valid record found by its own login, and a file that reading leaves untouched.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "platform/core/text.h"
#include "recordstore/user.h"
#include "support/table_oracle.h"
#include "support/table_walks.h"

using namespace corvane;
using namespace corvane::fuzz;

namespace {
const TableFormat kUsers{"users.sec", 4176, 2160, {{50, 20}}, 2078};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = WriteTableFile(kUsers, data, size);
    const Oracle oracle(std::string(reinterpret_cast<const char*>(data), size), kUsers);

    std::map<std::int32_t, std::string> logins;
    CheckWalks<User>(oracle, [](const User& u) { return u.UserID(); }, [&](User& u) {
        CheckKeyText(oracle, u.UserID(), 0, u.Login());
        logins[u.UserID()] = u.Login();
    });
    {
        User u;
        Require(u.UserCount() == oracle.Keyed(), "UserCount");
    }
    User finder;
    for (const auto& [n, login] : logins) {
        const std::string key = oracle.Key(n, 0);
        Require(finder.Load(login), "Load finds record " + std::to_string(n));
        const std::int32_t m = finder.UserID();
        Require(m <= n && oracle.Valid(m), "Load finds a valid record no later than its own");
        Require(text::EqualsBytes(oracle.Key(m, 0), key), "Load finds an equal login");
        for (std::int32_t j = 1; j < m; ++j)
            Require(!oracle.Valid(j) || oracle.Key(j, 0) != key, "Load skips no earlier record of the login");
        Require(finder.Exists(login), "Exists finds record " + std::to_string(n));
        (void)finder.IsRecordLocked(login);
    }
    Require(ReadWholeFile(path) == oracle.Bytes(), "reading writes nothing");
    return 0;
}

// userlog.sec (a log table) read from arbitrary bytes, checked against the Oracle: counts, both
// walks, every number loading exactly when its record is valid, and a file that reading leaves
// untouched.
#include <cstddef>
#include <cstdint>
#include <string>

#include "logs/user_log.h"
#include "support/table_oracle.h"
#include "support/table_walks.h"

using namespace corvane;
using namespace corvane::fuzz;

namespace {
const TableFormat kUserLog{"userlog.sec", 364, 194, {{0, 20}}, 192};
constexpr std::size_t kActive = 188;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = WriteTableFile(kUserLog, data, size);
    const Oracle oracle(std::string(reinterpret_cast<const char*>(data), size), kUserLog);

    CheckWalks<UserLog>(oracle, [](const UserLog& l) { return l.LogID(); },
                        [&](UserLog& l) { CheckKeyText(oracle, l.LogID(), 0, l.UserLogin()); });
    UserLog finder;
    for (std::int32_t n = -1; n <= oracle.Slots() + 1; ++n) {
        const bool valid = oracle.Valid(n);
        Require(finder.Exists(n) == valid, "Exists of record " + std::to_string(n));
        Require(finder.Load(n) == valid, "Load of record " + std::to_string(n));
        Require(finder.IsSynchronised() == valid, "Load leaves the object synchronised only on a record");
        if (valid) Require(finder.LogID() == n, "Load's LogID");
    }
    std::int32_t active = 0;
    for (std::int32_t n : oracle.ValidIds()) {
        const std::size_t at = (static_cast<std::size_t>(n) - 1) * 364 + kActive;
        if (oracle.Bytes()[at] != 0 || oracle.Bytes()[at + 1] != 0) ++active;
    }
    Require(finder.GetActiveUserCount() == active, "GetActiveUserCount");
    Require(ReadWholeFile(path) == oracle.Bytes(), "reading writes nothing");
    return 0;
}

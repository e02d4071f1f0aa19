// The program's own executables in the Restrict Run list.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "lockdown/restrict_run.h"
#include "platform/settings/registry.h"
#include "platform/settings/settings_store.h"
#include "rules_test_support.h"
#include "session/rules/corvane_restrict_run.h"

namespace corvane {
namespace {

using namespace testing;
using Entries = std::vector<std::pair<std::string, std::string>>;

Entries List() {
    Entries entries;
    Registry reg;
    for (const auto& value : reg.EnumValues(HKEY_CURRENT_USER, kRestrictRunKey))
        entries.emplace_back(value->ValueName(), VariantText(value->Value()));
    return entries;
}

void Put(const Entries& entries) {
    for (const auto& [name, data] : entries) WriteRegistryValue(HKEY_CURRENT_USER, kRestrictRunKey, name, data, REG_SZ);
}

using CorvaneRestrictRun = RulesTest;

TEST_F(CorvaneRestrictRun, MissingExecutablesJoinUnderFreshNumbers) {
    struct Case {
        const char* what;
        Entries before;
        Entries added;
    };
    const std::vector<Case> cases = {
        {"no key", {},
         {{"1", "CorvaneEnt.exe"}, {"2", "CorvanePro.exe"}, {"3", "CorvaneStd.exe"}, {"4", "CorvaneLte.exe"}}},
        {"five others",
         {{"1", "a.exe"}, {"2", "b.exe"}, {"3", "c.exe"}, {"4", "d.exe"}, {"5", "e.exe"}},
         {{"6", "CorvaneEnt.exe"}, {"7", "CorvanePro.exe"}, {"8", "CorvaneStd.exe"}, {"9", "CorvaneLte.exe"}}},
        {"a gap", {{"1", "a.exe"}, {"3", "c.exe"}},
         {{"4", "CorvaneEnt.exe"}, {"5", "CorvanePro.exe"}, {"6", "CorvaneStd.exe"}, {"7", "CorvaneLte.exe"}}},
        {"out of order, odd names", {{"9", "a.exe"}, {"2", "b.exe"}, {"x", "c.exe"}},
         {{"10", "CorvaneEnt.exe"}, {"11", "CorvanePro.exe"}, {"12", "CorvaneStd.exe"}, {"13", "CorvaneLte.exe"}}},
        {"some present in any case, one as a full path",
         {{"1", "corvanepro.EXE"}, {"2", "C:\\Corvane\\CorvaneStd.exe"}, {"3", "CORVANELTE.EXE"}},
         {{"4", "CorvaneEnt.exe"}, {"5", "CorvaneStd.exe"}}},
        {"all present",
         {{"4", "CorvaneLte.exe"}, {"3", "corvanestd.exe"}, {"2", "CorvanePro.exe"}, {"1", "CorvaneEnt.exe"}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Registry().DeleteKey(HKEY_CURRENT_USER, kRestrictRunKey);
        Put(c.before);
        CorvaneToRestrictRun();
        Entries expected = c.before;
        expected.insert(expected.end(), c.added.begin(), c.added.end());
        EXPECT_EQ(List(), expected);
        CorvaneToRestrictRun();  // a second call adds nothing
        EXPECT_EQ(List(), expected);
    }
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace corvane

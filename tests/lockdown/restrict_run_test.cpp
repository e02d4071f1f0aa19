// Numbering and adding entries of the Restrict Run list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lockdown/restrict_run.h"
#include "lockdown_test_support.h"
#include "platform/settings/registry.h"
#include "platform/settings/settings_store.h"

namespace corvane {
namespace {

using namespace testing;

TEST(RestrictRunNumbering, TakesOneAboveTheHighestNumberNeverANameInUse) {
    struct Case {
        std::vector<std::string> names;
        const char* next;
    };
    const std::vector<Case> cases = {
        {{}, "1"},
        {{"1", "2", "3", "4", "5"}, "6"},
        {{"1", "3"}, "4"},                        // a gap left by a delete stays
        {{"5", "2", "9", "3"}, "10"},             // not in ascending order
        {{"9", "10"}, "11"},                      // compared as numbers, not texts
        {{"abc", "2", "x7", "3b"}, "3"},          // other names are skipped
        {{"abc", ""}, "1"},
        {{"32767", "1"}, "32768"},                // beyond 16 bits
        {{"007"}, "8"},
        {{"99999999999", "4"}, "5"},              // beyond 32 bits: not a number here
        {{"2147483647", "1", "2", "4"}, "3"},     // the top is taken: the lowest free one
        {{"2147483647"}, "1"},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& n : c.names) shown += "[" + n + "]";
        SCOPED_TRACE(shown);
        EXPECT_EQ(NextRestrictRunName(c.names), c.next);
    }
}

using RestrictRunList = LockdownTest;

TEST_F(RestrictRunList, EntriesAreAddedUnderFreshNumbers) {
    Registry reg;
    EXPECT_TRUE(RestrictRunNames().empty());  // no key yet
    EXPECT_TRUE(AddRestrictRunEntry("notes.exe"));

    WriteRegistryValue(HKEY_CURRENT_USER, kRestrictRunKey, "7", "calc.exe", REG_SZ);
    WriteRegistryValue(HKEY_CURRENT_USER, kRestrictRunKey, "3", "paint.exe", REG_SZ);
    EXPECT_TRUE(AddRestrictRunEntry("mail.exe"));

    EXPECT_EQ(RestrictRunNames(), (std::vector<std::string>{"1", "7", "3", "8"}));
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, kRestrictRunKey, "1", ""), "notes.exe");
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, kRestrictRunKey, "7", ""), "calc.exe");
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, kRestrictRunKey, "8", ""), "mail.exe");
}

}  // namespace
}  // namespace corvane

// The link collections, on UserMembers (the four share one implementation).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/core/raised_error.h"
#include "recordstore/user_member.h"

namespace corvane {
namespace {

std::shared_ptr<UserMember> Link() { return std::make_shared<UserMember>(); }

std::vector<UserMember*> Walk(const UserMembers& c) {
    std::vector<UserMember*> seen;
    for (const auto& item : c) seen.push_back(item.get());
    return seen;
}

TEST(LinkCollection, UnkeyedItemsKeepTheirOrderAndAreShared) {
    UserMembers c;
    EXPECT_EQ(c.Count(), 0);
    const auto a = Link(), b = Link(), d = Link();
    EXPECT_EQ(c.Add(a), a);
    c.Add(b, "");
    c.Add(d);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(Walk(c), (std::vector<UserMember*>{a.get(), b.get(), d.get()}));
    EXPECT_EQ(c.Item(1), a);
    a->SetGroup("changed by its holder");
    EXPECT_EQ(c.Item(1)->Group(), "changed by its holder");

    c.Remove(2);  // later items move down
    EXPECT_EQ(c.Item(2), d);
    EXPECT_EQ(c.Count(), 2);
}

TEST(LinkCollection, KeysAreUniqueWithoutLetterCase) {
    UserMembers c;
    const auto first = Link(), second = Link(), space = Link();
    c.Add(first, "k1");
    EXPECT_THROW(c.Add(second, "K1"), RaisedError);
    EXPECT_EQ(c.Count(), 1);
    c.Add(space, " ");  // a key of spaces is a key
    EXPECT_EQ(c.Item(" "), space);
    EXPECT_EQ(c.Item("K1"), first);
    c.Remove("k1");
    EXPECT_EQ(c.Count(), 1);
    c.Add(second, "K1");  // free again
    EXPECT_EQ(c.Item(2), second);
}

TEST(LinkCollection, AmendReplacesTheKeyedItemAtTheEnd) {
    UserMembers c;
    const auto a = Link(), b = Link(), d = Link(), fresh = Link();
    c.Add(a, "a");
    c.Add(b, "b");
    c.Add(d);
    EXPECT_EQ(c.Amend(fresh, "A"), fresh);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item(3), fresh);
    EXPECT_EQ(c.Item("a"), fresh);
    EXPECT_EQ(c.Item(1), b);

    EXPECT_EQ(c.Amend(a, ""), a);  // no key: nothing changes
    EXPECT_EQ(Walk(c), (std::vector<UserMember*>{b.get(), d.get(), fresh.get()}));
    EXPECT_THROW(c.Amend(a, "missing"), RaisedError);
    EXPECT_EQ(c.Count(), 3);
}

TEST(LinkCollection, BadPositionsAndKeysRaiseAndChangeNothing) {
    UserMembers c;
    c.Add(Link());
    c.Add(Link());
    const struct {
        const char* what;
        std::function<void()> call;
    } cases[] = {
        {"Item 0", [&] { c.Item(0); }},
        {"Item Count + 1", [&] { c.Item(3); }},
        {"Item -1", [&] { c.Item(-1); }},
        {"Item by key without keys", [&] { c.Item("x"); }},
        {"Item by the empty key", [&] { c.Item(""); }},
        {"Remove 0", [&] { c.Remove(0); }},
        {"Remove Count + 1", [&] { c.Remove(3); }},
        {"Remove an unknown key", [&] { c.Remove("x"); }},
    };
    for (const auto& k : cases) {
        try {
            k.call();
            ADD_FAILURE() << k.what << ": nothing raised";
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Source().rfind("UserMembers.", 0), 0u) << k.what;
        }
        EXPECT_EQ(c.Count(), 2) << k.what;
    }
}

TEST(LinkCollection, ClearEmptiesAnySize) {
    UserMembers c;
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    const auto kept = Link();
    for (int i = 0; i < 5; ++i) c.Add(i == 2 ? kept : Link(), i % 2 ? "" : std::string(1, static_cast<char>('a' + i)));
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(kept.use_count(), 1);  // the collection let go of its references
    c.Add(kept, "c");                // and of its keys
    EXPECT_EQ(c.Item("C"), kept);
}

}  // namespace
}  // namespace corvane

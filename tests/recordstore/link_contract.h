#pragma once

// The contract every link table keeps (memberships and assignments), as a typed suite. A test
// program specialises LinkTraits for its tables, with the values typed from each table's
// format, and instantiates LinkContract over them. Include once per test program.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/raised_error.h"
#include "recordstore/contract_support.h"
#include "recordstore/record_engine.h"

namespace corvane::testing {

// Per table: kFile, kSlot, kData, kKeyWidth (the key is at 20, the login 0/20), kActive,
// kDeleted, kClass, kTableName, kByLogin and kByKey (its loaders' names), kSaveWord (the word
// of its SaveMembers error), Override(), Key/SetKey, Id, LoadByLogin/LoadByKey, Links/SetLinks.
template <typename Table>
struct LinkTraits;

// The accessors of LinkTraits from the table's members.
template <typename Table, auto KeyOf, auto SetKeyOf, auto IdOf, auto ByLoginOf, auto ByKeyOf, auto LinksOf,
          auto SetLinksOf>
struct LinkAccess {
    using Collection = typename Table::Collection;
    static std::string Key(const Table& t) { return (t.*KeyOf)(); }
    static void SetKey(Table& t, std::string v) { (t.*SetKeyOf)(std::move(v)); }
    static std::int32_t Id(const Table& t) { return (t.*IdOf)(); }
    static bool LoadByLogin(Table& t, std::string_view v) { return (t.*ByLoginOf)(v); }
    static bool LoadByKey(Table& t, std::string_view v) { return (t.*ByKeyOf)(v); }
    static std::shared_ptr<Collection> Links(const Table& t) { return (t.*LinksOf)(); }
    static void SetLinks(Table& t, std::shared_ptr<Collection> v) { (t.*SetLinksOf)(std::move(v)); }
};

template <typename Table>
class LinkContract : public ContractTest {
protected:
    using T = LinkTraits<Table>;

    void TearDown() override {
        T::Override()->clear();
        ContractTest::TearDown();
    }

    static RawRecord Rec(std::string_view login, std::string_view key, std::int16_t deleted = 0,
                         std::int16_t active = 0) {
        RawRecord r(T::kData);
        r.Text(0, 20, login).Text(20, T::kKeyWidth, key).Int16(T::kActive, active).Int16(T::kDeleted, deleted);
        return r;
    }
    void Write(std::initializer_list<RawRecord> records) { WriteSlots(T::kFile, T::kSlot, records); }
    std::string Data(int n) { return SlotData(T::kFile, T::kSlot, T::kData, n); }
    std::string Tomb() { return Tombstone(T::kData, {{0, 20}, {20, T::kKeyWidth}}, T::kDeleted); }
    static void Add(Table& t, std::string login, std::string key) {
        t.SetUserLogin(std::move(login));
        T::SetKey(t, std::move(key));
        t.AddNew();
    }
    // The identities of the items of the table's collection, in order.
    static std::vector<std::int32_t> Ids(const Table& t) {
        std::vector<std::int32_t> ids;
        for (const auto& link : *T::Links(t)) ids.push_back(T::Id(*link));
        return ids;
    }
    std::string Source(const char* word) { return std::string(T::kClass) + "." + word; }
};

TYPED_TEST_SUITE_P(LinkContract);

using Ids = std::vector<std::int32_t>;

TYPED_TEST_P(LinkContract, KeysArePairsKeyFirstAndBlankOnlyWhenBothAre) {
    using T = typename TestFixture::T;
    this->Write({this->Rec("jsmith", "ADMINS"), this->Rec("jsmith", "ADMINS", -1), this->Rec("JSmith", "admins"),
                 this->Rec("", "ADMINS"), this->Rec("kim", ""), this->Rec("  ", "  "), this->Rec("admins", "jsmith")});
    TypeParam t;
    EXPECT_TRUE(t.Exists(" admins ", "JSMITH "));
    EXPECT_EQ(t.Loc(), 1);  // the lowest of the equal pairs
    ASSERT_TRUE(t.Load("jsmith", "admins"));  // the key comes first: only the reversed pair
    EXPECT_EQ(T::Id(t), 7);
    ASSERT_TRUE(t.Load("", "KIM"));  // a login alone is a key
    EXPECT_EQ(T::Id(t), 5);
    EXPECT_EQ(t.UserLogin(), "kim");
    EXPECT_FALSE(t.Exists("", ""));
    EXPECT_EQ(t.RecordCount(), 5);

    ASSERT_TRUE(T::LoadByLogin(t, "JSMITH"));
    EXPECT_EQ(this->Ids(t), (Ids{1, 3}));
    ASSERT_TRUE(T::LoadByLogin(t, "  "));  // the links whose login alone is blank
    EXPECT_EQ(this->Ids(t), (Ids{4}));
    ASSERT_TRUE(T::LoadByKey(t, ""));  // the links whose key alone is blank
    EXPECT_EQ(this->Ids(t), (Ids{5}));
}

TYPED_TEST_P(LinkContract, LoadersHandOutDetachedCopiesInRecordOrder) {
    using T = typename TestFixture::T;
    this->Write({this->Rec("ann", "alpha", 0, -1), this->Rec("bob", "alpha"), this->Rec("ann", "beta", -1),
                 this->Rec("ANN ", "gamma"), this->Rec("cat", "gamma"), this->Rec(" ann", "delta")});
    TypeParam t;
    int loaded = 0;
    t.SetObserver([&](TableNotification n) { loaded += n == TableNotification::Loaded; });
    ASSERT_TRUE(T::LoadByLogin(t, "Ann"));
    EXPECT_EQ(this->Ids(t), (Ids{1, 4, 6}));
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(t.Loc(), 7);  // past the last slot
    EXPECT_TRUE(t.IsEOF());
    EXPECT_TRUE(t.IsSynchronised());
    EXPECT_FALSE(t.IsDirty());
    EXPECT_EQ(T::Id(t), 6);  // the last match
    EXPECT_EQ(T::Key(t), "delta");

    const auto first = T::Links(t)->Item(1);
    EXPECT_EQ(first->UserLogin(), "ann");
    EXPECT_EQ(T::Key(*first), "alpha");
    EXPECT_EQ(first->Active(), -1);
    EXPECT_TRUE(first->ValidRecord());  // callers rely on it: the copy never read a record
    EXPECT_FALSE(first->IsDirty());
    EXPECT_FALSE(first->IsSynchronised());
    EXPECT_EQ(first->TablePathName(), "");

    const auto held = T::Links(t);
    EXPECT_FALSE(T::LoadByLogin(t, "nobody"));
    EXPECT_TRUE(t.NoMatch());
    EXPECT_FALSE(t.IsSynchronised());
    ASSERT_NE(T::Links(t), nullptr);
    EXPECT_NE(T::Links(t), held);
    EXPECT_EQ(T::Links(t)->Count(), 0);
    EXPECT_EQ(held->Count(), 3);  // a collection taken earlier stays as it was
    EXPECT_EQ(T::Id(t), 6);       // the properties too
    EXPECT_EQ(t.Loc(), 7);
    EXPECT_EQ(loaded, 1);

    ASSERT_TRUE(T::LoadByKey(t, " GAMMA"));
    EXPECT_EQ(this->Ids(t), (Ids{4, 5}));
}

TYPED_TEST_P(LinkContract, LoadersReplaceTheCollectionBeforeOpening) {
    using T = typename TestFixture::T;
    this->Write({this->Rec("ann", "alpha")});
    TypeParam t;
    EXPECT_EQ(T::Links(t), nullptr);
    ASSERT_TRUE(T::LoadByLogin(t, "ann"));
    const auto held = T::Links(t);
    auto mine = std::make_shared<typename TypeParam::Collection>();
    T::SetLinks(t, mine);  // by reference, and not a change of the record
    EXPECT_EQ(T::Links(t), mine);
    EXPECT_FALSE(t.IsDirty());

    t.Disconnect();
    std::filesystem::remove_all(this->folder_);  // the file it reopens is gone with its folder
    ExpectRaised(T::kByLogin, vbObjectError + 11, this->Source(T::kByLogin), [&] { T::LoadByLogin(t, "ann"); });
    ASSERT_NE(T::Links(t), nullptr);
    EXPECT_NE(T::Links(t), mine);
    EXPECT_EQ(T::Links(t)->Count(), 0);
    EXPECT_EQ(held->Count(), 1);
    ExpectRaised(T::kByKey, vbObjectError + 11, this->Source(T::kByKey), [&] { T::LoadByKey(t, "alpha"); });
}

TYPED_TEST_P(LinkContract, DeletingEveryLinkOfALoginLeavesItsLoaderNothing) {
    using T = typename TestFixture::T;
    {
        TypeParam writer;
        this->Add(writer, "ann", "a");
        this->Add(writer, "bob", "a");
        this->Add(writer, "ann", "b");
        this->Add(writer, "ann", "c");
    }
    TypeParam t;
    ASSERT_TRUE(T::LoadByLogin(t, "ANN"));
    const auto length = this->FileLength(T::kFile);
    for (const auto& link : *T::Links(t)) t.Delete(T::Id(*link));

    EXPECT_FALSE(T::LoadByLogin(t, "ann"));
    EXPECT_TRUE(t.NoMatch());
    EXPECT_EQ(T::Links(t)->Count(), 0);
    for (int n : {1, 3, 4}) EXPECT_EQ(this->Data(n), this->Tomb()) << n;
    EXPECT_EQ(this->Data(2), this->Rec("bob", "a").Data());
    EXPECT_EQ(this->FileLength(T::kFile), length);
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_FALSE(t.Exists("a", "ann"));
    ASSERT_TRUE(T::LoadByKey(t, "A"));
    EXPECT_EQ(this->Ids(t), (Ids{2}));
}

TYPED_TEST_P(LinkContract, AddNewTestsTheLoginAloneAndCutsBothNames) {
    using T = typename TestFixture::T;
    TypeParam t;
    T::SetKey(t, "key");
    ExpectRaised("AddNew", vbObjectError + 3, this->Source("AddNew"), [&] { t.AddNew(); });
    EXPECT_EQ(this->ReadFile(this->Path(T::kFile)), "");

    const std::string login = "L" + std::string(18, 'o') + "n";
    const std::string key = "K" + std::string(T::kKeyWidth - 2, 'e') + "y";
    t.SetActive(-1);
    this->Add(t, login + "-more", key + "-more");
    EXPECT_EQ(t.UserLogin(), login);
    EXPECT_EQ(T::Key(t), key);
    EXPECT_EQ(this->Data(1), this->Rec(login, key, 0, -1).Data());
    EXPECT_FALSE(t.Exists(key + "-more", login + "-more"));
    EXPECT_TRUE(t.Exists(key, login));

    TypeParam keyless;
    this->Add(keyless, "dan", "");  // a login without a key is a link
    EXPECT_EQ(T::Id(keyless), 2);
    EXPECT_TRUE(keyless.Exists("", "dan"));

    TypeParam spaces;
    this->Add(spaces, "   ", "");  // passes the test, but blank: never seen
    EXPECT_EQ(T::Id(spaces), 3);
    EXPECT_FALSE(spaces.ValidRecord());
    EXPECT_EQ(spaces.RecordCount(), 2);
    EXPECT_FALSE(T::LoadByLogin(spaces, ""));
}

TYPED_TEST_P(LinkContract, HalfASlotIsNoSlot) {
    using T = typename TestFixture::T;
    this->WriteFile(this->Path(T::kFile), this->Rec("ann", "solo").Data());
    TypeParam whole;
    ASSERT_TRUE(T::LoadByLogin(whole, "ann"));
    EXPECT_EQ(this->Ids(whole), (Ids{1}));

    this->WriteFile(this->Path(T::kFile), this->Rec("ann", "solo").Slot(T::kSlot).substr(0, T::kSlot / 2));
    TypeParam half;
    EXPECT_TRUE(half.IsEmpty());
    EXPECT_FALSE(T::LoadByLogin(half, "ann"));
    EXPECT_EQ(T::Links(half)->Count(), 0);
}

TYPED_TEST_P(LinkContract, NamesPathsAndErrors) {
    using T = typename TestFixture::T;
    TypeParam t;
    EXPECT_EQ(t.TableName(), T::kTableName);
    EXPECT_EQ(t.GetPathName(), this->Path(T::kFile));
    *T::Override() = "elsewhere.sec";
    EXPECT_EQ(t.GetPathName(""), this->Path("elsewhere.sec"));
    T::Override()->clear();
    EXPECT_EQ(SaveMembersText(TypeParam::Table()),
              std::string("Data Engine Misbehaved on ") + T::kSaveWord +
                  ", Error Number: [6]\r\nDescription: Overflow");

    gDataPath = this->Path("missing");
    ExpectRaised("Load", vbObjectError + 11, this->Source("Load"), [&] { t.Load("k", "l"); });
    ExpectRaised("Exists", vbObjectError + 11, this->Source("Exists"), [&] { t.Exists("k", "l"); });
    ExpectRaised("AddNew", vbObjectError + 11, this->Source("AddNew"), [&] {
        t.SetUserLogin("l");
        t.AddNew();
    });
}

TYPED_TEST_P(LinkContract, WritesThroughARecordAClearTookAwayAreRefused) {
    using T = typename TestFixture::T;
    struct Row {
        const char* what;
        std::function<void(TypeParam&)> call;
        std::int32_t number;
    };
    const std::vector<Row> rows{
        {"SaveChanges", [](TypeParam& t) { t.SaveChanges(); }, vbObjectError + 4},
        {"Delete", [](TypeParam& t) { t.Delete(); }, vbObjectError + 10},
    };
    for (const Row& row : rows) {
        this->Write({this->Rec("ann", "alpha"), this->Rec("bob", "beta")});
        const std::string path = this->Path(T::kFile);
        TypeParam t;
        ASSERT_TRUE(t.Load("beta", "bob"));
        T::SetKey(t, "gamma");
        const auto raised = WhileWaitingForTheAppendLock(
            path, [&] { row.call(t); }, [&] { std::filesystem::resize_file(path, T::kSlot); });
        ASSERT_TRUE(raised) << row.what;
        EXPECT_EQ(raised->Number(), row.number) << row.what;
        EXPECT_EQ(raised->Source(), this->Source(row.what));
        EXPECT_EQ(this->FileLength(T::kFile), T::kSlot) << row.what << ": nothing written past the file";
        EXPECT_EQ(this->Data(1), this->Rec("ann", "alpha").Data()) << row.what;
    }
}

REGISTER_TYPED_TEST_SUITE_P(LinkContract, KeysArePairsKeyFirstAndBlankOnlyWhenBothAre,
                            LoadersHandOutDetachedCopiesInRecordOrder, LoadersReplaceTheCollectionBeforeOpening,
                            DeletingEveryLinkOfALoginLeavesItsLoaderNothing, AddNewTestsTheLoginAloneAndCutsBothNames,
                            HalfASlotIsNoSlot, NamesPathsAndErrors, WritesThroughARecordAClearTookAwayAreRefused);

}  // namespace corvane::testing

#pragma once

// The contract every single-key table keeps (accounts and catalogues), as a typed suite. A
// test program specialises KeyedTraits for its tables, with the values typed from each
// table's format, and instantiates KeyedContract over them. Include once per test program.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/core/ole_date.h"
#include "platform/core/raised_error.h"
#include "recordstore/contract_support.h"

namespace corvane::testing {

// Per table: kFile, kSlot, kData, kKeyWidth (the key is at 0), kDeleted, kLock (offset of
// RecordLocked), kClass, kTableName, Spaces() (the fields DELETE fills with spaces),
// Override() (its file-name override), Key/SetKey, Id and Count (its count member).
template <typename Table>
struct KeyedTraits;

// The accessors of KeyedTraits from the table's members.
template <typename Table, auto KeyOf, auto SetKeyOf, auto IdOf, auto CountOf>
struct KeyedAccess {
    static std::string Key(const Table& t) { return (t.*KeyOf)(); }
    static void SetKey(Table& t, std::string v) { (t.*SetKeyOf)(std::move(v)); }
    static std::int32_t Id(const Table& t) { return (t.*IdOf)(); }
    static std::int32_t Count(Table& t) { return (t.*CountOf)(); }
};

template <typename Table>
class KeyedContract : public ContractTest {
protected:
    using T = KeyedTraits<Table>;

    void TearDown() override {
        T::Override()->clear();
        ContractTest::TearDown();
    }

    static RawRecord Rec(std::string_view key, std::int16_t deleted = 0) {
        RawRecord r(T::kData);
        r.Text(0, T::kKeyWidth, key).Int16(T::kDeleted, deleted);
        return r;
    }
    void Write(std::initializer_list<RawRecord> records) { WriteSlots(T::kFile, T::kSlot, records); }
    std::string Data(int n) { return SlotData(T::kFile, T::kSlot, T::kData, n); }
    static void Add(Table& t, std::string key) {
        T::SetKey(t, std::move(key));
        t.AddNew();
    }
    std::string Source(const char* word) { return std::string(T::kClass) + "." + word; }
};

TYPED_TEST_SUITE_P(KeyedContract);

TYPED_TEST_P(KeyedContract, ValidityDecidesWhatIsFoundAndCounted) {
    using T = typename TestFixture::T;
    RawRecord nulKey(T::kData);  // a key never written: NUL bytes are not blank
    this->Write({this->Rec("Alpha"), this->Rec("Beta", -1), this->Rec("Gamma", 1), this->Rec("   "), nulKey});
    TypeParam t;
    ASSERT_TRUE(t.Load("  aLPHA "));
    EXPECT_EQ(T::Id(t), 1);
    EXPECT_EQ(T::Key(t), "Alpha");
    EXPECT_FALSE(t.Load("beta"));
    EXPECT_TRUE(t.NoMatch());
    EXPECT_FALSE(t.IsSynchronised());
    EXPECT_TRUE(t.Exists("GAMMA"));  // Deleted 1 is not deleted
    EXPECT_EQ(t.Loc(), 3);
    EXPECT_EQ(T::Key(t), "Alpha");  // Exists loads nothing

    EXPECT_EQ(t.RecordCount(), 3);  // Alpha, Gamma and the NUL key
    EXPECT_EQ(t.Loc(), 3);          // the position Exists left, read back
    EXPECT_EQ(T::Count(t), 4);      // by name alone: the deleted Beta, written elsewhere, counts
    EXPECT_EQ(t.Loc(), 6);          // and stays past the last slot
    EXPECT_FALSE(t.Exists(""));
    EXPECT_FALSE(t.Exists("   "));

    t.MoveFirst();
    EXPECT_EQ(T::Id(t), 1);
    t.MoveNext();
    EXPECT_EQ(T::Id(t), 3);
    t.MoveNext();
    EXPECT_EQ(T::Id(t), 5);
    t.MoveNext();
    EXPECT_TRUE(t.IsEOF());
    EXPECT_EQ(T::Id(t), 0);
}

TYPED_TEST_P(KeyedContract, DeleteWritesTheTombstoneAndNeverReusesTheSlot) {
    using T = typename TestFixture::T;
    TypeParam t;
    for (const char* key : {"one", "two", "three"}) this->Add(t, key);
    const auto length = this->FileLength(T::kFile);
    t.Delete(2);
    EXPECT_EQ(this->Data(2), Tombstone(T::kData, T::Spaces(), T::kDeleted));
    EXPECT_EQ(this->FileLength(T::kFile), length);
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(T::Count(t), 2);
    EXPECT_FALSE(t.Load("two"));
    this->Add(t, "four");
    EXPECT_EQ(T::Id(t), 4);

    TypeParam other;
    const std::string three = this->Data(3);
    other.Delete();  // nothing loaded: nothing written
    EXPECT_EQ(this->Data(3), three);
    ASSERT_TRUE(other.Load("three"));
    other.Delete();
    EXPECT_EQ(this->Data(3), Tombstone(T::kData, T::Spaces(), T::kDeleted));
    EXPECT_EQ(other.RecordCount(), 2);
}

TYPED_TEST_P(KeyedContract, HalfASlotIsNoSlot) {
    using T = typename TestFixture::T;
    this->WriteFile(this->Path(T::kFile), this->Rec("solo").Data());  // the data part alone
    TypeParam whole;
    EXPECT_EQ(whole.RecordCount(), 1);
    EXPECT_TRUE(whole.Load("SOLO"));

    this->WriteFile(this->Path(T::kFile), this->Rec("solo").Slot(T::kSlot).substr(0, T::kSlot / 2));
    TypeParam half;
    EXPECT_TRUE(half.IsEmpty());
    EXPECT_EQ(half.RecordCount(), 0);
    EXPECT_EQ(T::Count(half), 0);
    EXPECT_FALSE(half.Load("solo"));
}

TYPED_TEST_P(KeyedContract, KeysAreCutToTheirWidth) {
    using T = typename TestFixture::T;
    const std::string cut = "K" + std::string(T::kKeyWidth - 2, 'e') + "y";
    TypeParam t;
    this->Add(t, cut + "-and-more");
    EXPECT_EQ(T::Key(t), cut);
    EXPECT_EQ(this->Data(1).substr(0, T::kKeyWidth), cut);
    EXPECT_FALSE(t.Load(cut + "-and-more"));
    EXPECT_TRUE(t.Load(cut));
}

TYPED_TEST_P(KeyedContract, EmptyKeyIsRefusedAndAKeyOfSpacesIsNeverSeen) {
    using T = typename TestFixture::T;
    TypeParam t;
    T::SetKey(t, "");
    ExpectRaised("AddNew", vbObjectError + 3, this->Source("AddNew"), [&] { t.AddNew(); });
    EXPECT_EQ(this->ReadFile(this->Path(T::kFile)), "");

    this->Add(t, "   ");
    EXPECT_EQ(T::Id(t), 1);
    EXPECT_EQ(T::Key(t), "");
    EXPECT_FALSE(t.ValidRecord());
    EXPECT_FALSE(t.IsEmpty());
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(T::Count(t), 0);
    EXPECT_FALSE(t.Load(""));
    EXPECT_FALSE(t.Load("   "));
}

TYPED_TEST_P(KeyedContract, LockRoundTrip) {
    using T = typename TestFixture::T;
    this->Write({this->Rec("first"), this->Rec("Second")});
    TypeParam t;
    ASSERT_TRUE(t.Load("first"));
    t.LockRecord(" SECOND ", "supervisor-with-a-long-name");
    std::string second = this->Data(2);
    EXPECT_EQ(Int16At(second, T::kLock), -1);
    EXPECT_EQ(second.substr(T::kLock + 2, 20), "supervisor-with-a-lo");
    EXPECT_EQ(second.substr(T::kLock + 22, 50), RawRecord(50).Text(0, 50, kContractComputer).Data());
    EXPECT_EQ(second.substr(0, T::kLock), this->Rec("Second").Data().substr(0, T::kLock));
    EXPECT_EQ(T::Key(t), "first");  // the members stay

    EXPECT_EQ(t.IsRecordLocked("second"), -1);
    EXPECT_EQ(t.RecordLockedBy(), "supervisor-with-a-lo");
    EXPECT_EQ(t.RecordLockedOn(), kContractComputer);
    EXPECT_EQ(FormatIso(t.RecordLockedAt()), "2024-05-06 07:08:09");

    t.ReleaseRecordLock("second");
    second = this->Data(2);
    EXPECT_EQ(second.substr(T::kLock), std::string(2, '\0') + std::string(70, ' ') + std::string(8, '\0'));
    EXPECT_EQ(t.IsRecordLocked("second"), 0);
    EXPECT_EQ(t.IsRecordLocked("nobody"), 0);
    EXPECT_EQ(this->Data(1), this->Rec("first").Data());
}

TYPED_TEST_P(KeyedContract, NamesPathsAndErrors) {
    using T = typename TestFixture::T;
    TypeParam t;
    EXPECT_EQ(t.TableName(), T::kTableName);
    EXPECT_EQ(t.GetPathName(), this->Path(T::kFile));
    *T::Override() = "elsewhere.sec";
    EXPECT_EQ(t.GetPathName("  "), this->Path("elsewhere.sec"));
    T::Override()->clear();
    EXPECT_TRUE(t.ValidRecord());  // a new object's zero buffer
    EXPECT_FALSE(std::filesystem::exists(this->Path(T::kFile)));

    gDataPath = this->Path("missing");
    ExpectRaised("OpenTable", vbObjectError + 11, this->Source("OpenTable"), [&] { t.OpenTable(); });
    ExpectRaised("Load", vbObjectError + 11, this->Source("Load"), [&] { t.Load("x"); });
    ExpectRaised("Exists", vbObjectError + 11, this->Source("Exists"), [&] { t.Exists("x"); });
    ExpectRaised("Delete", vbObjectError + 11, this->Source("Delete"), [&] { t.Delete(1); });
    ExpectRaised("BOF", vbObjectError + 20, this->Source("BOF"), [&] { t.IsBOF(); });
}

TYPED_TEST_P(KeyedContract, WritesThroughARecordAClearTookAwayAreRefused) {
    using T = typename TestFixture::T;
    struct Row {
        const char* what;
        std::function<void(TypeParam&)> prepare;
        std::function<void(TypeParam&)> call;
        std::int32_t number;
        std::string source;
    };
    const auto load = [](TypeParam& t) { ASSERT_TRUE(t.Load("three")); };
    const std::vector<Row> rows{
        {"SaveChanges",
         [&](TypeParam& t) {
             load(t);
             T::SetKey(t, "changed");
         },
         [](TypeParam& t) { t.SaveChanges(); }, vbObjectError + 4, this->Source("SaveChanges")},
        {"Delete", load, [](TypeParam& t) { t.Delete(); }, vbObjectError + 10, this->Source("Delete")},
        {"LockRecord", [](TypeParam&) {}, [](TypeParam& t) { t.LockRecord("three", "ann"); },
         kErrBadRecordNumber, kProgramTitle},
        {"ReleaseRecordLock", [](TypeParam&) {}, [](TypeParam& t) { t.ReleaseRecordLock("three"); },
         kErrBadRecordNumber, kProgramTitle},
    };
    for (const Row& row : rows) {
        this->Write({this->Rec("one"), this->Rec("two"), this->Rec("three")});
        const std::string path = this->Path(T::kFile);
        TypeParam t;
        row.prepare(t);
        // The record goes while the write waits for the lock a clear elsewhere holds.
        const auto raised = WhileWaitingForTheAppendLock(
            path, [&] { row.call(t); }, [&] { std::filesystem::resize_file(path, T::kSlot); });
        ASSERT_TRUE(raised) << row.what;
        EXPECT_EQ(raised->Number(), row.number) << row.what;
        EXPECT_EQ(raised->Source(), row.source) << row.what;
        EXPECT_EQ(this->FileLength(T::kFile), T::kSlot) << row.what << ": nothing written past the file";
        EXPECT_EQ(this->Data(1), this->Rec("one").Data()) << row.what;
    }
}

REGISTER_TYPED_TEST_SUITE_P(KeyedContract, ValidityDecidesWhatIsFoundAndCounted,
                            DeleteWritesTheTombstoneAndNeverReusesTheSlot, HalfASlotIsNoSlot,
                            KeysAreCutToTheirWidth, EmptyKeyIsRefusedAndAKeyOfSpacesIsNeverSeen, LockRoundTrip,
                            NamesPathsAndErrors, WritesThroughARecordAClearTookAwayAreRefused);

}  // namespace corvane::testing

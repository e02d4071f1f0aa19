// The catalogue and assignment tables against bytes typed from their formats.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "catalogue/permission.h"
#include "catalogue/program.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/raised_error.h"
#include "recordstore/contract_support.h"

namespace corvane {
namespace {

using testing::ContractTest;
using testing::Int16At;
using testing::RawRecord;

// Website and Program entries share one layout under different key names.
template <typename Table>
struct Entry;
template <>
struct Entry<Website> {
    static constexpr const char* kFile = "websites.sec";
    static std::string Key(const Website& w) { return w.URL(); }
    static void SetKey(Website& w, std::string v) { w.SetURL(std::move(v)); }
    static std::int32_t Id(const Website& w) { return w.WebsiteID(); }
};
template <>
struct Entry<Program> {
    static constexpr const char* kFile = "programs.sec";
    static std::string Key(const Program& p) { return p.ProgramPathName(); }
    static void SetKey(Program& p, std::string v) { p.SetProgramPathName(std::move(v)); }
    static std::int32_t Id(const Program& p) { return p.ProgramID(); }
};

template <typename Table>
class CatalogueEntry : public ContractTest {
protected:
    using E = Entry<Table>;
    std::string Data(int n) { return SlotData(E::kFile, 1228, 626, n); }
};

using EntryTables = ::testing::Types<Website, Program>;
TYPED_TEST_SUITE(CatalogueEntry, EntryTables);

TYPED_TEST(CatalogueEntry, EveryFieldAtItsOffsetAndReservedBytesCarried) {
    using E = typename TestFixture::E;
    RawRecord stored(626);
    stored.Text(0, 255, "C:\\Tools\\calc.exe").Text(255, 255, "Calculator").Int16(510, -2).Text(512, 20, "Clerks")
        .Fill(532, 2, 'r').Fill(534, 8, 'R').Int16(542, -1).Int16(546, -1).Text(548, 20, "root")
        .Text(568, 50, "PC-1").Double(618, 2.5);
    this->WriteSlots(E::kFile, 1228, {RawRecord(626).Text(0, 255, "first"), stored});

    TypeParam t;
    ASSERT_TRUE(t.Load(" c:\\tools\\CALC.EXE "));
    EXPECT_EQ(E::Id(t), 2);
    EXPECT_EQ(E::Key(t), "C:\\Tools\\calc.exe");
    EXPECT_EQ(t.Description(), "Calculator");
    EXPECT_EQ(t.AccessLevel(), -2);  // sign-extended
    EXPECT_EQ(t.OtherAccess(), "Clerks");
    EXPECT_EQ(t.Default(), -1);
    EXPECT_EQ(t.RecordLocked(), -1);
    EXPECT_EQ(t.RecordLockedBy(), "root");
    EXPECT_EQ(t.RecordLockedOn(), "PC-1");
    EXPECT_EQ(t.RecordLockedAt(), 2.5);
    EXPECT_FALSE(t.Load("c:\\tools\\calc.exe\\"));  // the whole text, not a prefix

    ASSERT_TRUE(t.Load("c:\\tools\\calc.exe"));
    t.SetDescription("Pocket calculator");
    t.SetAccessLevel(1);
    t.SaveChanges();
    stored.Text(255, 255, "Pocket calculator").Int16(510, 1);
    EXPECT_EQ(this->Data(2), stored.Data());  // reserved, lock and Deleted bytes as they were

    TypeParam fresh;
    E::SetKey(fresh, "http://example.com/");
    fresh.SetDescription("Example");
    fresh.SetAccessLevel(3);
    fresh.SetDefault(-1);
    fresh.AddNew();
    EXPECT_EQ(E::Id(fresh), 3);
    EXPECT_EQ(this->Data(3), RawRecord(626)
                                 .Text(0, 255, "http://example.com/")
                                 .Text(255, 255, "Example")
                                 .Int16(510, 3)
                                 .Text(512, 20, "")  // never set: 20 spaces
                                 .Int16(542, -1)
                                 .Data());

    fresh.Clear();
    EXPECT_EQ(E::Id(fresh), 0);
    EXPECT_EQ(E::Key(fresh), "");
    EXPECT_EQ(fresh.AccessLevel(), 0);
    EXPECT_EQ(fresh.Default(), 0);
    EXPECT_FALSE(fresh.IsDirty());
}

class CatalogueTables : public ContractTest {};

TEST_F(CatalogueTables, PermissionFieldsAtTheirOffsets) {
    RawRecord stored(413);
    stored.Text(0, 50, "Print").Text(50, 255, "May print").Int16(305, 12).Int16(307, -1).Text(309, 20, "Office")
        .Int16(329, -1).Int16(333, -1).Text(335, 20, "boss").Text(355, 50, "PC-2").Double(405, 3.0);
    WriteSlots("permissions.sec", 808, {stored});
    Permission p;
    ASSERT_TRUE(p.Load("PRINT"));
    EXPECT_EQ(p.PermissionID(), 1);
    EXPECT_EQ(p.Name(), "Print");
    EXPECT_EQ(p.Description(), "May print");
    EXPECT_EQ(p.PermissionType(), 12);
    EXPECT_EQ(p.AccessLevel(), -1);
    EXPECT_EQ(p.OtherAccess(), "Office");
    EXPECT_EQ(p.Default(), -1);
    EXPECT_EQ(p.RecordLockedBy(), "boss");
    EXPECT_EQ(p.RecordLockedAt(), 3.0);

    p.SetPermissionType(-32768);
    p.SetAccessLevel(32767);
    p.SaveChanges();
    stored.Int16(305, -32768).Int16(307, 32767);
    EXPECT_EQ(SlotData("permissions.sec", 808, 413, 1), stored.Data());
    ASSERT_TRUE(p.Load("print"));
    EXPECT_EQ(p.PermissionType(), -32768);
    EXPECT_EQ(p.AccessLevel(), 32767);
}

// A 32-bit property over a 16-bit field, with what its table needs to append a record.
struct WideCase {
    const char* what;
    const char* file;
    std::size_t slot, data, offset;
    const char* className;
    std::function<std::unique_ptr<KeyedTable>()> make;
    std::function<void(KeyedTable&, std::int32_t)> set;
    std::function<std::int32_t(const KeyedTable&)> get;
};

template <typename T>
WideCase Wide(const char* what, const char* file, std::size_t slot, std::size_t data, std::size_t offset,
              void (T::*setKey)(std::string), void (T::*set)(std::int32_t),
              std::int32_t (T::*get)() const) {
    return {what,
            file,
            slot,
            data,
            offset,
            T::Table().className.c_str(),
            [setKey] {
                auto t = std::make_unique<T>();
                (t.get()->*setKey)("key");
                return t;
            },
            [set](KeyedTable& t, std::int32_t v) { (static_cast<T&>(t).*set)(v); },
            [get](const KeyedTable& t) { return (static_cast<const T&>(t).*get)(); }};
}

TEST_F(CatalogueTables, SixteenBitFieldsRefuseWiderValuesAndWriteNothing) {
    const WideCase cases[] = {
        Wide("Website.AccessLevel", "websites.sec", 1228, 626, 510, &Website::SetURL, &Website::SetAccessLevel,
             &Website::AccessLevel),
        Wide("Program.AccessLevel", "programs.sec", 1228, 626, 510, &Program::SetProgramPathName,
             &Program::SetAccessLevel, &Program::AccessLevel),
        Wide("Permission.AccessLevel", "permissions.sec", 808, 413, 307, &Permission::SetName,
             &Permission::SetAccessLevel, &Permission::AccessLevel),
        Wide("Permission.PermissionType", "permissions.sec", 808, 413, 305, &Permission::SetName,
             &Permission::SetPermissionType, &Permission::PermissionType),
    };
    for (const auto& c : cases) {
        std::filesystem::remove(Path(c.file));
        auto t = c.make();
        c.set(*t, 32768);
        try {
            t->AddNew();
            ADD_FAILURE() << c.what;
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), vbObjectError + 3) << c.what;
            EXPECT_EQ(e.Source(), std::string(c.className) + ".AddNew") << c.what;
            EXPECT_EQ(e.Description(),
                      "Data Engine Misbehaved on AddNew, Error Number: [-2147221485]\r\n"
                      "Description: Data Engine Misbehaved on SaveMembers, Error Number: [6]\r\n"
                      "Description: Overflow")
                << c.what;
        }
        EXPECT_EQ(ReadFile(Path(c.file)), "") << c.what;

        c.set(*t, -1);
        t->AddNew();
        EXPECT_EQ(Int16At(SlotData(c.file, c.slot, c.data, 1), c.offset), -1) << c.what;
        EXPECT_EQ(c.get(*t), -1) << c.what;

        const std::string before = ReadFile(Path(c.file));
        c.set(*t, -32769);
        try {
            t->SaveChanges();
            ADD_FAILURE() << c.what;
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), vbObjectError + 4) << c.what;
            EXPECT_EQ(e.Source(), std::string(c.className) + ".SaveChanges") << c.what;
        }
        EXPECT_TRUE(t->IsDirty()) << c.what;
        EXPECT_EQ(ReadFile(Path(c.file)), before) << c.what;
    }
}

TEST_F(CatalogueTables, ALinksIdentityIsItsOwnSlotNotTheCatalogues) {
    Website site;
    for (const char* url : {"http://a/", "http://b/", "http://c/"}) {
        site.SetURL(url);
        site.AddNew();
    }
    ASSERT_EQ(site.WebsiteID(), 3);
    UserWebsite link;
    link.SetUserLogin("ann");
    link.SetURL("http://c/");
    link.AddNew();
    ASSERT_TRUE(link.LoadWebsites("ann"));
    EXPECT_EQ(link.UserWebsites()->Item(1)->WebsiteID(), 1);
    EXPECT_EQ(link.WebsiteID(), 1);
}

}  // namespace
}  // namespace corvane

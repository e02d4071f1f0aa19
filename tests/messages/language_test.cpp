#include "messages/message_catalogue.h"

#include "platform/core/raised_error.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace corvane {
namespace {

struct LookupCase {
    int number;
    int language;
    std::string parameter;
    int format;
    std::optional<std::string> expected;  // nullopt: no value
};

TEST(LanguageTest, LookupTable) {
    const std::optional<std::string> none;
    const LookupCase cases[] = {
        {720, kLanguageUS, "", kCaseAsIs, ""},
        {-1, kLanguageUS, "", kCaseAsIs, ""},
        {26, 2, "", kCaseAsIs, ""},
        {26, -1, "", kCaseAsIs, ""},
        {720, kLanguageUS, "", kCaseSentence, none},
        {26, kLanguageUS, "", 5, none},
        {26, kLanguageUS, "", -1, none},
        {188, kLanguageUS, "", kCaseAsIs, "Favorites"},
        {188, kLanguageUK, "", kCaseAsIs, "Favourites"},
        {674, kLanguageUK, "", kCaseAsIs, "Background Colour"},
        {425, kLanguageUS, "", kCaseAsIs, "Access denied. You do not have the required permission!"},
        {425, kLanguageUS, "Backup", kCaseAsIs,
         "Access denied. You do not have the required permission for Backup!"},
        {425, kLanguageUS, "Backup", kCaseUpper,
         "ACCESS DENIED. YOU DO NOT HAVE THE REQUIRED PERMISSION FOR BACKUP!"},
        {425, kLanguageUS, " ", kCaseAsIs,
         "Access denied. You do not have the required permission for  !"},
        {519, kLanguageUS, "Website", kCaseAsIs,
         "Website already exists. Please select an alternative and try again."},
        {436, kLanguageUS, "1 - 20", kCaseAsIs, "Password Length must be in the range of 1 - 20"},
        {482, kLanguageUS, "", kCaseAsIs, "Record is Locked for editing!"},
        {482, kLanguageUS, "admin\\WS01=10/12/2002 09:30:00", kCaseAsIs,
         "Record is Locked for editing by admin on WS01.  Record Lock Active from 10/12/2002 09:30:00"},
        {482, kLanguageUS, "admin\\WS01=", kCaseAsIs, "Record is Locked for editing by admin on WS01!"},
        {482, kLanguageUS, "admin\\=10:00", kCaseAsIs,
         "Record is Locked for editing by admin.  Record Lock Active from 10:00"},
        {482, kLanguageUS, "admin\\=", kCaseAsIs, "Record is Locked for editing by admin!"},
        {482, kLanguageUS, "\\=", kCaseAsIs, "Record is Locked for editing by !"},
        {482, kLanguageUS, "  admin \\ WS01  =  10:00 ", kCaseAsIs,
         "Record is Locked for editing by admin on WS01.  Record Lock Active from 10:00"},
        {482, kLanguageUK, "admin\\WS01=", kCaseUpper, "RECORD IS LOCKED FOR EDITING BY ADMIN ON WS01!"},
        {26, kLanguageUS, "", kCaseUpper, "CLOSE"},
        {26, kLanguageUS, "", kCaseLower, "close"},
        {421, kLanguageUS, "", kCaseProper, "Are You Sure You Want To Delete The Selected Item?"},
        {33, kLanguageUS, "", kCaseSentence, "Ok"},
        {26, kLanguageUS, "ignored", kCaseAsIs, "Close"},
    };
    const ILanguage language;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "message " << c.number << " language " << c.language
                                          << " parameter \"" << c.parameter << "\" format "
                                          << c.format);
        EXPECT_EQ(language.Translate(c.number, c.language, c.parameter, c.format), c.expected);
        EXPECT_EQ(GetMessageText(c.number, c.language, c.parameter, c.format),
                  c.expected.value_or(""));
    }
}

TEST(LanguageTest, AbsentParameterIsTheEmptyText) {
    EXPECT_EQ(GetMessageText(26), "Close");
    EXPECT_EQ(GetMessageText(kMessageProgramName), "Corvane");
    EXPECT_EQ(GetMessageText(422), "Are you sure you want to delete the selected items?");
    EXPECT_EQ(GetMessageText(433),
              "Password must be at least  character(s) on this account.");
    EXPECT_EQ(GetMessageText(kMessageRecordLocked), "Record is Locked for editing!");
    EXPECT_EQ(GetMessageText(433, kLanguageUS, std::nullopt),
              GetMessageText(433, kLanguageUS, std::string()));
}

TEST(LanguageTest, ParameterIsInsertedUnchanged) {
    EXPECT_EQ(GetMessageText(531, kLanguageUK, "  Notepad.EXE "),
              "Process '  Notepad.EXE ' was terminated successfully.");
    EXPECT_EQ(GetMessageText(518, kLanguageUS, "{Parameter}"), "Field {Parameter} cannot be Blank.");
    EXPECT_EQ(GetMessageText(718, kLanguageUS, "caf\xC3\xA9 \xE2\x82\xAC"),
              "Client Data Error: caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(LanguageTest, MalformedLockHolderRaisesInvalidArgument) {
    for (const std::string bad : {"admin", "admin=10:00", "admin=x\\WS01", "admin\\WS01", " "}) {
        SCOPED_TRACE(bad);
        try {
            GetMessageText(kMessageRecordLocked, kLanguageUS, bad);
            ADD_FAILURE() << "no error raised";
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), kErrInvalidProcedureCall);
        }
    }
}

TEST(LanguageTest, LockHolderTimeFollowsTheComputerName) {
    // A login holding "=" must not leak into the time.
    const RecordLockHolder holder = ParseRecordLockHolder("a=b\\WS01=09:30");
    EXPECT_EQ(holder.user, "a=b");
    EXPECT_EQ(holder.computer, "WS01");
    EXPECT_EQ(holder.time, "09:30");
    EXPECT_EQ(GetMessageText(kMessageRecordLocked, kLanguageUS, "a=b\\WS01=09:30"),
              "Record is Locked for editing by a=b on WS01.  Record Lock Active from 09:30");
    // Only the first "\" splits; a later one belongs to the computer part.
    EXPECT_EQ(ParseRecordLockHolder("u\\dom\\pc=t").computer, "dom\\pc");
}

}  // namespace
}  // namespace corvane

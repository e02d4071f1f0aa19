#include "messages/message_catalogue.h"
#include "messages/message_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace corvane {
namespace {

struct TextRow {
    int number;
    const char* text;
};

// Texts with line breaks, double spaces, odd spellings and trailing dots,
// exactly as users have always seen them.
TEST(MessageTextsTest, SpotChecks) {
    const TextRow rows[] = {
        {0, "File"},
        {18, "Details"},
        {46, "Details"},
        {193, "Pellix on the Web"},
        {290, "Corvane"},
        {293, "Log Off"},
        {336, "Log Off"},
        {294, "Log Off All"},
        {337, "Log Off All"},
        {358, "New Folder"},
        {359, "New Folder"},
        {420, "Do not show this again"},
        {428, "You have not used the Lockdown options before.  It important that you backup the "
              "Registry first and that you never use the Lockdown options on a Windows or NT "
              "Administrator account or a Workstation with only one login. \r\n\r\nIf you do not "
              "follow these instructions you may not be able to gain access to this Workstation "
              "again.\r\nBy pressing OK you are confirming that you understand these conditions."},
        {429, "File(s) exist in target location.  Do you wish to overwrite?"},
        {431, "No file selected or the file does not exists."},
        {474, "To ensure correct Restore operation please ensure:- \r\n\r\n1) No Users are "
              "currently logged in.\r\n2) No Security files are currently in use.\r\n3) Restart "
              "the System upon completion."},
        {481, "Lockdown settings must be used with extreme caution.\r\n\r\nIt important that you "
              "backup the registry first and that you never use the lockdown options on a Windows "
              "or NT Administrator account or a workstation with only one login. \r\n\r\nIf you do "
              "not follow these instructions you may not be able to gain access to this "
              "workstation again.\r\n\r\nBy pressing OK you are confirming that you understand "
              "these conditions."},
        {504, "Session Inactive.  Auto Disconnect..."},
        {510, "Session Terminated Remotely!"},
        {530, "Could not Create New Folder because an Error occured."},
        {556, "You will need to restart the computer in order for these setting to take effect."},
        {615, "Corvane Basic Options"},
        {627, "Use these settings with extreme caution as they could prevent access to the "
              "Workstation.."},
        {671, "This Wizard will add a New Primary User [Administrator] to Corvane"},
        {684, "- No access to Desktop, Users cannot alter any settings, install or modify "
              "programs\r\n- Restrict run policies enforced\r\n- Desktop replaced by Secure "
              "Console\r\n- All Drives are hidden and limited access is given to the Network"},
        {685, "Caps Lock is On.."},
        {695, "Initialise Server Error"},
        {719, "Connection Error!"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.number);
        EXPECT_EQ(GetMessageText(row.number, kLanguageUS), row.text);
        EXPECT_EQ(GetMessageText(row.number, kLanguageUK), row.text);
    }
}

struct SpellingRow {
    int number;
    const char* us;
    const char* uk;
};

TEST(MessageTextsTest, SpellingPairs) {
    const SpellingRow rows[] = {
        {188, "Favorites", "Favourites"},
        {252, "No Favorite Menu", "No Favourite Menu"},
        {257, "No Network Neighborhood", "No Network Neighbourhood"},
        {399, "Customize", "Customise"},
        {674, "Background Color", "Background Colour"},
        {675, "Status Color", "Status Colour"},
        {676, "Error Color", "Error Colour"},
    };
    std::set<int> pairs;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.number);
        EXPECT_EQ(GetMessageText(row.number, kLanguageUS), row.us);
        EXPECT_EQ(GetMessageText(row.number, kLanguageUK), row.uk);
        pairs.insert(row.number);
    }
    for (int n = 0; n < kMessageCount; ++n) {
        if (pairs.count(n) || n == kMessageRecordLocked) continue;
        SCOPED_TRACE(n);
        EXPECT_EQ(GetMessageText(n, kLanguageUS, "x"), GetMessageText(n, kLanguageUK, "x"));
        EXPECT_EQ(GetMessageText(n, kLanguageUS), GetMessageText(n, kLanguageUK));
    }
}

struct ParameterRow {
    int number;
    const char* with_parameter;  // the parameter is "P"
    const char* blank;           // the parameter is ""
};

TEST(MessageTextsTest, ParameterAndBlankForms) {
    const ParameterRow rows[] = {
        {422, "Are you sure you want to delete the P selected items?",
         "Are you sure you want to delete the selected items?"},
        {427, "This file you selected is invalid or missing. Please select a file with a valid P format.",
         "This file you selected is invalid or missing. Please select a another file with a valid format."},
        {454, "Are you sure you want to P?", "Are you sure you want to clear the Log file?"},
        {495, "Delete P Selected File(s) Or Folder(s)?", "Delete Selected File(s) Or Folder(s)?"},
        {511, "File P exists in target location.  Do you wish to overwrite?",
         "File exists in target location.  Do you wish to overwrite?"},
        {519, "P already exists. Please select an alternative and try again.",
         "Record already exists. Please select an alternative and try again."},
        {520, "Access Denied.  You need to be an Administrator to Edit or Delete the Account P!",
         "Access Denied.  You need to be an Administrator to Edit or Delete this Account!"},
        {531, "Process 'P' was terminated successfully.", "Process was terminated successfully."},
        {692, "Data Source Error.  Cannot connect to Data Source on P",
         "Data Source Error.  Cannot connect to Data Source."},
        {710, "Error In UP P", "Error In UP"},
        {718, "Client Data Error: P", "Client Data Error!"},
        // No blank form: the pieces close up around an empty parameter.
        {433, "Password must be at least P character(s) on this account.",
         "Password must be at least  character(s) on this account."},
        {460, "Deleting the selected group(s) will remove any users that are members.\r\nDo you "
              "wish to continue and delete P anyway?",
         "Deleting the selected group(s) will remove any users that are members.\r\nDo you "
         "wish to continue and delete  anyway?"},
        {478, "There are P active user(s).  It is not recommend that you run this option.\r\nDo "
              "you wish to proceed and run the Compact Utility anyway?",
         "There are  active user(s).  It is not recommend that you run this option.\r\nDo "
         "you wish to proceed and run the Compact Utility anyway?"},
        {480, "Are you sure you want to select the P Lockdown option?\r\nThis could completely "
              "prevent access to this Workstation.\r\n\r\nThe Secure Console will always be shown "
              "if this option is selected.",
         "Are you sure you want to select the  Lockdown option?\r\nThis could completely "
         "prevent access to this Workstation.\r\n\r\nThe Secure Console will always be shown "
         "if this option is selected."},
        {501, "Could not set the File Attribute on P.  Set Manually!",
         "Could not set the File Attribute on .  Set Manually!"},
        {509, "Invalid Download Port Number!\r\nValue must be in range P",
         "Invalid Download Port Number!\r\nValue must be in range "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.number);
        EXPECT_EQ(GetMessageText(row.number, kLanguageUS, "P"), row.with_parameter);
        EXPECT_EQ(GetMessageText(row.number, kLanguageUK, ""), row.blank);
    }
}

std::vector<int> NumbersOfKind(messages::MessageKind kind) {
    std::vector<int> numbers;
    for (int n = 0; n < kMessageCount; ++n)
        if (messages::FindMessage(n)->kind == kind) numbers.push_back(n);
    return numbers;
}

TEST(MessageTextsTest, WhichMessagesTakeAParameter) {
    using messages::MessageKind;
    EXPECT_EQ(NumbersOfKind(MessageKind::kSpelling),
              (std::vector<int>{188, 252, 257, 399, 674, 675, 676}));
    EXPECT_EQ(NumbersOfKind(MessageKind::kSplicedOrBlank),
              (std::vector<int>{422, 425, 426, 427, 454, 471, 483, 495, 511, 514, 515,
                                518, 519, 520, 521, 522, 523, 525, 527, 529, 531, 532,
                                533, 534, 535, 536, 537, 692, 710, 718, 719}));
    EXPECT_EQ(NumbersOfKind(MessageKind::kSpliced),
              (std::vector<int>{433, 436, 437, 438, 460, 461, 462, 463, 464, 478, 480,
                                501, 505, 506, 507, 508, 509}));
    EXPECT_EQ(NumbersOfKind(MessageKind::kRecordLock), (std::vector<int>{482}));
    EXPECT_EQ(NumbersOfKind(MessageKind::kFixed).size(), 664u);
    EXPECT_EQ(messages::FindMessage(-1), nullptr);
    EXPECT_EQ(messages::FindMessage(kMessageCount), nullptr);
}

// Damage a careless edit of the data would do: an empty text, a bare line
// feed, a stray placeholder or an edge space lost from a spliced piece.
TEST(MessageTextsTest, EveryTextIsWellFormed) {
    for (int n = 0; n < kMessageCount; ++n) {
        SCOPED_TRACE(n);
        for (int language : {kLanguageUS, kLanguageUK}) {
            const std::string parameter = n == kMessageRecordLocked ? "u\\c=t" : "P";
            for (const std::string& text :
                 {GetMessageText(n, language), GetMessageText(n, language, parameter)}) {
                ASSERT_FALSE(text.empty());
                EXPECT_EQ(text.find('{'), std::string::npos);
                EXPECT_NE(text.front(), ' ');
                for (std::size_t i = 0; i < text.size(); ++i) {
                    if (text[i] == '\n') {
                        EXPECT_TRUE(i > 0 && text[i - 1] == '\r');
                    } else if (text[i] == '\r') {
                        EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n');
                    }
                }
            }
        }
    }
}

// Pins every byte of the catalogue: all texts in both spellings, with and
// without a parameter. A change here must be a deliberate change of texts.
TEST(MessageTextsTest, WholeCatalogueDigest) {
    std::uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](const std::string& s) {
        for (unsigned char c : s + '\0') {
            hash ^= c;
            hash *= 1099511628211ull;
        }
    };
    std::size_t bytes = 0;
    for (int n = 0; n < kMessageCount; ++n) {
        for (int language : {kLanguageUS, kLanguageUK}) {
            const std::string plain = GetMessageText(n, language);
            const std::string spliced =
                GetMessageText(n, language, n == kMessageRecordLocked ? "u\\c=t" : "<P>");
            add(plain);
            add(spliced);
            bytes += plain.size() + spliced.size();
        }
    }
    EXPECT_EQ(bytes, 69376u);
    EXPECT_EQ(hash, 1111137745979458303ull);
}

}  // namespace
}  // namespace corvane

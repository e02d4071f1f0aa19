#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "admin/users/members/frm_members.h"
#include "admin/users/members/member_rows.h"
#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"
#include "recordstore/user_member.h"
#include "support/append_in_flight.h"

using namespace corvane;

namespace {

class Members : public corvane::testing::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        for (const auto& [login, name] : {std::pair{"carol", "Carol Zed"}, {"alice", "Alice Young"}, {"bob", "Bob Adams"}}) {
            User u;
            u.SetLogin(login);
            u.SetName(name);
            u.AddNew();
        }
        const std::pair<const char*, const char*> memberships[] = {
            {"carol", "Accounts"}, {"ghost", "Accounts"}, {"alice", " ACCOUNTS "}, {"bob", "Sales"}, {"bob", "accounts"}};
        for (const auto& [login, group] : memberships) {
            UserMember m;
            m.SetUserLogin(login);
            m.SetGroup(group);
            m.AddNew();
        }
    }

    static void Open(frmMembers& window, const std::string& group) {
        window.setProperty("GroupName", QString::fromStdString(group));
        window.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.FormLoad(); }, 10000));
    }
    static QStringList Column(frmMembers& window, int column) {
        auto* list = window.findChild<QTreeWidget*>("lsvItems");
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
        return texts;
    }
};

TEST_F(Members, TheGroupInAnyCaseOrSpacingIsListedAndAMissingUserAddsNoRow) {
    std::vector<MemberRow> rows;
    LoadMemberRows("accounts", [&](const MemberRow& r) { rows.push_back(r); });
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].login, "carol");
    EXPECT_EQ(rows[0].userID, 1);
    EXPECT_EQ(rows[1].name, "Alice Young");
    EXPECT_EQ(rows[2].login, "bob");
    rows.clear();
    LoadMemberRows("Nobody", [&](const MemberRow& r) { rows.push_back(r); });
    EXPECT_TRUE(rows.empty());
}

TEST_F(Members, TheWindowFillsItselfAtItsFirstActivation) {
    frmMembers window;
    Open(window, "Accounts");
    EXPECT_EQ(window.windowTitle().toStdString(), GetMessageText(295) + ": Accounts");
    EXPECT_EQ(window.findChild<QPushButton*>("cmdCancel")->text().toStdString(), GetMessageText(25));
    auto* list = window.findChild<QTreeWidget*>("lsvItems");
    EXPECT_EQ(list->headerItem()->text(0).toStdString(), GetMessageText(308));
    EXPECT_EQ(list->headerItem()->text(1).toStdString(), GetMessageText(309));
    EXPECT_EQ(list->columnWidth(0), 96);
    EXPECT_EQ(list->columnWidth(1), 140);
    EXPECT_EQ(Column(window, 0), (QStringList{"carol", "alice", "bob"}));
    EXPECT_EQ(list->topLevelItem(1)->data(0, Qt::UserRole).toInt(), 2);
    EXPECT_EQ(window.ListCount(), 3);
    EXPECT_EQ(window.SelectedIndex(), 1);
    EXPECT_EQ(window.SelectedItem(), "carol");
    EXPECT_FALSE(window.IsDirty());
}

TEST_F(Members, SelectedIndexOutsideTheRowsChangesNothing) {
    frmMembers window;
    Open(window, "Accounts");
    window.SetSelectedIndex(3);
    EXPECT_EQ(window.SelectedItem(), "bob");
    for (int position : {0, -1, 4}) {
        window.SetSelectedIndex(position);
        EXPECT_EQ(window.SelectedIndex(), 3) << position;
    }
    window.findChild<QTreeWidget*>("lsvItems")->clearSelection();
    EXPECT_EQ(window.SelectedIndex(), 0);
    EXPECT_EQ(window.SelectedItem(), "");

    frmMembers empty;
    Open(empty, "Nobody");
    empty.SetSelectedIndex(1);
    EXPECT_EQ(empty.SelectedIndex(), 0);
    EXPECT_EQ(empty.windowTitle().toStdString(), GetMessageText(295) + ": Nobody");
}

TEST_F(Members, TheSortOrderAlternatesAcrossColumns) {
    frmMembers window;
    Open(window, "Accounts");
    auto* header = window.findChild<QTreeWidget*>("lsvItems")->header();
    emit header->sectionClicked(0);
    EXPECT_EQ(Column(window, 0), (QStringList{"carol", "bob", "alice"}));
    emit header->sectionClicked(1);
    EXPECT_EQ(Column(window, 1), (QStringList{"Alice Young", "Bob Adams", "Carol Zed"}));
    emit header->sectionClicked(1);
    EXPECT_EQ(Column(window, 1), (QStringList{"Carol Zed", "Bob Adams", "Alice Young"}));
}

TEST_F(Members, AnErrorKeepsTheRowsAddedSoFar) {
    std::vector<std::string> places;
    SetErrorHandler([&](const RaisedError&, const std::string& place, int, int) {
        places.push_back(place);
        return kErrorLeave;
    });
    std::vector<std::string> logins;
    LoadMemberRows("Accounts", [&](const MemberRow& r) {
        logins.push_back(r.login);
        if (logins.size() == 2) throw RaisedError(5, "test", "row refused");
    });
    SetErrorHandler(nullptr);
    EXPECT_EQ(logins, (std::vector<std::string>{"carol", "alice"}));
    EXPECT_EQ(places, std::vector<std::string>{"frmMembers.LoadMembers"});
}

// A member's account another workstation is appending is listed whole once the append
// ends; an account cut short at the end of the file gives no row, as before.
TEST_F(Members, AnAccountAppendedMeanwhileIsListedWholeAndATornOneNotAtAll) {
    UserMember m;
    m.SetUserLogin("dave");
    m.SetGroup("Accounts");
    m.AddNew();
    const std::string dave = corvane::testing::RecordData<User>(Path("scratch.sec"), [](User& u) {
        u.SetLogin("dave");
        u.SetName("Dave Long-Named Newcomer");
        u.SetDescription(std::string(200, 'd'));
    });
    const auto seen = corvane::testing::ReadWhileAppending(User::Table(), UsersPath(), dave, [] {
        std::vector<std::string> rows;
        LoadMemberRows("Accounts", [&](const MemberRow& r) { rows.push_back(r.login + "|" + r.name + "|" + std::to_string(r.userID)); });
        return rows;
    });
    EXPECT_FALSE(seen.endedBeforeTheAppend);
    EXPECT_EQ(seen.result, (std::vector<std::string>{"carol|Carol Zed|1", "alice|Alice Young|2", "bob|Bob Adams|3",
                                                     "dave|Dave Long-Named Newcomer|4"}));

    corvane::testing::TearLastRecord(UsersPath(), User::Table());
    std::vector<std::string> logins;
    LoadMemberRows("Accounts", [&](const MemberRow& r) { logins.push_back(r.login); });
    EXPECT_EQ(logins, (std::vector<std::string>{"carol", "alice", "bob"}));
}

TEST_F(Members, CancelHidesTheWindow) {
    frmMembers window;
    Open(window, "Accounts");
    window.findChild<QPushButton*>("cmdCancel")->click();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace

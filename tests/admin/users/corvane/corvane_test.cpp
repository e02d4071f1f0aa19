// The user window's list, its password frame, its switches and its keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTabWidget>
#include <QHeaderView>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "admin/users/corvane/corvane_test_support.h"
#include "support/x11_window_states.h"
#include "ui/helpers/screen_metrics.h"

using namespace corvane;

namespace {

class UserWindow : public test::UserWindowTest {};

TEST_F(UserWindow, StaysOffTheTaskBarAndThePager) { test::ExpectOffTheTaskbar(&Open()); }

TEST_F(UserWindow, OneRowPerAccountNewestFirst) {
    AddUser({"ann", 1});
    AddUser({"ben", 0, true, /*disabled*/ true});
    AddUser({"cat", 2, false, false, /*locked*/ true});
    AddUser({"dan", 1, false, true, true});
    const std::int32_t eve = AddUser("eve");
    User().Delete(eve);
    AddUser("fay");
    {
        User u;  // a slot whose login was blanked
        ASSERT_TRUE(u.Load("fay"));
        u.SetLogin("");
        u.SaveChanges();
    }
    AddUser({"gus", 3, false, false, false, 10, "Auditors"});
    AddUser({"hal", 1, false, false, false, 9});

    Open();
    struct Row {
        const char* login;
        const char* access;
        const char* failed;
        int icon;
        bool dimmed;
        int id;
    };
    const Row rows[] = {
        {"hal", "Standard", "9", 3, false, 8},      {"gus", "Auditors", "10", 3, false, 7},
        {"dan", "Standard", "0", 4, true, 4},       {"cat", "Restricted", "0", 3, true, 3},
        {"ben", "Administrator", "0", 4, false, 2}, {"ann", "Standard", "0", 3, false, 1},
    };
    ASSERT_EQ(window_->ListCount(), 6);
    for (int i = 0; i < 6; ++i) {
        const ListRow& got = window_->Rows()->Row(i);
        SCOPED_TRACE(rows[i].login);
        EXPECT_EQ(got.cells, (QStringList{rows[i].login, rows[i].access, rows[i].failed}));
        EXPECT_EQ(got.icon, rows[i].icon);
        EXPECT_EQ(got.dimmed, rows[i].dimmed);
        EXPECT_EQ(got.tag, QString::number(rows[i].id));
    }
    EXPECT_EQ(window_->SelectedIndex(), 1);
    EXPECT_EQ(Find<QGroupBox>("fraChangePassword")->title(), "Password for hal");
    // Failed logins sort by their text: 10 before 9.
    emit window_->List()->header()->sectionClicked(2);
    EXPECT_EQ(Logins().mid(4), (QStringList{"gus", "hal"}));
}

TEST_F(UserWindow, WithoutAccountsThePasswordFrameSaysSo) {
    for (bool deletedSlots : {false, true}) {
        SCOPED_TRACE(deletedSlots);
        if (deletedSlots) User().Delete(AddUser("gone"));
        Open();
        EXPECT_EQ(window_->ListCount(), 0);
        EXPECT_FALSE(window_->ItemSelected());
        EXPECT_EQ(window_->SelectedItem(), "");
        EXPECT_FALSE(Find<QPushButton>("cmdEdit")->isEnabled());
        EXPECT_FALSE(Find<QPushButton>("cmdDelete")->isEnabled());
        auto* frame = Find<QGroupBox>("fraChangePassword");
        EXPECT_EQ(frame->title(), "Set Password");
        EXPECT_EQ(Find<QLabel>("lblSetPassword")->text(), "No Users defined");
        EXPECT_FALSE(frame->isEnabled());
        EXPECT_FALSE(Find<QPushButton>("cmdSetPassword")->isEnabled());
        window_->SetSelectedIndex(1);
        EXPECT_EQ(window_->SelectedIndex(), 0);
    }
}

TEST_F(UserWindow, CaptionsSizeAndTimer) {
    Open();
    EXPECT_EQ(window_->windowTitle(), "Corvane");
    EXPECT_EQ(window_->size(), ui::ToPixels(5985, 6375));
    auto* tabs = Find<QTabWidget>("SSTab");
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(tabs->tabText(0), "Users");
    EXPECT_EQ(tabs->tabText(1), "Advanced");
    EXPECT_EQ(Find<QPushButton>("cmdOK")->text(), "OK");
    EXPECT_EQ(Find<QCheckBox>("chkDisableUserLogging")->text(), "Disable User Logging (Not Recommend)");
    EXPECT_EQ(Find<QCheckBox>("chkEnableWebsiteLog")->text(), "Enable Website Log");
    EXPECT_EQ(Find<QPushButton>("cmdPrograms")->text(), "Programs");
    QStringList popUp;
    for (QAction* a : window_->PopUp()->actions()) popUp << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(popUp, (QStringList{"Add", "Edit", "Delete", "-", "Cancel"}));
    EXPECT_EQ(window_->RefreshTimer()->interval(), 10000);
    EXPECT_TRUE(window_->RefreshTimer()->isActive());
    for (const char* button : {"cmdLog", "cmdAccess", "cmdWebsites", "cmdPrograms"}) Click(button);
    EXPECT_EQ(launched, (std::vector<std::string>{"ShowUserLog", "ShowWebsiteLog", "ShowWebsites", "ShowPrograms"}));
}

TEST_F(UserWindow, TheSwitchesAreSavedByApplyAndOkOnly) {
    struct Row {
        const char* how;
        bool saved;
        bool closes;
    };
    for (const Row& row : {Row{"cmdApply", true, false}, Row{"cmdOK", true, true}, Row{"cmdCancel", false, true},
                           Row{"close box", false, true}}) {
        SCOPED_TRACE(row.how);
        gRequireLogin = false;
        gEnableWebsiteLogging = true;
        Open();
        window_->show();
        EXPECT_FALSE(window_->IsDirty());
        EXPECT_TRUE(Find<QCheckBox>("chkEnableWebsiteLog")->isChecked());
        EXPECT_FALSE(Find<QPushButton>("cmdApply")->isEnabled());
        Find<QCheckBox>("chkRequireLogin")->click();
        EXPECT_TRUE(Find<QPushButton>("cmdApply")->isEnabled());
        if (row.how == std::string("close box")) {
            window_->close();  // as the close box does
            EXPECT_TRUE(window_->Cancelled);
        } else {
            Click(row.how);
            EXPECT_FALSE(window_->Cancelled);
        }
        EXPECT_EQ(gRequireLogin, row.saved);
        EXPECT_TRUE(gEnableWebsiteLogging);
        EXPECT_EQ(window_->isVisible(), !row.closes);
        if (!row.closes) {
            EXPECT_FALSE(window_->IsDirty());
            EXPECT_FALSE(Find<QPushButton>("cmdApply")->isEnabled());
        }
    }
    gRequireLogin = false;
}

TEST_F(UserWindow, OnlyEnterIsAKeyOfTheList) {
    for (const char* login : {"a", "b", "c"}) AddUser(login);
    Open();
    QTreeView* list = window_->List();
    QTest::keyClick(list, Qt::Key_Delete);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(window_->ItemsSelectedCount(), 1);
    EXPECT_EQ(box_->Count(), 0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(edited, (std::vector<std::string>{"c"}));
    // Writing SelectedIndex outside the list leaves the current row.
    for (int n : {0, 4, -2}) window_->SetSelectedIndex(n);
    EXPECT_EQ(window_->SelectedIndex(), 1);
    window_->SetSelectedIndex(3);
    EXPECT_EQ(window_->SelectedItem(), "a");
}

}  // namespace

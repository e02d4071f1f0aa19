// Add, Edit, Delete and Set Password of the user window.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "admin/users/corvane/corvane_test_support.h"
#include "admin/users/wizard/frm_wizard.h"
#include "session/login/account_table_check.h"
#include "support/faulty_record_io.h"
#include "ui/ui_test_support.h"

using namespace corvane;

namespace {

class UserWindowCommands : public test::UserWindowTest {
protected:
    static void Tick(frmCorvane& window) { QMetaObject::invokeMethod(&window, "AutoRefreshData"); }

    // Runs the wizard the next Add opens: the login, matching passwords, Finish.
    void FinishWizard(const QString& login, bool* primary = nullptr) {
        test::OnNextModal<frmWizard>([login, primary](frmWizard* wizard) {
            if (primary) *primary = wizard->PrimaryUser() && wizard->NoCancel();
            wizard->findChild<QLineEdit*>("txtUserLogin")->setText(login);
            wizard->findChild<QPushButton*>("cmdNav3")->click();
            wizard->findChild<QPushButton*>("cmdNav3")->click();
            wizard->findChild<QPushButton*>("cmdNav4")->click();
        });
    }
};

TEST_F(UserWindowCommands, AddRunsTheWizardAndListsTheNewAccount) {
    Open();
    bool primary = false;
    FinishWizard("admin", &primary);
    Click("cmdAdd");
    EXPECT_TRUE(primary);  // no account yet: the first administrator, no Cancel
    AddUser("zed");
    FinishWizard(" bob ", &primary);
    Click("cmdAdd");
    EXPECT_FALSE(primary);
    EXPECT_EQ(Logins(), (QStringList{"bob", "zed", "admin"}));
    EXPECT_EQ(window_->SelectedItem(), "bob");
    EXPECT_TRUE(Find<QPushButton>("cmdEdit")->isEnabled());
    EXPECT_EQ(ActivityLines(), (std::vector<std::string>{"New User - admin", "New User - bob"}));

    test::OnNextModal<frmWizard>([](frmWizard* wizard) { wizard->findChild<QPushButton*>("cmdNav1")->click(); });
    Click("cmdAdd");
    EXPECT_EQ(ActivityLines().size(), 2u);  // a cancelled wizard writes nothing
    EXPECT_TRUE(window_->RefreshTimer()->isActive());
}

// Once the folder's first administrator was made, an empty table is damage: Add offers an
// ordinary account, never another first administrator.
TEST_F(UserWindowCommands, AfterSetUpAnEmptyTableOpensNoFirstAdministratorWizard) {
    RecordDataFolderSetUp();
    Open();
    bool primary = true;
    FinishWizard("admin", &primary);
    Click("cmdAdd");
    EXPECT_FALSE(primary);
}

TEST_F(UserWindowCommands, EditRewritesTheRowUnderItsNewLoginAndLogsIt) {
    AddUser("ann");
    const std::int32_t bob = AddUser("bob");
    Open();
    window_->SetSelectedIndex(1);
    editor = [](const std::string&) { return UserEditorResult{true, true, "bob"}; };  // Cancel
    Click("cmdEdit");
    EXPECT_EQ(ActivityLines().size(), 0u);

    editor = [](const std::string& login) {
        User u;
        u.Load(login);
        u.SetLogin("robert");
        u.SetFailedLogins(2);
        u.SaveChanges();
        return UserEditorResult{false, true, "robert"};
    };
    Click("cmdEdit");
    EXPECT_EQ(edited, (std::vector<std::string>{"bob", "bob"}));
    EXPECT_EQ(window_->Rows()->Row(0).cells, (QStringList{"robert", "Standard", "2"}));
    EXPECT_EQ(window_->Rows()->Row(0).tag, QString::number(bob));
    EXPECT_EQ(window_->SelectedItem(), "robert");
    EXPECT_EQ(ActivityLines(), (std::vector<std::string>{"Edit User - robert"}));
}

TEST_F(UserWindowCommands, EditOfAnAccountDeletedElsewhereOpensNothing) {
    AddUser("ann");
    AddUser("bob");
    const std::int32_t cat = AddUser("cat");
    Open();
    window_->SetSelectedIndex(2);
    User().Delete(cat);  // another workstation
    window_->SetSelectedIndex(1);
    Click("cmdEdit");
    EXPECT_TRUE(edited.empty());
    EXPECT_EQ(Logins(), (QStringList{"bob", "ann"}));
    EXPECT_EQ(window_->SelectedIndex(), 1);
    EXPECT_EQ(window_->SelectedItem(), "bob");
}

TEST_F(UserWindowCommands, NoReloadUnderTheEditorAndItsSaveLandsOnItsOwnRow) {
    AddUser("ann");
    const std::int32_t bob = AddUser("bob");
    Open();
    window_->SetSelectedIndex(1);
    bool timerRanUnderEditor = true;
    editor = [&](const std::string& login) {
        AddUser("new1");  // elsewhere, while the editor is open
        timerRanUnderEditor = window_->RefreshTimer()->isActive();
        Tick(*window_);
        EXPECT_EQ(window_->ListCount(), 2);
        User u;
        u.Load(login);
        u.SetAccessLevel(2);
        u.SaveChanges();
        return UserEditorResult{false, true, login};
    };
    Click("cmdEdit");
    EXPECT_FALSE(timerRanUnderEditor);
    ASSERT_EQ(Logins(), (QStringList{"bob", "ann"}));
    EXPECT_EQ(window_->Rows()->Row(0).cells.value(1), "Restricted");
    EXPECT_EQ(window_->Rows()->Row(1).cells.value(1), "Standard");
    EXPECT_EQ(window_->Rows()->Row(0).tag, QString::number(bob));
    EXPECT_TRUE(window_->RefreshTimer()->isActive());
    Tick(*window_);
    EXPECT_EQ(Logins(), (QStringList{"new1", "bob", "ann"}));

    // The account moved under the editor's feet: its own row is found by its number.
    editor = [&](const std::string& login) {
        User u;
        u.Load(login);
        u.SetFailedLogins(5);
        u.SaveChanges();
        window_->SetSelectedIndex(1);  // the current row is another one now
        return UserEditorResult{false, true, login};
    };
    window_->SetSelectedIndex(2);
    Click("cmdEdit");
    EXPECT_EQ(window_->Rows()->Row(1).cells, (QStringList{"bob", "Restricted", "5"}));
    EXPECT_EQ(window_->Rows()->Row(0).cells.value(2), "0");
    EXPECT_EQ(ActivityLines(), (std::vector<std::string>{"Edit User - bob", "Edit User - bob"}));
}

TEST_F(UserWindowCommands, DeleteTakesTheAccountsWithEveryLinkOfTheirs) {
    for (const char* login : {"ann", "bob", "cat", "dan"}) {
        AddUser(login);
        LinkEverywhere(login);
    }
    Open();
    // Three rows marked: dan, cat, bob.
    auto* selection = window_->List()->selectionModel();
    for (int row : {0, 1, 2})
        selection->select(window_->Rows()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    box_->Answer(kMsgNo);
    Click("cmdDelete");
    EXPECT_EQ(box_->Last().prompt, "Are you sure you want to delete the 3 selected items?");
    EXPECT_EQ(box_->Last().buttons, kMsgYesNo | kMsgQuestion);
    EXPECT_EQ(UserCount(), 4);
    EXPECT_EQ(Links("bob"), (std::vector<int>{1, 1, 1, 1}));

    box_->Answer(kMsgYes);
    Click("cmdDelete");
    EXPECT_EQ(Logins(), (QStringList{"ann"}));
    for (const char* gone : {"bob", "cat", "dan"}) EXPECT_EQ(Links(gone), (std::vector<int>{0, 0, 0, 0})) << gone;
    EXPECT_EQ(Links("ann"), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(ActivityLines(), (std::vector<std::string>{"Delete User(s) - dan", "Delete User(s) - cat",
                                                         "Delete User(s) - bob"}));
    // A new account of a deleted login starts without links.
    AddUser("bob");
    EXPECT_EQ(Links("bob"), (std::vector<int>{0, 0, 0, 0}));

    window_->SetSelectedIndex(1);
    box_->Answer(kMsgYes);
    Click("cmdDelete");
    EXPECT_EQ(box_->Last().prompt, "Are you sure you want to delete the selected item?");
}

// The list was read before another workstation renamed or deleted the account; the count of
// accounts is the same, so the list still shows the old row.
TEST_F(UserWindowCommands, DeleteFromAStaleRowGoesByTheRecordAsItStandsNow) {
    AddUser("ann");
    AddUser("bob");
    LinkEverywhere("ann");
    LinkEverywhere("bob");
    Open();
    {
        User other;  // renamed elsewhere, its links moved with it
        ASSERT_TRUE(other.Load("bob"));
        other.SetLogin("rob");
        other.SaveChanges();
        LinkEverywhere("rob");
    }
    const auto selectRow = [&](const QString& login) {
        for (int row = 0; row < window_->Rows()->rowCount(); ++row)
            if (window_->Rows()->Row(row).cells.value(0) == login) window_->SetSelectedIndex(row + 1);
    };
    selectRow("bob");
    box_->Answer(kMsgYes);
    Click("cmdDelete");
    EXPECT_EQ(Logins(), (QStringList{"ann"}));
    EXPECT_EQ(Links("rob"), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(Links("ann"), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(ActivityLines(), (std::vector<std::string>{"Delete User(s) - rob"}));

    // Deleted elsewhere meanwhile: nothing more to delete, nothing logged, no error.
    User().Delete(1);
    AddUser("cy");  // the same count of accounts again
    LinkEverywhere("ann");
    selectRow("ann");
    box_->Answer(kMsgYes);
    Click("cmdDelete");
    EXPECT_EQ(Links("ann"), (std::vector<int>{2, 2, 2, 2}));
    EXPECT_EQ(ActivityLines().size(), 1u);
    EXPECT_TRUE(errors_.empty());
}

// A disk that fails under the delete: the window reports it, and the account and every
// link of it stand as they were, nothing logged as deleted.
TEST_F(UserWindowCommands, DeleteOnAFailingDiskReportsAndLeavesTheAccountWithItsLinks) {
    for (const auto& fault : test_support::DiskFaults()) {
        SCOPED_TRACE(fault.what);
        std::filesystem::remove_all(folder_.Path());
        std::filesystem::create_directory(folder_.Path());
        errors_.clear();
        AddUser("ann");
        AddUser("bob");
        LinkEverywhere("bob");
        Open();
        for (int row = 0; row < window_->Rows()->rowCount(); ++row)
            if (window_->Rows()->Row(row).cells.value(0) == "bob") window_->SetSelectedIndex(row + 1);
        test_support::FaultyRecordIo io;
        fault.arm(io);
        box_->Answer(kMsgYes);
        {
            test_support::RecordIoScope scope(io);
            Click("cmdDelete");
        }
        ASSERT_FALSE(errors_.empty());
        EXPECT_EQ(errors_.front().rfind("frmCorvane.DeleteUsers", 0), 0u) << errors_.front();
        EXPECT_TRUE(User().Exists("bob"));
        EXPECT_EQ(Links("bob"), (std::vector<int>{1, 1, 1, 1}));
        EXPECT_TRUE(ActivityLines().empty());
    }
}

TEST_F(UserWindowCommands, SetPasswordOpensTheDialogForTheCurrentRow) {
    AddUser("ann");
    AddUser("bob");
    Open();
    window_->SetSelectedIndex(2);
    Click("cmdSetPassword");
    EXPECT_EQ(passwordsSet, (std::vector<std::string>{"ann"}));
    EXPECT_EQ(ActivityLines().size(), 0u);
    EXPECT_EQ(Logins(), (QStringList{"bob", "ann"}));
}

}  // namespace

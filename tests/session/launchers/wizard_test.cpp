#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "launchers_test_support.h"
#include "platform/crypto/encryption.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"
#include "session/launchers/frm_wizard.h"
#include "session/launchers/new_user.h"
#include "session/login/pass_phrase.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

class WizardTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        UseClock(*FromParts({2025, 6, 2, 9, 30, 0}));
    }
    static std::int32_t Users() { return User().UserCount(); }
};

TEST_F(WizardTest, TheFirstAdministratorIsStoredEncodedAndStamped) {
    ASSERT_EQ(AddNewUser({"  admin ", " The Admin ", " s3cret ", " s3cret ", true}), 0);
    User user;
    ASSERT_TRUE(user.Load("admin"));
    EXPECT_EQ(user.Login(), "admin");
    EXPECT_EQ(user.Name(), "The Admin");
    EXPECT_EQ(user.IsAdministrator(), -1);
    EXPECT_EQ(user.AccessLevel(), 0);
    EXPECT_EQ(user.FailedLogins(), 0);
    EXPECT_EQ(Encryption().DeCode(user.Password(), kPasswordPassPhrase), "s3cret");
    EXPECT_DOUBLE_EQ(user.PasswordStamp(), *FromParts({2025, 6, 2, 9, 30, 0}));

    ASSERT_EQ(AddNewUser({"bob", "", "pw", "pw", false}), 0);
    ASSERT_TRUE(user.Load("bob"));
    EXPECT_EQ(user.IsAdministrator(), 0);
    EXPECT_EQ(user.AccessLevel(), 1);
}

TEST_F(WizardTest, AnEntryThatDoesNotHoldAddsNothing) {
    ASSERT_EQ(AddNewUser({"admin", "", "pw", "pw", true}), 0);
    const struct {
        NewUserEntry entry;
        int message;
    } rows[] = {
        {{"   ", "x", "pw", "pw", true}, 518},
        {{"eve", "", "Secret", "secret", true}, 434},   // letter case counts
        {{"eve", "", "pw ", "pw", true}, 434},          // so do blanks
        {{"ADMIN", "", "pw", "pw", true}, 440},
        {{"anonymous", "", "pw", "pw", false}, 440},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.entry.login + "/" + row.entry.password);
        EXPECT_EQ(AddNewUser(row.entry), row.message);
        EXPECT_EQ(Users(), 1);
    }
}

TEST_F(WizardTest, TheWindowTellsWhatIsWrongKeepsTheEntryAndHonoursNoCancel) {
    auto box = ScriptedMsgBox::Install();
    box->SetDefaultAnswer(kMsgOk);
    frmWizard wizard;
    wizard.setProperty("PrimaryUser", true);
    wizard.setProperty("NoCancel", true);
    EXPECT_FALSE(wizard.findChild<QPushButton*>("cmdCancel")->isEnabled());
    wizard.show();
    QTest::keyClick(&wizard, Qt::Key_Escape);
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_FALSE(wizard.Cancelled);

    wizard.findChild<QLineEdit*>("txtUserLogin")->setText("admin");
    wizard.findChild<QLineEdit*>("txtPassword")->setText("one");
    wizard.findChild<QLineEdit*>("txtConfirmPassword")->setText("two");
    wizard.findChild<QPushButton*>("cmdFinish")->click();
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, "Passwords do not match.");
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_EQ(wizard.findChild<QLineEdit*>("txtUserLogin")->text(), "admin");
    EXPECT_EQ(Users(), 0);

    wizard.findChild<QLineEdit*>("txtConfirmPassword")->setText("one");
    wizard.findChild<QPushButton*>("cmdFinish")->click();
    EXPECT_FALSE(wizard.isVisible());
    EXPECT_TRUE(wizard.IsDirty);
    User user;
    ASSERT_TRUE(user.Load("admin"));
    EXPECT_EQ(user.IsAdministrator(), -1);
}

}  // namespace
}  // namespace corvane::testing

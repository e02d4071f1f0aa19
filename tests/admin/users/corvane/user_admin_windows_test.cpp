// The wizard and the user window behind the launchers, and the user window's
// openers reaching the editor through the window registry.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "admin/users/corvane/frm_corvane.h"
#include "admin/users/corvane/user_admin_openers.h"
#include "admin/users/corvane/user_admin_windows.h"
#include "support/user_admin_test.h"
#include "admin/users/wizard/frm_wizard.h"
#include "session/launchers/launchers.h"
#include "session/launchers/window_factories.h"
#include "ui/ui_test_support.h"

using namespace corvane;

namespace {

// An editor that saves the account under a new login as soon as it shows.
class RenamingEditor : public QDialog {
public:
    RenamingEditor() { setProperty("Cancelled", false); }

protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        seenLogin = property("UserLogin").toString();
        setProperty("IsDirty", true);
        setProperty("UserLogin", seenLogin.trimmed() + "2");
        QTimer::singleShot(0, this, &QDialog::accept);
    }

public:
    static inline QString seenLogin;
};

class UserAdminWindows : public test::UserAdminTest {
protected:
    void SetUp() override {
        UserAdminTest::SetUp();
        previous_ = SetUserAdminOpeners({});
        InstallLaunchers();
        RegisterUserAdminWindows();
    }
    void TearDown() override {
        SetUserAdminOpeners(previous_);
        UserAdminTest::TearDown();
    }
    UserAdminOpeners previous_;
};

TEST_F(UserAdminWindows, TheFirstStartsWizardIsTheRealOneInPrimaryMode) {
    bool primary = false, cancelEnabled = true;
    test::OnNextModal<frmWizard>([&](frmWizard* wizard) {
        primary = wizard->PrimaryUser();
        cancelEnabled = wizard->findChild<QPushButton*>("cmdNav1")->isEnabled();
        wizard->findChild<QLineEdit*>("txtUserLogin")->setText("admin");
        wizard->findChild<QPushButton*>("cmdNav3")->click();
        wizard->findChild<QPushButton*>("cmdNav3")->click();
        wizard->findChild<QPushButton*>("cmdNav4")->click();
    });
    ShowNewUserWizard(true, true);
    EXPECT_TRUE(primary);
    EXPECT_FALSE(cancelEnabled);
    User admin;
    ASSERT_TRUE(admin.Load("admin"));
    EXPECT_EQ(admin.IsAdministrator(), kFlagTrue);
    EXPECT_EQ(admin.AccessLevel(), 0);

    QWidget* window = CreateWindow(QStringLiteral("frmCorvane"));
    EXPECT_NE(qobject_cast<frmCorvane*>(window), nullptr);
    delete window;
}

TEST_F(UserAdminWindows, TheUserWindowsEditorIsTheRegisteredOneAndItsAnswersComeBack) {
    RegisterWindowFactory(QStringLiteral("frmUserDetails"), [] { return new RenamingEditor; });
    const UserEditorResult result = CurrentUserAdminOpeners().editUser(nullptr, "bob");
    EXPECT_EQ(RenamingEditor::seenLogin, "bob");
    EXPECT_FALSE(result.cancelled);
    EXPECT_TRUE(result.isDirty);
    EXPECT_EQ(result.userLogin, "bob2");
    EXPECT_TRUE(CurrentUserAdminOpeners().setPassword);
    EXPECT_TRUE(CurrentUserAdminOpeners().showPrograms);
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QApplication>
#include <QTest>

#include "support/user_admin_test.h"
#include "admin/users/wizard/frm_wizard.h"
#include "platform/crypto/encryption.h"
#include "session/login/login_validator.h"
#include "session/login/pass_phrase.h"
#include "session/login/password_change.h"
#include "support/accessible_names.h"
#include "support/faulty_record_io.h"
#include "support/password_hash_check.h"
#include "support/fake_clock.h"
#include "ui/helpers/screen_metrics.h"

using namespace corvane;

namespace {

class WizardTest : public test::UserAdminTest {
protected:
    // A wizard as its callers leave it: loaded, inputs set, activated.
    frmWizard& Open(bool primary = false, bool noCancel = false) {
        wizard_ = std::make_unique<frmWizard>();
        wizard_->SetPrimaryUser(primary);
        wizard_->SetNoCancel(noCancel);
        wizard_->Activate();
        return *wizard_;
    }
    template <typename T>
    T* Find(const char* name) const {
        T* found = wizard_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QPushButton* Nav(int i) const { return Find<QPushButton>(("cmdNav" + std::to_string(i)).c_str()); }
    void Type(const char* box, const QString& text) const { Find<QLineEdit>(box)->setText(text); }
    // Fills every step and goes to the last.
    void FillIn(const QString& login, const QString& password = "Secret", const QString& confirm = "Secret") {
        Type("txtUserLogin", login);
        Nav(3)->click();
        Type("txtNewPassword", password);
        Type("txtConfirmPassword", confirm);
        Nav(3)->click();
    }
    std::string Step() const {
        std::string shown;
        for (int i = 0; i < 3; ++i)
            if (Find<QWidget>(("fraStep" + std::to_string(i)).c_str())->x() >= 0) shown += std::to_string(i);
        return shown;
    }
    // Back, Next and Finish as "BNF" with "-" for a disabled one.
    std::string Buttons() const {
        return std::string(Nav(2)->isEnabled() ? "B" : "-") + (Nav(3)->isEnabled() ? "N" : "-") +
               (Nav(4)->isEnabled() ? "F" : "-");
    }

    std::unique_ptr<frmWizard> wizard_;
};

TEST_F(WizardTest, StepsAndTheirButtons) {
    Open();
    struct Row {
        int press;  // 2 Back, 3 Next, 0 none
        const char* step;
        const char* buttons;
    };
    const Row rows[] = {
        {0, "0", "-N-"}, {3, "1", "BN-"}, {3, "2", "B-F"},
        {2, "1", "BNF"},  // Finish stays once the last step was shown
        {2, "0", "-NF"}, {3, "1", "BNF"},
    };
    Type("txtUserLogin", "bob");
    for (const Row& row : rows) {
        if (row.press) Nav(row.press)->click();
        EXPECT_EQ(Step(), row.step);
        EXPECT_EQ(Buttons(), row.buttons) << "on step " << row.step;
    }
    EXPECT_FALSE(Nav(0)->isVisibleTo(wizard_.get()));
    QTest::keyClick(wizard_.get(), Qt::Key_F1);  // no help: nothing happens
    EXPECT_EQ(Step(), "1");
    EXPECT_EQ(box_->Count(), 0);
}

TEST_F(WizardTest, TheStepLabelsShowWhichStepIsActive) {
    Open();
    Type("txtUserLogin", "bob");
    Nav(3)->click();
    for (int i = 0; i < 3; ++i) {
        auto* label = Find<QLabel>(("lblSteps" + std::to_string(i)).c_str());
        const bool active = i == 1;
        EXPECT_EQ(label->font().bold(), active) << i;
        EXPECT_EQ(label->palette().color(QPalette::WindowText), active ? QColor(Qt::black) : QColor(Qt::white)) << i;
        EXPECT_EQ(label->text().at(0), ' ');
    }
    EXPECT_EQ(Nav(2)->text(), "< Back");
    EXPECT_EQ(Nav(3)->text(), "Next >");
    test::ExpectEveryBoxNamedByItsLabel(wizard_.get());
    wizard_->show();
    wizard_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wizard_.get()));
    test::ExpectMnemonicsReachTheirBoxes(wizard_.get());
}

TEST_F(WizardTest, TheLoginIsCheckedWhenStepZeroIsLeft) {
    AddUser("alice");
    struct Row {
        QString typed;
        const char* prompt;  // nullptr: accepted
        const char* userLogin;
    };
    const Row rows[] = {
        {"", "You must enter a Login Name.", ""},
        {"    ", "You must enter a Login Name.", ""},
        {"ALICE", "Account already exists. Please choose another User Login.", "ALICE"},
        {"aNoNyMoUs", "Account already exists. Please choose another User Login.", "aNoNyMoUs"},
        {" bob ", nullptr, "bob"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        box_->Clear();
        Open();
        Type("txtUserLogin", row.typed);
        Nav(3)->click();
        EXPECT_EQ(wizard_->UserLogin, row.userLogin);
        if (row.prompt) {
            ASSERT_EQ(box_->Count(), 1);
            EXPECT_EQ(box_->Last().prompt, row.prompt);
            EXPECT_EQ(box_->Last().buttons, kMsgExclamation);
            EXPECT_EQ(box_->Last().title, "Corvane");
            EXPECT_EQ(Step(), "0");
            EXPECT_EQ(Find<QLineEdit>("txtUserLogin")->text(), row.typed);  // left as typed
        } else {
            EXPECT_EQ(box_->Count(), 0);
            EXPECT_EQ(Step(), "1");
        }
    }
}

TEST_F(WizardTest, PasswordsMustMatchLetterForLetter) {
    Open();
    FillIn("bob", "Secret", "secret");
    EXPECT_EQ(box_->Last().prompt, "Passwords do not match.");
    EXPECT_EQ(Step(), "1");
    Type("txtConfirmPassword", " Secret ");  // blanks around do not count
    Nav(3)->click();
    EXPECT_EQ(Step(), "2");
}

TEST_F(WizardTest, FinishStoresTheAccount) {
    test::FakeClock clock({2026, 3, 4, 10, 20, 30});
    gAuthenticatedUser = "root";
    AddUser({"root", 0, true});
    for (int access : {0, 1}) {
        SCOPED_TRACE(access);
        const QString login = access == 0 ? " boss " : "  worker";
        Open();
        Type("txtUserName", "  Full Name ");
        Find<QPlainTextEdit>("txtDescription")->setPlainText(" line one\nline two  ");
        FillIn(login, "  pa ss ", "  pa ss ");
        Find<QRadioButton>(("optAccess" + std::to_string(access)).c_str())->setChecked(true);
        Nav(4)->click();
        EXPECT_TRUE(wizard_->IsDirty);
        EXPECT_FALSE(wizard_->Cancelled);
        EXPECT_EQ(wizard_->UserLogin, login.trimmed().toStdString());

        User u;
        ASSERT_TRUE(u.Load(wizard_->UserLogin));
        EXPECT_EQ(u.Login(), login.trimmed().toStdString());
        EXPECT_EQ(u.Name(), "Full Name");
        EXPECT_EQ(u.Description(), "line one\nline two");
        EXPECT_TRUE(test_support::IsHashOf(u.Password(), "pa ss"));
        EXPECT_EQ(u.PasswordStamp(), *FromParts({2026, 3, 4, 10, 20, 30}));
        EXPECT_EQ(u.AccessLevel(), access);
        EXPECT_EQ(u.IsAdministrator(), Flag(access == 0));
        EXPECT_EQ(u.Disabled(), 0);
        EXPECT_EQ(u.PasswordLength(), 0);
        EXPECT_EQ(u.OtherAccess(), "");
    }
    EXPECT_EQ(UserCount(), 3);
}

TEST_F(WizardTest, TheCallersThreeModes) {
    AddUser({"root", 0, true});
    AddUser({"clerk", 1, false});
    struct Row {
        const char* what;
        bool primary;
        const char* currentUser;
        const char* caption;
        const char* info;
        bool adminEnabled, standardEnabled, adminChecked;
    };
    const Row rows[] = {
        {"first start", true, "", "New Primary User",
         "This Wizard will add a New Primary User [Administrator] to Corvane", true, false, true},
        {"an administrator", false, "root", "New User", "This Wizard will add a New User to Corvane", true, true,
         false},
        {"a standard user", false, "clerk", "New User", "This Wizard will add a New User to Corvane", false, true,
         false},
        {"nobody logged in", false, "", "New User", "This Wizard will add a New User to Corvane", false, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        gAuthenticatedUser = row.currentUser;
        Open(row.primary, row.primary);
        EXPECT_EQ(wizard_->windowTitle(), row.caption);
        EXPECT_EQ(Find<QLabel>("lblCaption")->text(), "Welcome to the Add New User Wizard");
        EXPECT_EQ(Find<QLabel>("lblInfoText")->text(), row.info);
        EXPECT_EQ(Find<QRadioButton>("optAccess0")->isEnabled(), row.adminEnabled);
        EXPECT_EQ(Find<QLabel>("lblAdmin")->isEnabled(), row.adminEnabled);
        EXPECT_EQ(Find<QRadioButton>("optAccess1")->isEnabled(), row.standardEnabled);
        EXPECT_EQ(Find<QRadioButton>("optAccess0")->isChecked(), row.adminChecked);
        EXPECT_EQ(Find<QRadioButton>("optAccess1")->isChecked(), !row.adminChecked);
        EXPECT_EQ(Nav(1)->isEnabled(), !row.primary);
        // Esc cancels only while Cancel can be pressed.
        QTest::keyClick(wizard_.get(), Qt::Key_Escape);
        EXPECT_EQ(wizard_->Cancelled, !row.primary);
    }
    EXPECT_EQ(UserCount(), 2);
}

TEST_F(WizardTest, TheBannerFollowsTheWindowsWidth) {
    Open();
    wizard_->show();
    auto* banner = Find<QWidget>("picBanner");
    auto* icon = Find<QWidget>("picIcon");
    EXPECT_EQ(banner->geometry(), QRect(0, 0, wizard_->width(), banner->height()));
    EXPECT_EQ(icon->x(), wizard_->width() - icon->width() - ui::ToPixelsX(240));
    EXPECT_EQ(Find<QWidget>("lnLower")->y(), banner->height() - ui::ToPixelsY(30));
    EXPECT_EQ(Find<QWidget>("lnLower2")->y(), banner->height() - ui::ToPixelsY(10));
    EXPECT_EQ(Find<QWidget>("fraStep0")->pos(), ui::ToPixels({2000, 1000, 0, 0}).topLeft());
}

TEST_F(WizardTest, MustFinishHoldsCancelAndBackUntilTheNextStepChange) {
    Open();
    Type("txtUserLogin", "bob");
    Nav(3)->click();
    wizard_->SetMustFinish(true);
    EXPECT_EQ(Buttons(), "-N-");
    EXPECT_FALSE(Nav(1)->isEnabled());
    Nav(3)->click();
    EXPECT_EQ(Buttons(), "B-F");
    EXPECT_FALSE(Nav(1)->isEnabled());
}

TEST_F(WizardTest, FinishChecksWhatWasChangedAfterBack) {
    AddUser("alice");
    struct Row {
        const char* what;
        QString login, password, confirm;
        const char* prompt;
        const char* step;
    };
    const Row rows[] = {
        {"a taken login", "Alice", "x", "x", "Account already exists. Please choose another User Login.", "0"},
        {"a blank login", "  ", "x", "x", "You must enter a Login Name.", "0"},
        {"passwords differing in case", "carl", "abc", "ABC", "Passwords do not match.", "1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Open();
        FillIn("carl");
        Nav(2)->click();
        Nav(2)->click();
        Type("txtUserLogin", row.login);
        Type("txtNewPassword", row.password);
        Type("txtConfirmPassword", row.confirm);
        box_->Clear();
        Nav(4)->click();
        EXPECT_EQ(box_->Last().prompt, row.prompt);
        EXPECT_EQ(Step(), row.step);
        EXPECT_FALSE(wizard_->IsDirty);
    }
    EXPECT_EQ(UserCount(), 1);
}

TEST_F(WizardTest, ALoginAddedElsewhereSinceItsCheckIsNotOverwritten) {
    Open();
    FillIn("dora");
    const std::int32_t theirs = AddUser({"DORA", 2});  // another workstation, meanwhile
    Nav(4)->click();
    EXPECT_EQ(box_->Last().prompt, "Account already exists. Please choose another User Login.");
    EXPECT_EQ(Step(), "0");
    EXPECT_FALSE(wizard_->IsDirty);
    User u;
    ASSERT_TRUE(u.Load("dora"));
    EXPECT_EQ(u.UserID(), theirs);
    EXPECT_EQ(u.AccessLevel(), 2);
    EXPECT_EQ(UserCount(), 1);
}

TEST_F(WizardTest, ASaveThatFailsKeepsTheWizardOpen) {
    Open(true, true);
    wizard_->show();
    wizard_->OpenTablePathname = folder_.Path();  // a folder: the table cannot be opened
    FillIn("eve");
    Nav(4)->click();
    EXPECT_FALSE(wizard_->IsDirty);
    EXPECT_TRUE(wizard_->isVisible());
    EXPECT_EQ(errors_, (std::vector<std::string>{"frmWizard.SaveData 11"}));
    wizard_->OpenTablePathname.clear();
    Nav(4)->click();
    EXPECT_TRUE(wizard_->IsDirty);
    EXPECT_FALSE(wizard_->isVisible());
    EXPECT_EQ(UserCount(), 1);
}

// A disk that fails under the new account: the wizard stays open and no account stands, or,
// when the append landed whole before the disk failed, the account stands and it closes.
TEST_F(WizardTest, AFailingDiskEitherAddsTheAccountOrKeepsTheWizardOpen) {
    using test_support::FaultyRecordIo;
    for (const auto& row : test_support::DiskFaults()) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(folder_.Path() + "/users.sec");
        errors_.clear();
        Open(true, true);
        wizard_->show();
        FillIn("eve");
        FaultyRecordIo io;
        row.arm(io);
        {
            test_support::RecordIoScope scope(io);
            Nav(4)->click();
        }
        EXPECT_EQ(wizard_->isVisible(), !row.appendLands);
        EXPECT_EQ(errors_.empty(), row.appendLands);
        EXPECT_EQ(User().Exists("eve"), row.appendLands);
        EXPECT_EQ(UserCount(), row.appendLands ? 1 : 0);
    }
}

TEST_F(WizardTest, CancelWritesNothing) {
    Open();
    FillIn("fred");
    Nav(1)->click();
    EXPECT_TRUE(wizard_->Cancelled);
    EXPECT_FALSE(wizard_->IsDirty);
    EXPECT_EQ(wizard_->UserLogin, "fred");
    EXPECT_EQ(UserCount(), 0);
}

// As the launcher opens it at the first start: inputs set by name.
TEST_F(WizardTest, TheFirstAdministratorThroughTheLaunchersInputs) {
    test::FakeClock clock({2025, 6, 2, 9, 30, 0});
    wizard_ = std::make_unique<frmWizard>();
    wizard_->setProperty("PrimaryUser", true);
    wizard_->setProperty("NoCancel", true);
    wizard_->show();
    wizard_->Activate();
    QTest::keyClick(wizard_.get(), Qt::Key_Escape);
    EXPECT_TRUE(wizard_->isVisible());
    EXPECT_FALSE(wizard_->Cancelled);

    Type("txtUserName", " The Admin ");
    FillIn("  admin ", " s3cret ", "s3cret");  // blanks around do not count
    ASSERT_EQ(Step(), "2");
    Nav(4)->click();
    EXPECT_FALSE(wizard_->isVisible());
    EXPECT_TRUE(wizard_->property("IsDirty").toBool());
    EXPECT_EQ(wizard_->property("UserLogin").toString(), "admin");
    User user;
    ASSERT_TRUE(user.Load("admin"));
    EXPECT_EQ(user.Name(), "The Admin");
    EXPECT_EQ(user.IsAdministrator(), -1);
    EXPECT_EQ(user.AccessLevel(), 0);
    EXPECT_TRUE(test_support::IsHashOf(user.Password(), "s3cret"));
    EXPECT_DOUBLE_EQ(user.PasswordStamp(), *FromParts({2025, 6, 2, 9, 30, 0}));
}

TEST_F(WizardTest, TheBoxesTakeOnlyWhatTheRecordCanHold) {
    Open();
    wizard_->show();
    struct Row {
        const char* box;
        int maxLength;
        bool masked;
    };
    for (const Row& row : {Row{"txtUserLogin", 20, false}, Row{"txtUserName", 50, false},
                           Row{"txtNewPassword", 20, true}, Row{"txtConfirmPassword", 20, true}}) {
        auto* box = Find<QLineEdit>(row.box);
        EXPECT_EQ(box->maxLength(), row.maxLength) << row.box;
        EXPECT_EQ(box->echoMode() == QLineEdit::Password, row.masked) << row.box;
    }
    auto* login = Find<QLineEdit>("txtUserLogin");
    for (const char* typed : {"jos", "\u00e9", "\u4e2d", "\u20ac"}) login->insert(QString::fromUtf8(typed));
    EXPECT_EQ(login->text(), QString::fromUtf8("jos\u00e9\u20ac"));  // the CJK letter has no place in the file
    auto* description = Find<QPlainTextEdit>("txtDescription");
    description->setPlainText(QString(300, 'x') + QString::fromUtf8("\u4e2d"));
    EXPECT_EQ(description->toPlainText(), QString(255, 'x'));
}

TEST_F(WizardTest, ABoxSelectsItsTextWhenItGetsTheFocus) {
    Open();
    wizard_->show();
    QApplication::setActiveWindow(wizard_.get());
    Type("txtUserLogin", "bob  ");
    auto* description = Find<QPlainTextEdit>("txtDescription");
    description->setPlainText("two\nlines ");
    description->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(description->textCursor().selectedText(), QString("two") + QChar(0x2029) + "lines");
    Find<QLineEdit>("txtUserLogin")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(Find<QLineEdit>("txtUserLogin")->selectedText(), "bob");
}

// Tab and typing reach only the controls of the step on screen.
TEST_F(WizardTest, TabAndTypingStayOnTheShownStep) {
    frmWizard& wizard = Open();
    wizard.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard));
    const auto tabRound = [&](int step) {
        QWidget* frame = Find<QWidget>(("fraStep" + std::to_string(step)).c_str());
        std::vector<QWidget*> stops;
        for (int i = 0; i < 12; ++i) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            EXPECT_TRUE(focus->isVisible()) << focus->objectName().toStdString();
            const bool inAStep = focus->parentWidget() && focus->parentWidget()->objectName().startsWith("fraStep");
            if (inAStep) EXPECT_EQ(focus->parentWidget(), frame) << focus->objectName().toStdString();
            stops.push_back(focus);
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        EXPECT_GT(std::count(stops.begin(), stops.end(), stops.front()), 1) << "the round comes back";
    };
    EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>("txtUserLogin"));
    tabRound(0);
    for (QWidget* w = QApplication::focusWidget(); w != Find<QWidget>("txtUserLogin"); w = QApplication::focusWidget())
        QTest::keyClick(w, Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "bob");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "xyz");
    EXPECT_TRUE(Find<QLineEdit>("txtNewPassword")->text().isEmpty());
    EXPECT_TRUE(Find<QLineEdit>("txtConfirmPassword")->text().isEmpty());

    Find<QLineEdit>("txtUserLogin")->setText("bob");
    Nav(3)->click();
    EXPECT_EQ(Step(), "1");
    EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>("txtNewPassword"));
    tabRound(1);
    wizard.hide();
}

// Every writer of a password stores a hash that the login takes, and a wrong
// password is refused against it.
TEST_F(WizardTest, EveryPasswordWriterStoresAHashTheLoginTakes) {
    struct Writer {
        const char* name;
        std::function<void(const QString& password)> write;
    };
    const auto dialog = [](PasswordChange::Kind kind, const QString& password) {
        PasswordChange change(kind, "frmX");
        change.UserLogin = "ann";
        change.LoadData();
        const std::string typed = password.toStdString();
        ASSERT_TRUE(change.ValidateData("old", typed, typed));
        ASSERT_TRUE(change.SaveData(typed));
    };
    const Writer writers[] = {
        {"new-user wizard",
         [this](const QString& password) {
             std::filesystem::remove(std::filesystem::path(folder_.Path()) / "users.sec");
             Open();
             FillIn("ann", password, password);
             Nav(4)->click();
             ASSERT_TRUE(wizard_->IsDirty);
         }},
        {"set-password dialog", [&](const QString& p) { dialog(PasswordChange::Kind::kSet, p); }},
        {"change-password dialog", [&](const QString& p) { dialog(PasswordChange::Kind::kChange, p); }},
    };
    for (const Writer& writer : writers)
    for (const QString& password : {QString("n3w pass"), QString::fromUtf8("ñandú€"), QString()}) {
        SCOPED_TRACE(std::string(writer.name) + ", \"" + password.toStdString() + "\"");
        std::filesystem::remove(std::filesystem::path(folder_.Path()) / "users.sec");
        User old;
        old.SetLogin("ann");
        old.SetPassword(Encryption().EnCode("old", kPasswordPassPhrase));
        old.AddNew();

        writer.write(" " + password + "  ");
        User user;
        ASSERT_TRUE(user.Load("ann"));
        const std::string plain = password.toStdString();
        EXPECT_TRUE(test_support::IsHashOf(user.Password(), plain));
        // The text typed is nowhere in the field (a salted hash may hold any three letters).
        if (!plain.empty()) EXPECT_EQ(user.Password().find(plain), std::string::npos);

        const auto login = [](const std::string& typed) {
            return LoginValidator().ValidateLogin({"ann", typed, "", false, true, ""});
        };
        EXPECT_FALSE(login(plain + "x"));
        EXPECT_FALSE(login("old"));
        EXPECT_TRUE(login(" " + plain + " "));
    }
    EXPECT_TRUE(errors_.empty());
}

}  // namespace

#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <string>

class QAbstractItemView;
class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace corvane {

// The new-user wizard: three steps (Basic Information, Passwords, Access)
// that create one account. Next checks the step it leaves; Finish checks the
// login and the passwords again, appends the account and hides with IsDirty
// set, or stays open when the account could not be added. Cancel (and Esc,
// while Cancel is enabled) hides with Cancelled set. The caller reads
// IsDirty and UserLogin, then unloads it.
class frmWizard : public QDialog {
    Q_OBJECT
    Q_PROPERTY(bool PrimaryUser READ PrimaryUser WRITE SetPrimaryUser)
    Q_PROPERTY(bool NoCancel READ NoCancel WRITE SetNoCancel)
    Q_PROPERTY(bool MustFinish READ MustFinish WRITE SetMustFinish)
    Q_PROPERTY(QString UserLogin READ UserLoginText WRITE SetUserLoginText)
    Q_PROPERTY(bool IsDirty MEMBER IsDirty)
    Q_PROPERTY(bool Cancelled MEMBER Cancelled)
    Q_PROPERTY(bool IsNew MEMBER IsNew)

public:
    explicit frmWizard(QWidget* parent = nullptr);

    // The user table SaveData writes to; "" is users.sec in the data folder.
    std::string OpenTablePathname;

    // Creates the first administrator: its captions, Administrator forced.
    bool PrimaryUser() const { return primaryUser_; }
    void SetPrimaryUser(bool value) { primaryUser_ = value; }
    // Disables Cancel (and so Esc) for the wizard's whole life.
    bool NoCancel() const { return noCancel_; }
    void SetNoCancel(bool value);
    // Disables Cancel and Back; the next step change sets Back again.
    bool MustFinish() const { return mustFinish_; }
    void SetMustFinish(bool value);
    // The login last checked (trimmed); after Finish the login saved.
    std::string UserLogin;
    std::string UserName;
    bool IsDirty = false;
    bool Cancelled = false;
    bool FormLoad = true;
    bool IsNew = false;
    std::int32_t Response = 0;

    // The rows of a list, 0 without one.
    static std::int32_t ListCount(const QAbstractItemView* lsvItems);
    // Selects the first row of a list that has one.
    static void SelectFirstItemInList(QAbstractItemView* lsvItems);
    void SetLanguage();

    // The first activation sets the captions and the access choice; later
    // ones change nothing. The first showing queues it; tests may call it.
    void Activate();

    QString UserLoginText() const { return QString::fromStdString(UserLogin); }
    void SetUserLoginText(const QString& login) { UserLogin = login.toStdString(); }

public slots:
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void cmdNav_Click(int index);
    void InitSteps();
    void GoToStep(int newStep);
    void UpdateWizardButtons(int step);
    void HighlightStep(int step);
    void SetStepFocus(int step);
    bool ValidateSteps(int step);
    int ShowMessage(int mode, std::int32_t buttons);
    bool SaveData();
    void ApplyLanguage();
    void SetDefaults();
    void Layout();
    int CheckedAccess() const;

    int CurrentStep = 0;
    bool FinishEnabled = false;
    bool primaryUser_ = false;
    bool noCancel_ = false;
    bool mustFinish_ = false;
    bool activationQueued_ = false;

    QWidget* picBanner_ = nullptr;
    QLabel* lblCaption_ = nullptr;
    QLabel* lblInfoText_ = nullptr;
    QLabel* picIcon_ = nullptr;
    QFrame* lnLower_ = nullptr;
    QFrame* lnLower2_ = nullptr;
    QFrame* fraSteps_ = nullptr;
    std::array<QLabel*, 3> lblSteps_{};
    std::array<QFrame*, 3> fraStep_{};
    QLabel* lblBasicInformation_ = nullptr;
    QLabel* lblUserLogin_ = nullptr;
    QLineEdit* txtUserLogin_ = nullptr;
    QLabel* lblUserName_ = nullptr;
    QLineEdit* txtUserName_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QPlainTextEdit* txtDescription_ = nullptr;
    std::array<QLabel*, 2> lblContinue_{};
    QLabel* lblPasswords_ = nullptr;
    QLabel* lblPassword_ = nullptr;
    QLineEdit* txtNewPassword_ = nullptr;
    QLabel* lblConfirmPassword_ = nullptr;
    QLineEdit* txtConfirmPassword_ = nullptr;
    QLabel* lblWhatAccess_ = nullptr;
    std::array<QRadioButton*, 2> optAccess_{};
    QButtonGroup* accessGroup_ = nullptr;
    QLabel* lblAdmin_ = nullptr;
    QWidget* picNav_ = nullptr;
    std::array<QPushButton*, 5> cmdNav_{};
};

}  // namespace corvane

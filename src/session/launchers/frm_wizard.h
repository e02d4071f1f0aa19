#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

// The new-user wizard in one page: login, name, password and its
// confirmation. Finish adds the account and closes; a wrong entry is told in
// a message box and the wizard stays open with what was typed. With
// PrimaryUser the account is the first administrator; NoCancel disables
// Cancel and the close box.
class frmWizard : public QDialog {
    Q_OBJECT
    Q_PROPERTY(bool PrimaryUser READ PrimaryUser WRITE SetPrimaryUser)
    Q_PROPERTY(bool NoCancel READ NoCancel WRITE SetNoCancel)
    Q_PROPERTY(bool Cancelled MEMBER Cancelled)
    Q_PROPERTY(bool IsDirty MEMBER IsDirty)

public:
    explicit frmWizard(QWidget* parent = nullptr);

    bool PrimaryUser() const { return primaryUser_; }
    void SetPrimaryUser(bool on);
    bool NoCancel() const { return noCancel_; }
    void SetNoCancel(bool on);

    bool Cancelled = false;
    bool IsDirty = false;

    // Finish: adds the account when the entry holds.
    void cmdFinish_Click();

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* lblTitle_ = nullptr;
    QLineEdit* txtUserLogin_ = nullptr;
    QLineEdit* txtUserName_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    QLineEdit* txtConfirmPassword_ = nullptr;
    QPushButton* cmdFinish_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    bool primaryUser_ = false;
    bool noCancel_ = false;
    bool finished_ = false;
};

}  // namespace corvane

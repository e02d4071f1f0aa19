#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "session/login/password_change.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

// What the change-password and set-password dialogs share: the login shown
// read-only, the masked boxes, OK and Cancel over one PasswordChange. The
// opener sets UserLogin, runs exec(), reads IsDirty (the new password is
// stored) or Cancelled, then deletes the dialog. OK stays disabled while the
// account is not loaded.
class PasswordDialog : public QDialog {
    Q_OBJECT

public:
    std::string UserLogin;
    // Set only once the new password has been written.
    bool IsDirty = false;
    // Cancel, Esc or the close box.
    bool Cancelled = false;
    bool FormLoad = true;
    bool IsNew = false;
    std::int32_t Response = 0;
    virtual void SetLanguage() = 0;

    void cmdOK_Click();
    void reject() override;

protected:
    PasswordDialog(PasswordChange::Kind kind, const char* formName, QWidget* parent);

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QLabel* lblUserLogin_ = nullptr;
    QLabel* lblOldPassword_ = nullptr;  // change only
    QLabel* lblNewPassword_ = nullptr;
    QLabel* lblConfirmPassword_ = nullptr;
    QLineEdit* txtUser_ = nullptr;
    QLineEdit* txtOldPassword_ = nullptr;  // change only
    QLineEdit* txtNewPassword_ = nullptr;
    QLineEdit* txtConfirmPassword_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;

private:
    void FirstActivation();
    void LoadData();

    PasswordChange logic_;
};

// The user changes his own password: old, new and confirmation.
class frmChangePassword : public PasswordDialog {
    Q_OBJECT

public:
    explicit frmChangePassword(QWidget* parent = nullptr);
    void SetLanguage() override;
};

// The administrator gives an account a new password without the old one.
class frmSetPassword : public PasswordDialog {
    Q_OBJECT

public:
    explicit frmSetPassword(QWidget* parent = nullptr);
    void SetLanguage() override;
};

// Loads the change-password dialog for the login, shows it modally and
// deletes it; true when it stored a new password.
bool RunChangePasswordDialog(const std::string& login);

}  // namespace corvane

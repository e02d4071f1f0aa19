#pragma once

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <string>

#include "session/login/login_lockdown.h"
#include "session/login/login_screen_hold.h"
#include "session/login/security.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWindow;

namespace corvane {

// The modal login window. While loaded it holds the login-time lockdown the
// settings ask for and lifts it when it is destroyed. OK hands the boxes to
// the login validation and hides the window on success; Cancel (unless
// "Cannot Cancel Login") hides it with empty results. The opener reads the
// results after exec() returns, then deletes the window.
class frmLogin : public QDialog {
    Q_OBJECT

public:
    explicit frmLogin(QWidget* parent = nullptr);
    ~frmLogin() override;

    // The user-log answer of the last attempt past the empty-login test.
    std::int32_t LogID() const { return logID_; }
    const UserLogEntry& SessionRecord() const { return sessionRecord_; }
    bool Authenticated() const { return authenticated_; }
    const std::string& AuthenticatedUser() const { return authenticatedUser_; }
    const std::string& AuthenticatedGroup() const { return authenticatedGroup_; }
    // Runs OK as if the button were pressed; ignored while an attempt runs.
    void cmdOK_Click();
    // The captions of the three labels and the two buttons.
    void SetLanguage();

    // The Caps Lock check the 100 ms timer runs.
    void tmrKeyCheck_Timer();
    // The pointer rectangle last computed, and whether it is in force (the
    // pointer is kept in the window by the screen hold's grab).
    const PixelRect& ClipRectangle() const { return clipRect_; }
    bool ClipActive() const { return clipActive_; }
    // What the window holds of the screen while it waits.
    const LoginScreenHold& ScreenHold() const { return screenHold_; }

    // Cancel and Esc.
    void reject() override;
    // The window leaves the screen it held.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormLoad();
    void FirstActivation();
    void SetUpGroups();
    void LoadUserGroups();
    void PlaceButtons();
    void LayoutControls();
    void ClipMouse();
    void ApplyFocus(int focus);
    void FocusMoved(QWindow* now);
    // The window the screen is held for now: the login or a modal window over it, with the focus.
    QWindow* HoldingWindow() const;
    void HoldScreen();
    void Watch(QWindow* holder);
    void HolderLeaves(QWindow* leaving);

    QFrame* picBanner_ = nullptr;
    QLabel* lblCaption_ = nullptr;
    QLabel* lblInfoText_ = nullptr;
    QLabel* picIcon_ = nullptr;
    QFrame* lnLower_ = nullptr;
    QFrame* lnLower2_ = nullptr;
    QLabel* imgLogin_ = nullptr;
    QLabel* imgLoginLogo_ = nullptr;
    QLabel* imgCapsLock_ = nullptr;
    QLabel* lblUserLogin_ = nullptr;
    QLabel* lblPassword_ = nullptr;
    QLabel* lblGroup_ = nullptr;
    QLineEdit* txtUserLogin_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    QComboBox* cboGroup_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QTimer* tmrKeyCheck_ = nullptr;

    bool firstActivation_ = true;
    bool noGroups_ = false;
    bool validating_ = false;
    bool screenBusy_ = false;
    bool authenticated_ = false;
    std::string authenticatedUser_;
    std::string authenticatedGroup_;
    std::int32_t logID_ = 0;
    UserLogEntry sessionRecord_;
    LoginLockdown lockdown_;
    PixelRect clipRect_;
    bool clipActive_ = false;
    LoginScreenHold screenHold_;
    // The window holding the screen, watched for leaving it.
    QPointer<QWindow> watched_;
    QMetaObject::Connection watching_;
    bool popupSeen_ = false;
};

// Loads a login window, shows it modally, reads its results and deletes it.
LoginWindowResult RunLoginWindow();

// Makes Security::Login open the login window and the forced password change
// open the change-password dialog.
void InstallLoginWindow();

}  // namespace corvane

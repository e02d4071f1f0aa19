#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "session/shell/frm_logout.h"
#include "session/shell/frm_popup_menu.h"
#include "session/shell/session_controller.h"

namespace corvane {

class TrayIcon;
class TrayBackend;

// The hidden main form: it is never shown. It owns the tray icon, the
// session watchdog tmrSession, the tray menu and the session itself
// (SessionController); the program runs while it is loaded and ends when it
// unloads.
class frmMain : public QWidget, private SessionHost {
    Q_OBJECT

public:
    // The Security object and the notification area come from outside, so
    // that tests run the form with their own.
    frmMain(std::unique_ptr<SessionSecurity> security, std::unique_ptr<TrayBackend> tray);
    ~frmMain() override;

    // Loads the form: the icon, then the first login when it is required.
    void Form_Load();

    bool Authenticated() const { return controller_.Authenticated(); }
    void Authenticate() { controller_.Authenticate(); }
    void LogOFF() { controller_.LogOFF(); }

    // The Security object of the run.
    SessionSecurity& Security() { return *security_; }
    SessionController& Session() { return controller_; }
    TrayIcon& Tray() { return *tray_; }
    QTimer& tmrSession() { return tmrSession_; }
    // The menu window, once the first right click has made it.
    frmPopupMenu* PopupMenu() const { return mobjPopUpMenu_; }
    // Called when the form has unloaded (the program then ends).
    void SetOnUnloaded(std::function<void()> onUnloaded) { onUnloaded_ = std::move(onUnloaded); }

    void ShowPopupMenu();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void InitTrayIcon();
    void TrayMouseUp(short button);
    void MenuSelected(std::int16_t index);

    // SessionHost
    void ShowNewUserWizard(bool noCancel, bool primaryUser) override;
    void ShowSecureConsole() override;
    bool IsConsoleLoaded() override;
    void UnloadConsole() override;
    void ShowTipOfTheDay() override;
    void ShowUserManagement() override;
    void ShowChangePassword(const std::string& login) override;
    void ShowSecurity() override;
    void ShowMainOptions() override;
    void ShowLogoutNotice() override;
    void HideLogoutNotice() override;
    void SetTrayEnabled(bool on) override;
    void RemoveTrayIcon() override;
    void SetWatchdogRunning(bool on) override;
    void MenuLoggedOff() override;
    void SetBusyPointer(bool busy) override;
    void UnloadMainForm() override;
    bool ConsoleStandsInForIcon() override;

    std::unique_ptr<SessionSecurity> security_;
    SessionController controller_;
    TrayIcon* tray_ = nullptr;
    bool trayAvailable_ = false;
    QTimer tmrSession_;
    QPointer<frmPopupMenu> mobjPopUpMenu_;
    QPointer<frmLogout> logout_;
    std::function<void()> onUnloaded_;
    bool unloaded_ = false;
};

}  // namespace corvane

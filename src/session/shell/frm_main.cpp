#include "session/shell/frm_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QPixmap>

#include "platform/system/workstation_forms.h"
#include "session/launchers/launchers.h"
#include "session/launchers/session_entry_points.h"
#include "session/shell/frm_logout.h"
#include "session/shell/frm_popup_menu.h"
#include "session/shell/tray_icon.h"

namespace corvane {
namespace {

// The program's tray picture: a blue tile with a white "C".
QIcon TrayPicture() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0, 0, 200));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(1, 1, 30, 30, 6, 6);
    painter.setPen(QPen(Qt::white, 4));
    painter.drawArc(8, 8, 16, 16, 45 * 16, 270 * 16);
    return QIcon(pixmap);
}

}  // namespace

frmMain::frmMain(std::unique_ptr<SessionSecurity> security, std::unique_ptr<TrayBackend> tray)
    : security_(std::move(security)), controller_(*security_, *this) {
    setObjectName(QStringLiteral("frmMain"));
    trayAvailable_ = tray && tray->Available();
    tray_ = new TrayIcon(std::move(tray), this);
    connect(tray_, &TrayIcon::MouseUp, this, &frmMain::TrayMouseUp);
    connect(tray_, &TrayIcon::DblClick, this, [this](short) { controller_.OpenSecureConsole(); });
    tmrSession_.setInterval(2500);
    connect(&tmrSession_, &QTimer::timeout, this, [this] { controller_.tmrSession_Timer(); });
    SetSessionEntryPoints({[this] { return Authenticated(); }, [this] { Authenticate(); },
                           [this] { LogOFF(); }, [this](bool on) { tray_->SetEnabled(on); }});
    SetConsoleIsTheWayIn(!trayAvailable_);
}

frmMain::~frmMain() {
    SetSessionEntryPoints({});
    SetConsoleIsTheWayIn(false);
    delete mobjPopUpMenu_;
    delete logout_;
}

void frmMain::Form_Load() {
    InitTrayIcon();
    tmrSession_.start();
    controller_.Form_Load();
}

void frmMain::InitTrayIcon() {
    tray_->SetIcon(TrayPicture());
    tray_->SetEnabled(true);
    tray_->SetVisible(true);
    tray_->SetSysMenu(false);
    tray_->SetToolTipText(QStringLiteral("Corvane Standard"));
}

void frmMain::TrayMouseUp(short button) {
    if (button == 2) ShowPopupMenu();
}

void frmMain::ShowPopupMenu() {
    if (controller_.LoginRunning()) return;
    if (!mobjPopUpMenu_) {
        mobjPopUpMenu_ = new frmPopupMenu;
        connect(mobjPopUpMenu_, &frmPopupMenu::Selected, this, &frmMain::MenuSelected);
    }
    mobjPopUpMenu_->Load();
    mobjPopUpMenu_->SetAdministrator(controller_.Administrator());
    mobjPopUpMenu_->SetAuthenticated(controller_.Authenticated());
    mobjPopUpMenu_->PasswordCannotChange = controller_.PasswordCannotChange;
    mobjPopUpMenu_->AllowCorvane = controller_.AllowCorvane;
    mobjPopUpMenu_->LoadUserOptions();
    mobjPopUpMenu_->show();
}

void frmMain::MenuSelected(std::int16_t index) {
    if (mobjPopUpMenu_) mobjPopUpMenu_->Unload();
    // The command runs once the menu's own handler has returned: it may open
    // modal windows or end the program.
    QTimer::singleShot(0, this, [this, index] { controller_.Selected(index); });
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (unloaded_) return;
    unloaded_ = true;
    controller_.Form_Unload();
    if (mobjPopUpMenu_) mobjPopUpMenu_->deleteLater();
    event->accept();
    if (onUnloaded_) onUnloaded_();
    else QCoreApplication::exit(0);
}

void frmMain::ShowNewUserWizard(bool noCancel, bool primaryUser) {
    corvane::ShowNewUserWizard(noCancel, primaryUser);
}
void frmMain::ShowSecureConsole() { corvane::ShowSecureConsole(0); }
bool frmMain::IsConsoleLoaded() { return IsFormLoaded("frmSecureConsole"); }
void frmMain::UnloadConsole() { UnloadSecureConsole(); }
void frmMain::ShowTipOfTheDay() { corvane::ShowTipOfTheDay(); }
void frmMain::ShowUserManagement() { corvane::ShowUserManagement(); }
void frmMain::ShowChangePassword(const std::string& login) { corvane::ShowChangePassword(login); }
void frmMain::ShowSecurity() { corvane::ShowSecurity(); }
void frmMain::ShowMainOptions() { corvane::ShowMainOptions(); }

void frmMain::ShowLogoutNotice() {
    if (!logout_) logout_ = new frmLogout;
    logout_->show();
    logout_->repaint();
}

void frmMain::HideLogoutNotice() {
    if (logout_) {
        logout_->close();
        logout_->deleteLater();
    }
    logout_ = nullptr;
}

void frmMain::SetTrayEnabled(bool on) { tray_->SetEnabled(on); }
void frmMain::RemoveTrayIcon() { tray_->SetVisible(false); }

void frmMain::SetWatchdogRunning(bool on) {
    if (on) tmrSession_.start();
    else tmrSession_.stop();
}

void frmMain::MenuLoggedOff() {
    if (!mobjPopUpMenu_) return;
    mobjPopUpMenu_->SetAdministrator(false);
    mobjPopUpMenu_->SetAuthenticated(false);
    mobjPopUpMenu_->LoadUserOptions();
}

void frmMain::SetBusyPointer(bool busy) {
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

void frmMain::UnloadMainForm() { close(); }

bool frmMain::ConsoleStandsInForIcon() { return !trayAvailable_; }

}  // namespace corvane

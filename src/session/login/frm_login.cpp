#include "session/login/frm_login.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QWindow>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "messages/message_catalogue.h"
#include "platform/core/carry_on.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user_group.h"
#include "session/login/frm_password_dialogs.h"
#include "session/login/login_boxes.h"
#include "session/login/login_services.h"
#include "session/login/login_validator.h"
#include "ui/helpers/login_pictures.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_helpers.h"
#include "ui_core/ui_services.h"

namespace corvane {
namespace {

using ui::ToPixelsX;
using ui::ToPixelsY;

// The window's measures in twips.
constexpr double kWidth = 5400;
constexpr double kHeightWithoutGroups = 3500;
constexpr double kHeightWithGroups = 4000;
constexpr double kBannerHeight = 900;
constexpr double kMargin = 240;
constexpr double kIconSize = 480;
constexpr double kPictureSize = 720;
constexpr double kLabelLeft = 1200;
constexpr double kBoxLeft = 2460;
constexpr double kBoxHeight = 315;
constexpr double kFirstRow = 1140;
constexpr double kRowStep = 420;
constexpr double kButtonWidth = 1125;
constexpr double kButtonHeight = 375;
constexpr double kButtonGap = 120;
constexpr double kCapsLockSize = 240;


QString Text(int message, int format = kCaseAsIs) {
    return QString::fromStdString(GetMessageText(message, gLanguage, std::nullopt, format));
}

QLabel* NewLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QFrame* NewLine(QWidget* parent, const char* name, const QColor& color) {
    auto* line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, color);
    line->setPalette(p);
    return line;
}

void Place(QWidget* w, double left, double top, double width, double height) {
    w->setGeometry(ToPixelsX(left), ToPixelsY(top), ToPixelsX(width), ToPixelsY(height));
}

}  // namespace

frmLogin::frmLogin(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Application Security"));
    setMouseTracking(true);

    picBanner_ = new QFrame(this);
    picBanner_->setObjectName(QStringLiteral("picBanner"));
    picBanner_->setAutoFillBackground(true);
    QPalette banner = picBanner_->palette();
    banner.setColor(QPalette::Window, Qt::white);
    banner.setColor(QPalette::WindowText, Qt::black);
    picBanner_->setPalette(banner);
    lblCaption_ = NewLabel(picBanner_, "lblCaption");
    QFont bold = lblCaption_->font();
    bold.setBold(true);
    lblCaption_->setFont(bold);
    lblInfoText_ = NewLabel(picBanner_, "lblInfoText");
    lblInfoText_->setWordWrap(true);
    lblInfoText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picIcon_ = NewLabel(picBanner_, "picIcon");
    picIcon_->setPixmap(BannerLockPicture(ToPixelsX(kIconSize)));
    lnLower_ = NewLine(this, "lnLower", palette().color(QPalette::Dark));
    lnLower2_ = NewLine(this, "lnLower2", palette().color(QPalette::Light));

    imgLogin_ = NewLabel(this, "imgLogin");
    imgLogin_->setPixmap(LoginPersonPicture(ToPixelsX(kPictureSize)));
    imgLoginLogo_ = NewLabel(this, "imgLoginLogo");
    imgLoginLogo_->setScaledContents(true);
    imgLoginLogo_->hide();
    imgCapsLock_ = NewLabel(this, "imgCapsLock");
    imgCapsLock_->setPixmap(CapsLockPicture(ToPixelsX(kCapsLockSize)));

    lblUserLogin_ = NewLabel(this, "lblUserLogin");
    lblPassword_ = NewLabel(this, "lblPassword");
    lblGroup_ = NewLabel(this, "lblGroup");
    txtUserLogin_ = NewLoginBox(this, "txtUserLogin", false);
    txtPassword_ = NewLoginBox(this, "txtPassword", true);
    cboGroup_ = new QComboBox(this);
    cboGroup_->setObjectName(QStringLiteral("cboGroup"));
    // The list's popup takes the grabs and lets go as it closes: they are
    // taken back at once.
    cboGroup_->view()->window()->installEventFilter(this);
    lblUserLogin_->setBuddy(txtUserLogin_);
    lblPassword_->setBuddy(txtPassword_);
    lblGroup_->setBuddy(cboGroup_);

    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel_ = new QPushButton(this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    // Enter belongs to the boxes; the buttons take it only with the focus.
    cmdOK_->setAutoDefault(false);
    cmdCancel_->setAutoDefault(false);
    SetLanguage();

    setTabOrder(txtUserLogin_, txtPassword_);
    setTabOrder(txtPassword_, cboGroup_);
    setTabOrder(cboGroup_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);
    for (QWidget* box : {static_cast<QWidget*>(txtUserLogin_), static_cast<QWidget*>(txtPassword_)})
        box->installEventFilter(this);
    connect(cmdOK_, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmLogin::reject);

    tmrKeyCheck_ = new QTimer(this);
    tmrKeyCheck_->setObjectName(QStringLiteral("tmrKeyCheck"));
    tmrKeyCheck_->setInterval(100);
    connect(tmrKeyCheck_, &QTimer::timeout, this, &frmLogin::tmrKeyCheck_Timer);

    setFixedSize(ToPixelsX(kWidth), ToPixelsY(kHeightWithoutGroups));
    FormLoad();
    tmrKeyCheck_->start();
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &frmLogin::FocusMoved);
}

frmLogin::~frmLogin() {
    // The base classes hide the window after this body: nothing of this one may answer then.
    disconnect(watching_);
    disconnect(qApp, &QGuiApplication::focusWindowChanged, this, nullptr);
    // Unload: the lockdown of the load is lifted in its fixed order.
    CarryOn([this] { lockdown_.Undo(); });
    screenHold_.End();
    clipActive_ = false;
}

// The screen is held for the window with the focus: this one, or a modal
// window the program opens over it (a message box, the forced password
// change), which takes the grabs over until it closes.
void frmLogin::FocusMoved(QWindow* now) {
    if (!now) {
        // Another program's window took the focus (one mapped while the login
        // waits, which the cover put beneath it): it comes back.
        if (screenHold_.Covered() && watched_) watched_->requestActivate();
        return;
    }
    if (now == HoldingWindow()) {
        HoldScreen();
        return;
    }
    // Any other window of the program (the cover, a window the login blocks):
    // the login keeps the focus.
    if (isVisible()) activateWindow();
}

QWindow* frmLogin::HoldingWindow() const {
    QWindow* focus = QGuiApplication::focusWindow();
    if (!focus) return nullptr;
    if (focus == windowHandle()) return isVisible() ? focus : nullptr;
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != this && modal->windowHandle() == focus ? focus : nullptr;
}

void frmLogin::HoldScreen() {
    QWindow* holder = HoldingWindow();
    if (!holder) return;
    // A popup list (the groups) takes the grabs and drops them when it closes;
    // a pointer found outside the window was let go by someone.
    const bool pointerLost = gClipMouseToLogin && screenHold_.PointerHeld() &&
                             !holder->frameGeometry().contains(QCursor::pos());
    if (popupSeen_ || pointerLost) screenHold_.Lost();
    popupSeen_ = false;
    screenHold_.Take(static_cast<ScreenHold::WindowId>(holder->winId()));
    Watch(holder);
}

void frmLogin::Watch(QWindow* holder) {
    if (watched_ == holder) return;
    disconnect(watching_);
    watched_ = holder;
    watching_ = connect(holder, &QWindow::visibleChanged, this, [this, holder](bool visible) {
        if (!visible) HolderLeaves(holder);
    });
}

// Told before the window leaves the screen, where the grabs would end with
// it: they move first to the login, or to the whole screen while the login
// is hidden too (the forced password change).
void frmLogin::HolderLeaves(QWindow* leaving) {
    disconnect(watching_);
    watched_ = nullptr;
    QWindow* login = windowHandle();
    if (leaving != login && login && isVisible()) {
        screenHold_.MoveTo(static_cast<ScreenHold::WindowId>(login->winId()));
        Watch(login);
    } else {
        screenHold_.MoveTo(ScreenHold::kWholeScreen);
    }
}

void frmLogin::FormLoad() {
    firstActivation_ = true;
    authenticated_ = false;
    CarryOn([this] {
        if (gLoginAlwaysOnTop) setWindowFlag(Qt::WindowStaysOnTopHint, true);
    });
    CarryOn([this] {
        if (!gLoginCaption.empty()) setWindowTitle(QString::fromStdString(gLoginCaption));
    });
    CarryOn([this] {
        imgCapsLock_->hide();
        lblCaption_->setText(Text(217));
        lblInfoText_->setText(Text(568));
    });
    CarryOn([this] {
        if (!gCannotCancelLogin) return;
        cmdCancel_->setEnabled(false);
        DisableCloseButton(this);
    });
    CarryOn([this] { lockdown_.Apply(); });
    CarryOn([this] { SetUpGroups(); });
}

void frmLogin::SetLanguage() {
    lblUserLogin_->setText(Text(308) + ":");
    lblPassword_->setText(Text(56) + ":");
    lblGroup_->setText(Text(299) + ":");
    cmdOK_->setText(Text(33, kCaseUpper));
    cmdCancel_->setText(Text(25));
}

void frmLogin::SetUpGroups() {
    std::int32_t groups = 0;
    RunTrapped(
        "frmLogin.SetUpGroups",
        {
            [&] { groups = UserGroup().GroupCount(); },
            [&] {
                if (groups == 0) {
                    noGroups_ = true;
                    lblGroup_->hide();
                    cboGroup_->hide();
                    setFixedHeight(ToPixelsY(kHeightWithoutGroups));
                    return;
                }
                setFixedHeight(ToPixelsY(kHeightWithGroups));
                LoadUserGroups();
                if (cboGroup_->count() > 0) cboGroup_->setCurrentIndex(0);
            },
            [&] { PlaceButtons(); },
        },
        gLanguage);
}

void frmLogin::LoadUserGroups() {
    UserGroup table;
    std::vector<std::string> names;
    RunTrapped("frmLogin.LoadUserGroups",
               {
                   [&] { cboGroup_->clear(); },
                   [&] {
                       // One pass over the file; a retry reads it afresh.
                       names.clear();
                       table.ScanValid([&](const SlotView& group) {
                           std::string name = text::Trim(group.Text(UserGroup::kName));
                           if (!name.empty()) names.push_back(std::move(name));
                           return true;
                       });
                   },
                   [&] {
                       for (const auto& name : names) cboGroup_->addItem(QString::fromStdString(name));
                   },
               },
               gLanguage);
}

void frmLogin::PlaceButtons() {
    const double inner = ui::ToTwipsY(height());
    const double top = inner - kButtonHeight - 90;
    const double cancelLeft = kWidth - kMargin - kButtonWidth;
    Place(cmdCancel_, cancelLeft, top, kButtonWidth, kButtonHeight);
    Place(cmdOK_, cancelLeft - kButtonGap - kButtonWidth, top, kButtonWidth, kButtonHeight);
}

void frmLogin::LayoutControls() {
    const double width = ui::ToTwipsX(this->width());
    Place(picBanner_, 0, 0, width, kBannerHeight);
    const double iconLeft = width - kMargin - kIconSize;
    Place(picIcon_, iconLeft, (kBannerHeight - kIconSize) / 2, kIconSize, kIconSize);
    Place(lblCaption_, kMargin, 120, iconLeft - kMargin - 120, 270);
    Place(lblInfoText_, kMargin + 240, 400, iconLeft - kMargin - 360, 450);
    Place(lnLower_, 0, kBannerHeight - 30, width, 15);
    Place(lnLower2_, 0, kBannerHeight - 10, width, 15);

    Place(imgLogin_, kMargin, kFirstRow, kPictureSize, kPictureSize);
    Place(imgLoginLogo_, kMargin, kFirstRow, kPictureSize, kPictureSize);
    const double boxWidth = width - kMargin - kBoxLeft;
    QLabel* labels[] = {lblUserLogin_, lblPassword_, lblGroup_};
    QWidget* boxes[] = {txtUserLogin_, txtPassword_, cboGroup_};
    for (int row = 0; row < 3; ++row) {
        const double top = kFirstRow + row * kRowStep;
        Place(labels[row], kLabelLeft, top, kBoxLeft - kLabelLeft - 60, kBoxHeight);
        Place(boxes[row], kBoxLeft, top, boxWidth, kBoxHeight);
    }
    PlaceButtons();
    const double okTop = ui::ToTwipsY(cmdOK_->y());
    Place(imgCapsLock_, 90, okTop - 120, kCapsLockSize, kCapsLockSize);
    if (gClipMouseToLogin) ClipMouse();
}

void frmLogin::ClipMouse() {
    const QRect frame = frameGeometry();
    clipRect_ = LoginClipRectangle(ui::ToTwipsX(frame.x()), ui::ToTwipsY(frame.y()),
                                   ui::ToTwipsX(frame.width()), ui::ToTwipsY(frame.height()),
                                   ui::TwipsPerPixelX(), ui::TwipsPerPixelY());
    clipActive_ = true;
}

void frmLogin::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    CarryOn([this] { LayoutControls(); });
}

// The pointer's rectangle follows the window.
void frmLogin::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (gClipMouseToLogin) ClipMouse();
}

void frmLogin::mouseMoveEvent(QMouseEvent* event) {
    QDialog::mouseMoveEvent(event);
    if (gClipMouseToLogin) ClipMouse();
}

void frmLogin::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Activation events are unreliable; the first show stands in for them.
    if (firstActivation_) QTimer::singleShot(0, this, &frmLogin::FirstActivation);
}

void frmLogin::FirstActivation() {
    if (!firstActivation_) return;
    firstActivation_ = false;
    CarryOn([this] { SetLanguage(); });
    CarryOn([this] {
        if (gShowLoginLogo && ui::Services().fileExists(gLoginLogoPathName)) {
            QPixmap logo(QString::fromStdString(gLoginLogoPathName));
            imgLoginLogo_->setPixmap(logo);
            imgLoginLogo_->setVisible(!logo.isNull());
            imgLoginLogo_->raise();
        } else {
            imgLoginLogo_->hide();
        }
    });
    CarryOn([this] {
        if (!gRememberLastLogin) return;
        if (auto last = CurrentLoginServices().readLastLogin())
            txtUserLogin_->setText(QString::fromStdString(text::Trim(*last)));
    });
    CarryOn([this] {
        if (txtUserLogin_->text().isEmpty()) txtUserLogin_->setFocus();
        else txtPassword_->setFocus();
    });
}

void frmLogin::tmrKeyCheck_Timer() {
    if (QApplication::activePopupWidget()) popupSeen_ = true;
    else HoldScreen();
    if (CurrentLoginServices().isCapsLockOn()) {
        imgCapsLock_->setToolTip(Text(685));
        imgCapsLock_->show();
    } else {
        imgCapsLock_->hide();
        imgCapsLock_->setToolTip(QString());
    }
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched == cboGroup_->view()->window() && isVisible()) {
        screenHold_.Lost();
        screenHold_.Take(static_cast<ScreenHold::WindowId>(winId()));
        return false;
    }
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (box == txtPassword_) cmdOK_Click();
                else if (!txtUserLogin_->text().isEmpty()) txtPassword_->setFocus();
                return true;
            }
            if (key == Qt::Key_Escape) {
                reject();
                return true;
            }
            break;
        }
        case QEvent::FocusIn:
            SelectAllTextAfterFocus(box);
            break;
        case QEvent::FocusOut:
            if (box == txtPassword_)
                txtPassword_->setText(QString::fromStdString(text::Trim(txtPassword_->text().toStdString())));
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmLogin::ApplyFocus(int focus) {
    switch (static_cast<LoginFocus>(focus)) {
        case LoginFocus::kLogin: txtUserLogin_->setFocus(); break;
        case LoginFocus::kPassword: txtPassword_->setFocus(); break;
        case LoginFocus::kGroup: cboGroup_->setFocus(); break;
        case LoginFocus::kNone: break;
    }
}

void frmLogin::cmdOK_Click() {
    // Message boxes run the event loop: a second Enter must not start another attempt.
    if (validating_) return;
    validating_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    screenBusy_ = true;
    LoginValidator validator;
    validator.LogID = logID_;
    validator.hideWindow = [this] {
        if (screenBusy_) QApplication::restoreOverrideCursor();
        screenBusy_ = false;
        hide();
    };
    LoginInput input;
    input.login = txtUserLogin_->text().toStdString();
    input.password = txtPassword_->text().toStdString();
    input.group = cboGroup_->currentText().toStdString();
    input.groupSelected = cboGroup_->isVisibleTo(this) && cboGroup_->currentIndex() >= 0;
    input.noGroups = noGroups_;
    input.windowCaption = windowTitle().toStdString();
    bool ok = false;
    CarryOn([&] { ok = validator.ValidateLogin(input); });
    logID_ = validator.LogID;
    sessionRecord_ = validator.SessionRecord;
    if (ok) {
        authenticated_ = true;
        authenticatedUser_ = validator.AuthenticatedUser;
        authenticatedGroup_ = validator.AuthenticatedGroup;
        done(QDialog::Accepted);
    } else {
        if (validator.ClearPassword()) txtPassword_->clear();
        ApplyFocus(static_cast<int>(validator.Focus()));
    }
    if (screenBusy_) QApplication::restoreOverrideCursor();
    screenBusy_ = false;
    validating_ = false;
}

void frmLogin::reject() {
    if (gCannotCancelLogin) return;
    authenticated_ = false;
    authenticatedUser_.clear();
    authenticatedGroup_.clear();
    done(QDialog::Rejected);
}

void frmLogin::done(int result) {
    screenHold_.End();
    QDialog::done(result);
}

void frmLogin::closeEvent(QCloseEvent* event) {
    // The close box and Alt+F4 are a Cancel: refused when the login cannot be
    // cancelled, since the unload would lift the login's lockdown.
    if (gCannotCancelLogin && event->spontaneous()) {
        event->ignore();
        return;
    }
    // Closed by other means than OK or Cancel: not authenticated.
    authenticated_ = false;
    done(QDialog::Rejected);
    event->accept();
}

LoginWindowResult RunLoginWindow() {
    auto* window = new frmLogin;
    window->exec();
    LoginWindowResult result{window->Authenticated(), window->AuthenticatedUser(),
                             window->AuthenticatedGroup(), window->LogID(), window->SessionRecord()};
    delete window;
    return result;
}

void InstallLoginWindow() {
    SetLoginWindowOpener(RunLoginWindow);
    LoginServices services = CurrentLoginServices();
    services.changePassword = RunChangePasswordDialog;
    SetLoginServices(services);
}

}  // namespace corvane

#include "session/login/frm_password_dialogs.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"
#include "session/login/login_boxes.h"
#include "ui/helpers/window_helpers.h"

namespace corvane {
namespace {

QString Text(int message, int format = kCaseAsIs) {
    return QString::fromStdString(GetMessageText(message, gLanguage, std::nullopt, format));
}

QString Caption(int message) { return Text(message) + ":"; }

QLabel* NewLabel(QWidget* parent, const char* name, QWidget* buddy) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    return label;
}

}  // namespace

PasswordDialog::PasswordDialog(PasswordChange::Kind kind, const char* formName, QWidget* parent)
    : QDialog(parent), logic_(kind, formName) {
    setObjectName(QLatin1String(formName));
    const bool change = kind == PasswordChange::Kind::kChange;

    txtUser_ = new QLineEdit(this);
    txtUser_->setObjectName(QStringLiteral("txtUser"));
    txtUser_->setReadOnly(true);
    txtUser_->setFocusPolicy(Qt::NoFocus);
    // A box that cannot be edited takes the window's colour.
    QPalette grey = txtUser_->palette();
    grey.setColor(QPalette::Base, palette().color(QPalette::Window));
    txtUser_->setPalette(grey);
    if (change) txtOldPassword_ = NewLoginBox(this, "txtOldPassword", true);
    txtNewPassword_ = NewLoginBox(this, "txtNewPassword", true);
    txtConfirmPassword_ = NewLoginBox(this, "txtConfirmPassword", true);
    lblUserLogin_ = NewLabel(this, "lblUserLogin", txtUser_);
    if (change) lblOldPassword_ = NewLabel(this, "lblOldPassword", txtOldPassword_);
    lblNewPassword_ = NewLabel(this, "lblNewPassword", txtNewPassword_);
    lblConfirmPassword_ = NewLabel(this, "lblConfirmPassword", txtConfirmPassword_);

    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdOK_->setEnabled(false);
    cmdCancel_ = new QPushButton(this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);

    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(lblUserLogin_, row, 0);
    grid->addWidget(txtUser_, row++, 1);
    if (change) {
        grid->addWidget(lblOldPassword_, row, 0);
        grid->addWidget(txtOldPassword_, row++, 1);
    }
    grid->addWidget(lblNewPassword_, row, 0);
    grid->addWidget(txtNewPassword_, row++, 1);
    grid->addWidget(lblConfirmPassword_, row, 0);
    grid->addWidget(txtConfirmPassword_, row++, 1);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    setFixedWidth(340);

    QWidget* order[] = {txtOldPassword_, txtNewPassword_, txtConfirmPassword_, cmdOK_, cmdCancel_};
    QWidget* previous = nullptr;
    for (QWidget* w : order) {
        if (!w) continue;
        if (previous) setTabOrder(previous, w);
        previous = w;
    }
    for (QLineEdit* box : {txtOldPassword_, txtNewPassword_, txtConfirmPassword_})
        if (box) box->installEventFilter(this);
    connect(cmdOK_, &QPushButton::clicked, this, &PasswordDialog::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &PasswordDialog::reject);
}

void PasswordDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Activation events are unreliable; the first show stands in for them.
    if (FormLoad) QTimer::singleShot(0, this, &PasswordDialog::FirstActivation);
}

void PasswordDialog::FirstActivation() {
    if (!FormLoad) return;
    FormLoad = false;
    SetLanguage();
    LoadData();
    QLineEdit* first = txtOldPassword_ ? txtOldPassword_ : txtNewPassword_;
    first->setFocus();
}

void PasswordDialog::LoadData() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    logic_.UserLogin = UserLogin;
    logic_.LoadData();
    if (logic_.Loaded()) txtUser_->setText(QString::fromStdString(logic_.StoredLogin()));
    cmdOK_->setEnabled(logic_.Loaded());
    QApplication::restoreOverrideCursor();
}

void PasswordDialog::cmdOK_Click() {
    if (!logic_.Loaded()) return;
    const std::string oldPassword = txtOldPassword_ ? txtOldPassword_->text().toStdString() : std::string();
    if (!logic_.ValidateData(oldPassword, txtNewPassword_->text().toStdString(),
                             txtConfirmPassword_->text().toStdString())) {
        if (logic_.FocusAfterRefusal() == PasswordChange::Focus::kOldPassword && txtOldPassword_)
            txtOldPassword_->setFocus();
        else if (logic_.FocusAfterRefusal() == PasswordChange::Focus::kNewPassword)
            txtNewPassword_->setFocus();
        return;
    }
    setCursor(Qt::WaitCursor);
    const bool saved = logic_.SaveData(txtNewPassword_->text().toStdString());
    unsetCursor();
    if (!saved) return;
    IsDirty = true;
    QDialog::done(QDialog::Accepted);
}

void PasswordDialog::reject() {
    Cancelled = true;
    QDialog::done(QDialog::Rejected);
}

bool PasswordDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            SelectAllTextAfterFocus(box);
    }
    return QDialog::eventFilter(watched, event);
}

frmChangePassword::frmChangePassword(QWidget* parent)
    : PasswordDialog(PasswordChange::Kind::kChange, "frmChangePassword", parent) {
    SetLanguage();
}

void frmChangePassword::SetLanguage() {
    setWindowTitle(Text(304));
    cmdOK_->setText(Text(33, kCaseUpper));
    cmdCancel_->setText(Text(25));
    lblUserLogin_->setText(Caption(308));
    lblOldPassword_->setText(Caption(306));
    lblNewPassword_->setText(Caption(305));
    lblConfirmPassword_->setText(Caption(59));
}

frmSetPassword::frmSetPassword(QWidget* parent)
    : PasswordDialog(PasswordChange::Kind::kSet, "frmSetPassword", parent) {
    SetLanguage();
}

void frmSetPassword::SetLanguage() {
    setWindowTitle(Text(303));
    lblUserLogin_->setText(Caption(308));
    lblNewPassword_->setText(Caption(305));
    lblConfirmPassword_->setText(Caption(59));
    cmdOK_->setText(Text(33, kCaseUpper));
    cmdCancel_->setText(Text(25));
}

bool RunChangePasswordDialog(const std::string& login) {
    auto* dialog = new frmChangePassword;
    dialog->UserLogin = login;
    dialog->exec();
    const bool stored = dialog->IsDirty;
    delete dialog;
    return stored;
}

}  // namespace corvane

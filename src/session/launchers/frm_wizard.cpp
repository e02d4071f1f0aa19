#include "session/launchers/frm_wizard.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "session/launchers/new_user.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

QString Message(int number) { return QString::fromStdString(GetMessageText(number, gLanguage)); }

QLineEdit* Box(QWidget* parent, const char* name, bool password) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(password ? 50 : 20);
    if (password) box->setEchoMode(QLineEdit::Password);
    return box;
}

}  // namespace

frmWizard::frmWizard(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(Message(269));
    lblTitle_ = new QLabel(this);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    lblTitle_->setWordWrap(true);
    txtUserLogin_ = Box(this, "txtUserLogin", false);
    txtUserName_ = Box(this, "txtUserName", false);
    txtUserName_->setMaxLength(50);
    txtPassword_ = Box(this, "txtPassword", true);
    txtConfirmPassword_ = Box(this, "txtConfirmPassword", true);
    cmdFinish_ = new QPushButton(Message(40), this);
    cmdFinish_->setObjectName(QStringLiteral("cmdFinish"));
    cmdFinish_->setDefault(true);
    cmdCancel_ = new QPushButton(Message(25), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);
    connect(cmdFinish_, &QPushButton::clicked, this, &frmWizard::cmdFinish_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmWizard::reject);

    auto* form = new QFormLayout;
    form->addRow(Message(308) + QStringLiteral(":"), txtUserLogin_);
    form->addRow(Message(307) + QStringLiteral(":"), txtUserName_);
    form->addRow(Message(56) + QStringLiteral(":"), txtPassword_);
    form->addRow(Message(59) + QStringLiteral(":"), txtConfirmPassword_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdFinish_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle_);
    layout->addLayout(form);
    layout->addLayout(buttons);
    SetPrimaryUser(false);
}

void frmWizard::SetPrimaryUser(bool on) {
    primaryUser_ = on;
    lblTitle_->setText(Message(666) + QStringLiteral("\n") + Message(on ? 671 : 667));
}

void frmWizard::SetNoCancel(bool on) {
    noCancel_ = on;
    cmdCancel_->setEnabled(!on);
}

void frmWizard::cmdFinish_Click() {
    NewUserEntry entry{txtUserLogin_->text().toStdString(), txtUserName_->text().toStdString(),
                       txtPassword_->text().toStdString(),
                       txtConfirmPassword_->text().toStdString(), primaryUser_};
    int message = 0;
    const bool added = RunTrapped("frmWizard.cmdFinish_Click", {[&] { message = AddNewUser(entry); }});
    if (!added) return;
    if (message != 0) {
        const auto parameter =
            message == 518 ? std::optional<std::string>(GetMessageText(308, gLanguage)) : std::nullopt;
        ShowMsgBox(GetMessageText(message, gLanguage, parameter), kMsgExclamation,
                   GetMessageText(kMessageProgramName, gLanguage));
        QLineEdit* focus = message == 434 ? txtPassword_ : txtUserLogin_;
        focus->setFocus();
        focus->selectAll();
        return;
    }
    IsDirty = true;
    finished_ = true;
    accept();
}

void frmWizard::reject() {
    if (noCancel_ && !finished_) return;
    Cancelled = true;
    QDialog::reject();
}

void frmWizard::closeEvent(QCloseEvent* event) {
    // Without Cancel only Finish (or the program) ends the wizard.
    if (noCancel_ && !finished_ && event->spontaneous()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace corvane

#include "admin/security/frm_lockdown_warning.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "admin/security/window_parts.h"
#include "platform/core/error_trap.h"
#include "session/shell/start_up_with_windows.h"
#include "ui/helpers/window_helpers.h"

namespace corvane {

frmLockdownWarning::frmLockdownWarning(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLockdownWarning"));
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("imgWarning"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    lblWarning_ = new QLabel(this);
    lblWarning_->setObjectName(QStringLiteral("lblWarning"));
    lblWarning_->setWordWrap(true);
    lblWarning_->setMinimumWidth(340);
    chkInFutureDoNotShowThisDialog_ = new QCheckBox(this);
    chkInFutureDoNotShowThisDialog_->setObjectName(QStringLiteral("chkInFutureDoNotShowThisDialog"));
    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);

    auto* text = new QHBoxLayout;
    text->addWidget(icon);
    text->addWidget(lblWarning_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkInFutureDoNotShowThisDialog_);
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(text);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setFixedWidth(440);

    connect(chkInFutureDoNotShowThisDialog_, &QCheckBox::clicked, this,
            [](bool ticked) { LockdownWarningCheckClicked(ticked, SecurityWindowServices::Real()); });
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmLockdownWarning::reject);
    SetLanguage();
}

void frmLockdownWarning::SetLanguage() {
    setWindowTitle(MessageText(240));
    lblWarning_->setText(MessageText(481));
    chkInFutureDoNotShowThisDialog_->setText(MessageText(420));
    cmdOK_->setText(MessageText(33));
    cmdCancel_->setText(MessageText(25));
}

void frmLockdownWarning::reject() {
    Cancelled = true;
    QDialog::reject();
}

void frmLockdownWarning::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (firstActivation_) {
        firstActivation_ = false;
        RunIgnoringErrors({[&] { SetLanguage(); }, [&] { adjustSize(); }, [&] { CenterForm(this); }});
    }
    cmdOK_->setFocus();
}

bool frmLockdownWarning::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) cmdOK_->setFocus();
    return QDialog::event(event);
}

bool RunLockdownWarning(QWidget* parent) {
    auto* warning = new frmLockdownWarning(parent);
    warning->exec();
    const bool cancelled = warning->Cancelled;
    delete warning;
    return cancelled;
}

SecurityWindowServices SecurityWindowServicesWithWarning(QWidget* parent) {
    SecurityWindowServices services = SecurityWindowServices::Real();
    services.setStartUpWithWindows = SetStartUpWithWindows;
    services.showLockdownWarning = [parent] { return RunLockdownWarning(parent); };
    return services;
}

}  // namespace corvane

#include "ui/msgbox/frm_message.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/helpers/window_helpers.h"

namespace corvane {

frmMessage::frmMessage(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(QStringLiteral("Network Message!"));
    txtMessage_ = new QLineEdit(this);
    txtMessage_->setObjectName(QStringLiteral("txtMessage"));
    cmdSend_ = new QPushButton(QStringLiteral("&Send"), this);
    cmdSend_->setObjectName(QStringLiteral("cmdSend"));
    cmdClose_ = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSend_);
    buttons->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtMessage_);
    layout->addLayout(buttons);

    cmdSend_->setEnabled(false);
    connect(txtMessage_, &QLineEdit::textChanged, this,
            [this](const QString& text) { cmdSend_->setEnabled(!text.isEmpty()); });
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::close);
    txtMessage_->installEventFilter(this);
}

bool frmMessage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtMessage_ && event->type() == QEvent::FocusIn) {
        SelectAllTextAfterFocus(txtMessage_);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace corvane

#include "session/shell/frm_logout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"
#include "ui/helpers/window_helpers.h"

namespace corvane {

frmLogout::frmLogout(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmLogout"));
    imgLogout_ = new QLabel(this);
    imgLogout_->setObjectName(QStringLiteral("imgLogout"));
    imgLogout_->setFixedSize(48, 48);
    imgLogout_->setScaledContents(true);
    imgLogout_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    lblLogout_ = new QLabel(this);
    lblLogout_->setObjectName(QStringLiteral("lblLogout"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 24, 16);
    layout->setSpacing(16);
    layout->addWidget(imgLogout_);
    layout->addWidget(lblLogout_);
    SetLanguage();
    adjustSize();
    CenterForm(this);
}

void frmLogout::SetLanguage() {
    setWindowTitle(QString::fromStdString(GetMessageText(336, gLanguage)));
    lblLogout_->setText(QString::fromStdString(GetMessageText(672, gLanguage)));
}

void frmLogout::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormLoad = false;
}

}  // namespace corvane

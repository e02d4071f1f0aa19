#include "admin/security/window_parts.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"

namespace corvane {

QString MessageText(int number) { return QString::fromStdString(GetMessageText(number, gLanguage)); }

void SecurityWindowFooter::Build(QWidget* window, QBoxLayout* layout) {
    const auto label = [](const char* name) {
        auto* l = new QLabel;
        l->setObjectName(QLatin1String(name));
        return l;
    };
    const auto button = [](const char* name) {
        auto* b = new QPushButton;
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    lblLockdownWarning = label("lblLockdownWarning");
    lblLockdownWarning->setWordWrap(true);
    imgLockdownIsDirty = label("imgLockdownIsDirty");
    imgLockdownIsDirty->setPixmap(window->style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(24, 24));
    lblLockdownIsDirty = label("lblLockdownIsDirty");
    lblLockdownIsDirty->setWordWrap(true);
    cmdOK = button("cmdOK");
    cmdOK->setDefault(true);
    cmdCancel = button("cmdCancel");
    cmdApply = button("cmdApply");

    auto* notice = new QHBoxLayout;
    notice->addWidget(imgLockdownIsDirty);
    notice->addWidget(lblLockdownIsDirty, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdApply);
    layout->addWidget(lblLockdownWarning);
    layout->addLayout(notice);
    layout->addLayout(buttons);
}

void SecurityWindowFooter::SetLanguage() {
    lblLockdownWarning->setText(MessageText(627));
    lblLockdownIsDirty->setText(MessageText(556));
    cmdOK->setText(MessageText(33));
    cmdCancel->setText(MessageText(25));
    cmdApply->setText(MessageText(34));
}

void SecurityWindowFooter::ShowDirty(bool dirty) {
    cmdApply->setEnabled(dirty);
    lblLockdownIsDirty->setVisible(dirty);
    imgLockdownIsDirty->setVisible(dirty);
}

}  // namespace corvane

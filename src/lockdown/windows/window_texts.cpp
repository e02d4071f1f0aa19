#include "lockdown/windows/window_texts.h"

#include <QPixmap>
#include <QStyle>
#include <QWidget>

#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"

namespace corvane {

QString MessageText(int number) { return QString::fromStdString(GetMessageText(number, gLanguage)); }

QPixmap RestartNoticePixmap(const QWidget* window) {
    return window->style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(24, 24);
}

}  // namespace corvane

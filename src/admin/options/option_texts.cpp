#include "admin/options/option_texts.h"

#include "messages/message_catalogue.h"
#include "ui_core/ui_services.h"

namespace corvane::options {

QString Message(int number) {
    return QString::fromStdString(GetMessageText(number, ui::Services().language()));
}

QString UpperMessage(int number) { return Message(number).toUpper(); }

}  // namespace corvane::options

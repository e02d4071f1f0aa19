#include "browser/window/engine_page_dialogs.h"

#include <QDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QUrl>

#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"
#include "ui/helpers/nested_dialogs.h"

namespace corvane {
namespace {

QString Title() { return QString::fromStdString(GetMessageText(kMessageProgramName, gLanguage)); }

// Whose words they are: the page's address, never the program's.
QString Header(const QUrl& origin) {
    const QString from = origin.host().isEmpty() ? origin.toString() : origin.host(QUrl::FullyDecoded);
    return from.isEmpty() ? QString() : from + QLatin1Char('\n');
}

bool AskBox(QWidget* parent, const QUrl& origin, const QString& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, Title(), text, buttons, parent);
    box.setObjectName(QStringLiteral("frmPageDialog"));
    box.setInformativeText(Header(origin).trimmed());
    for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    box.setEscapeButton(buttons & QMessageBox::Cancel ? QMessageBox::Cancel : QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    RunNestedDialog(box);
    // A box ended from outside (a session's end) has no button clicked: cancelled.
    return box.clickedButton() && box.standardButton(box.clickedButton()) == QMessageBox::Ok;
}

}  // namespace

void ShowPageAlert(QWidget* parent, const QUrl& origin, const QString& text) {
    AskBox(parent, origin, text, QMessageBox::Ok);
}

bool AskPageConfirm(QWidget* parent, const QUrl& origin, const QString& text) {
    return AskBox(parent, origin, text, QMessageBox::Ok | QMessageBox::Cancel);
}

bool AskPagePrompt(QWidget* parent, const QUrl& origin, const QString& text, const QString& defaultValue,
                   QString* answer) {
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmPageDialog"));
    dialog.setWindowTitle(Title());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(Header(origin) + text);
    for (QLabel* label : dialog.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    dialog.setTextValue(defaultValue);
    if (RunNestedDialog(dialog) != QDialog::Accepted) return false;
    if (answer) *answer = dialog.textValue();
    return true;
}

}  // namespace corvane
